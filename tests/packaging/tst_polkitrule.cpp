// The polkit rule the package ships, run by a JavaScript engine the way polkitd runs it: the
// service user may power the machine off, nobody else gains anything, and the user gains
// nothing else.
#include <QJSEngine>
#include <QtTest>

class TestPolkitRule : public QObject
{
    Q_OBJECT
private slots:
    void grants_data();
    void grants();
};

void TestPolkitRule::grants_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("result"); // what the rule returns; "undefined" leaves it to others

    const QString login1 = "org.freedesktop.login1.";
    for (const char *poweroff :
         {"power-off", "power-off-multiple-sessions", "power-off-ignore-inhibit"}) {
        QTest::newRow(poweroff) << "quelta" << login1 + poweroff << "yes";
        QTest::newRow(qPrintable(QString("other user ") + poweroff))
            << "alice" << login1 + poweroff << "undefined";
    }
    for (const char *other : {"reboot", "suspend", "halt", "set-wall-message", "power-off-x"})
        QTest::newRow(other) << "quelta" << login1 + other << "undefined";
    QTest::newRow("other service") << "quelta"
                                   << "org.freedesktop.systemd1.manage-units"
                                   << "undefined";
}

void TestPolkitRule::grants()
{
    QFETCH(QString, user);
    QFETCH(QString, action);
    QFETCH(QString, result);

    QFile file(QUELTA_SOURCE_DIR "/packaging/quelta-poweroff.rules");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QJSEngine engine;
    // polkitd's side: the rule list, the result values, and the two objects handed to a rule.
    engine.evaluate("var rules = [];"
                    "var polkit = { Result: { YES: 'yes', NO: 'no', AUTH_ADMIN: 'auth_admin' },"
                    "               addRule: function (f) { rules.push(f); } };");
    const QJSValue loaded = engine.evaluate(QString::fromUtf8(file.readAll()), file.fileName());
    QVERIFY2(!loaded.isError(), qPrintable(loaded.toString()));
    QCOMPARE(engine.evaluate("rules.length").toInt(), 1);

    const QJSValue answer =
        engine.evaluate(QString("String(rules[0]({ id: '%1' }, { user: '%2', local: false,"
                                " active: false }))")
                            .arg(action, user));
    QVERIFY2(!answer.isError(), qPrintable(answer.toString()));
    QCOMPARE(answer.toString(), result);
}

QTEST_GUILESS_MAIN(TestPolkitRule)
#include "tst_polkitrule.moc"
