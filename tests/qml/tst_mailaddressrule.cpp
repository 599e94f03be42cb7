// The address rule of the e-mail settings (recipients, the sender and the SMTP account), run
// from the program's own script file in a QML engine.
#include <QQmlComponent>
#include <QQmlEngine>
#include <QScopedPointer>
#include <QtTest>

class TestMailAddressRule : public QObject
{
    Q_OBJECT

private slots:
    void addressesAreCheckedAtOnce();
};

void TestMailAddressRule::addressesAreCheckedAtOnce()
{
    // Placed beside the screens, so the relative import finds the same file they use.
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQuick 2.15\n"
                      "import \"MailAddress.js\" as MailAddress\n"
                      "QtObject { function check(text) { return MailAddress.isValid(text) } }\n",
                      QUrl(QStringLiteral("qrc:/qml/MailAddressProbe.qml")));
    QScopedPointer<QObject> probe(component.create());
    QVERIFY2(probe, qPrintable(component.errorString()));

    const QString runs(40, QLatin1Char('a'));
    const QPair<QString, bool> cases[] = {
        {"user@example.com", true},
        {"first.last@mail.example.org", true},
        {"Ops2024@EXAMPLE.DE", true},
        {"night_shift|ups@site.example.net", true},
        {"x9@mail_relay.io", true},
        {QString(2000, QLatin1Char('a')) + "@example.com", true},
        {QString(), false},
        {"user", false},
        {"@example.com", false},
        {"user@example", false},
        {"user@example.c", false},
        {"user@example.info", false}, // four letters at the end
        {"a@b@example.com", false},
        {"bob@@example.com", false},
        {".user@example.com", false}, // a run must come first
        {"us..er@example.com", false}, // two separators in a row
        {"us er@example.com", false},
        {"user@example.com ", false}, // not trimmed
        {"user@my-site.com", false}, // "-" is not one of the separators
        {"user@example.c0m", false},
        {QString::fromUtf8("j\xc3\xb6rg@example.com"), false},
        // Inputs that make a rule with nested repetition backtrack for hours; each must come
        // back (refused) while the test runs.
        {runs + "!", false},
        {"a@" + runs + "!", false},
        {QStringLiteral("a.").repeated(30) + "@x", false},
        {"u@" + QStringLiteral("b.").repeated(30) + "c", false},
    };
    for (const auto &c : cases) {
        QVariant result;
        QVERIFY(QMetaObject::invokeMethod(probe.data(), "check", Q_RETURN_ARG(QVariant, result),
                                          Q_ARG(QVariant, c.first)));
        QVERIFY2(result.toBool() == c.second, qPrintable(c.first.left(80)));
    }
}

QTEST_MAIN(TestMailAddressRule)
#include "tst_mailaddressrule.moc"
