// Every key of the table against what its kind takes: its default, the values at and just past
// its range, and values of the wrong type, each judged as the settings file and the command line
// would have it judged.
#include "settingkeys.h"

#include <QtTest>

#include <climits>

using namespace SettingKeys;

class TestSettingKeys : public QObject
{
    Q_OBJECT

private slots:
    void everyKeyAgainstItsKind()
    {
        const QVariant outOfInt = QStringLiteral("2147483648");
        // Values each kind takes and refuses, beside the ranges below.
        const QMap<Kind, QPair<QVariantList, QVariantList>> samples = {
            {Kind::Bool, {{true, "FALSE", " 1 ", 0}, {"yes", "2", ""}}},
            {Kind::TimeOfDay, {{"00:00:00", "23:59:59"}, {"24:00:00", "12:00", "noon", ""}}},
            {Kind::Day, {{"", "2024-02-29"}, {"2023-02-29", "2024-13-01", "01.02.2024"}}},
            {Kind::Address,
             {{"", "192.0.2.1", "::1", "ups.example.org"},
              {"a b", QStringList {"a", "b"}, "http://ups"}}},
            {Kind::AddressList,
             {{"", "192.0.2.1, ::1", QStringList {"::1"}}, {"10.0.0.0/8", "ups.example.org"}}},
            {Kind::NetworkList,
             {{"10.0.0.0/8,192.0.2.1, fd00::/8", QStringList {"::1"}}, {"10.0.0.0/33", "x"}}},
            {Kind::NameList, {{"", "rack, ups@server", QStringList {"a"}}, {}}},
            {Kind::Text, {{"", "a, b", 5}, {}}},
            {Kind::Path, {{"", "/opt/off.sh"}, {}}},
        };
        // Numbers and choices: what lies outside in any type.
        const QVariantList noNumber = {"", "x", "1.5", 1.5, true, QStringList {"1", "2"}, outOfInt};

        for (const Key &key : all()) {
            const QByteArray label = key.name;
            if (key.defaultValue.isValid()) {
                const Verdict verdict = check(key, key.defaultValue);
                QVERIFY2(verdict.ok, label);
                // The typed value judged again is itself.
                QVERIFY2(check(key, verdict.value).value == verdict.value, label);
            }
            QVariantList good = samples.value(key.kind).first;
            QVariantList bad = samples.value(key.kind).second;
            if (key.kind == Kind::Number) {
                QVERIFY2(key.min <= key.max, label);
                const Range form = formRange(key);
                QVERIFY2(key.min <= form.min && form.min <= form.max && form.max <= key.max, label);
                good << key.min << key.max << QString::number(key.min) + ' '
                     << QString::number(key.max);
                if (key.min > INT_MIN)
                    bad << key.min - 1 << QString::number(key.min - 1);
                if (key.max < INT_MAX)
                    bad << key.max + 1;
                bad << noNumber;
            } else if (key.kind == Kind::Choice) {
                for (int choice : key.choices)
                    good << choice << QString::number(choice);
                const auto [low, high] =
                    std::minmax_element(key.choices.begin(), key.choices.end());
                bad << *low - 1 << *high + 1 << noNumber;
            }
            for (const QVariant &value : qAsConst(good)) {
                const Verdict verdict = check(key, value);
                QVERIFY2(verdict.ok, label + " takes " + value.toString().toUtf8());
                // The value in the type of its kind: what getSettings hands out.
                const int type = verdict.value.userType();
                const bool typed = key.kind == Kind::Bool                  ? type == QMetaType::Bool
                    : key.kind == Kind::Number || key.kind == Kind::Choice ? type == QMetaType::Int
                    : isList(key.kind) ? type == QMetaType::QStringList
                                       : type == QMetaType::QString;
                QVERIFY2(typed, label + " types " + value.toString().toUtf8());
            }
            for (const QVariant &value : qAsConst(bad)) {
                const Verdict verdict = check(key, value);
                QVERIFY2(!verdict.ok && !verdict.expected.isEmpty(),
                         label + " refuses " + value.toString().toUtf8());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingKeys)
#include "tst_settingkeys.moc"
