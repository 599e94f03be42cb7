// The address rule of the e-mail settings (recipients and the SMTP account), run from the
// program's own script file in a QML engine.
#include <QQmlComponent>
#include <QQmlEngine>
#include <QScopedPointer>
#include <QtTest>

class TestMailAddressRule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void acceptsAddresses();
    void refusesOthers();
    void longMistypedInputIsRefusedAtOnce();

private:
    bool isValid(const QString &text);

    QQmlEngine m_engine;
    QScopedPointer<QObject> m_probe;
};

void TestMailAddressRule::initTestCase()
{
    // Placed beside the screens, so the relative import finds the same file they use.
    QQmlComponent component(&m_engine);
    component.setData("import QtQuick 2.15\n"
                      "import \"MailAddress.js\" as MailAddress\n"
                      "QtObject { function check(text) { return MailAddress.isValid(text) } }\n",
                      QUrl(QStringLiteral("qrc:/qml/MailAddressProbe.qml")));
    m_probe.reset(component.create());
    QVERIFY2(m_probe, qPrintable(component.errorString()));
}

bool TestMailAddressRule::isValid(const QString &text)
{
    QVariant result;
    const bool called = QMetaObject::invokeMethod(
        m_probe.data(), "check", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, text));
    return called && result.toBool();
}

void TestMailAddressRule::acceptsAddresses()
{
    const QStringList good = {
        QStringLiteral("user@example.com"),
        QStringLiteral("first.last@mail.example.org"),
        QStringLiteral("Ops2024@EXAMPLE.DE"),
        QStringLiteral("a@b.cn"),
        QStringLiteral("night_shift|ups@site.example.net"),
        QStringLiteral("x9@mail_relay.io"),
    };
    for (const QString &address : good)
        QVERIFY2(isValid(address), qPrintable(address));
}

void TestMailAddressRule::refusesOthers()
{
    const QStringList bad = {
        QString(),
        QStringLiteral("user"),
        QStringLiteral("@example.com"),
        QStringLiteral("user@"),
        QStringLiteral("user@example"),
        QStringLiteral("user@example.c"),
        QStringLiteral("user@example.info"), // four letters at the end
        QStringLiteral("user@@example.com"),
        QStringLiteral("a@b@example.com"),
        QStringLiteral(".user@example.com"), // a run must come first
        QStringLiteral("us..er@example.com"), // two separators in a row
        QStringLiteral("us er@example.com"),
        QStringLiteral("user@example.com "), // not trimmed
        QStringLiteral("user@my-site.com"), // "-" is not one of the separators
        QStringLiteral("user@example.c0m"),
        QString::fromUtf8("j\xc3\xb6rg@example.com"),
    };
    for (const QString &address : bad)
        QVERIFY2(!isValid(address), qPrintable(address));
}

void TestMailAddressRule::longMistypedInputIsRefusedAtOnce()
{
    // Inputs that make a rule with nested repetition backtrack for hours; here each must come
    // back (refused) while the test runs.
    const QString runs = QString(40, QLatin1Char('a'));
    QVERIFY(!isValid(runs + QLatin1Char('!')));
    QVERIFY(!isValid(QStringLiteral("a@") + runs + QLatin1Char('!')));
    QVERIFY(!isValid(QStringLiteral("a.").repeated(30) + QStringLiteral("@x")));
    QVERIFY(
        !isValid(QStringLiteral("u@") + QStringLiteral("b.").repeated(30) + QStringLiteral("c")));
    QVERIFY(isValid(QString(2000, QLatin1Char('a')) + QStringLiteral("@example.com")));
}

QTEST_MAIN(TestMailAddressRule)
#include "tst_mailaddressrule.moc"
