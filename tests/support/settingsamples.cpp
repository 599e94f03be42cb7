#include "settingsamples.h"

#include "settings.h"
#include "settingsfileformat.h"

namespace SettingSamples {

using SettingKeys::Kind;

Sample of(const QString &key, int round)
{
    const SettingKeys::Key *row = SettingKeys::find(key);
    Q_ASSERT(row);
    Sample s;
    const int r = round % 2;
    switch (row->kind) {
    case Kind::Bool:
        s.typed = (row->defaultValue.toBool() != (r == 1));
        s.forms = {s.typed.toBool() ? "true" : "false", s.typed.toBool() ? "1" : "0",
                   s.typed.toBool() ? " True " : " FALSE"};
        break;
    case Kind::Number:
    case Kind::Choice: {
        QList<int> candidates = row->kind == Kind::Choice
            ? row->choices
            : QList<int> {row->min, row->min + 1, row->min + 2, row->max};
        candidates.removeAll(row->defaultValue.toInt());
        s.typed = candidates.at(r % candidates.size());
        s.forms = {QByteArray::number(s.typed.toInt()),
                   '"' + QByteArray::number(s.typed.toInt()) + '"'};
        break;
    }
    case Kind::Text:
        s.typed = r ? QStringLiteral("Smith, John") : QStringLiteral("Ann-Kathrin Öst");
        s.forms = {"\"" + s.typed.toString().toUtf8() + "\"", s.typed.toString().toUtf8()};
        break;
    case Kind::Path:
        s.typed = r ? QStringLiteral("/opt/my scripts/off.sh") : QStringLiteral("/dev/ttyS3");
        s.forms = {"\"" + s.typed.toString().toUtf8() + "\"", s.typed.toString().toUtf8()};
        break;
    case Kind::TimeOfDay:
        s.typed = r ? QStringLiteral("23:59:58") : QStringLiteral("07:30:00");
        s.forms = {s.typed.toString().toUtf8()};
        break;
    case Kind::Day:
        s.typed = r ? QStringLiteral("2031-12-31") : QStringLiteral("2025-03-01");
        s.forms = {s.typed.toString().toUtf8()};
        break;
    case Kind::Address:
        s.typed = r ? QStringLiteral("127.0.0.1") : QStringLiteral("127.0.0.2");
        s.forms = {s.typed.toString().toUtf8(), " \"" + s.typed.toString().toUtf8() + "\" "};
        break;
    case Kind::AddressList:
        s.typed = r ? QStringList {QStringLiteral("127.0.0.1")}
                    : QStringList {QStringLiteral("127.0.0.1"), QStringLiteral("::1")};
        break;
    case Kind::NetworkList:
        s.typed = r ? QStringList {QStringLiteral("10.0.0.0/8")}
                    : QStringList {QStringLiteral("192.168.1.0/24"), QStringLiteral("fd00::/8"),
                                   QStringLiteral("10.1.2.3")};
        break;
    case Kind::NameList:
        s.typed = r ? QStringList {QStringLiteral("lab/up1")}
                    : QStringList {QStringLiteral("Upstairs"), QStringLiteral("Downstairs")};
        break;
    case Kind::Secret:
        s.typed = r ? QStringLiteral("pässwörd€1234") : QStringLiteral("s3cret");
        s.stored = Settings::encryptPassword(s.typed);
        s.forms = {s.stored.toByteArray()}; // the Base64 text alone reads as well
        break;
    }
    if (SettingKeys::isList(row->kind)) {
        const QStringList items = s.typed.toStringList();
        // Quoted as the program writes it, "a, b" and "a,b" by hand.
        s.forms = {'"' + items.join(QLatin1Char(',')).toUtf8() + '"',
                   items.join(QStringLiteral(", ")).toUtf8(), items.join(QLatin1Char(',')).toUtf8(),
                   ' ' + items.join(QStringLiteral(" ,  ")).toUtf8() + " ,"};
    }
    if (!s.stored.isValid())
        s.stored = SettingKeys::isList(row->kind) ? QVariant(SettingKeys::text(s.typed)) : s.typed;
    s.forms.prepend(SettingsFileFormat::writeValue(s.stored));
    return s;
}

QVariant typedDefault(const QString &key)
{
    const SettingKeys::Key *row = SettingKeys::find(key);
    if (row->kind == Kind::Secret)
        return QString();
    if (!row->defaultValue.isValid())
        return SettingKeys::isList(row->kind) ? QVariant(QStringList()) : QVariant();
    return SettingKeys::check(*row, row->defaultValue).value;
}

} // namespace SettingSamples
