// The accounts of the network server where they are kept: the [network] group of the
// configuration file as the store writes it, and the command line for machines without a screen
// (the list the settings page edits is tested with the page).
#include "nutaccountstore.h"
#include "nutpassword.h"
#include "nutusercommand.h"
#include "paths.h"
#include "settings.h"

#include <QTemporaryDir>
#include <QtTest>

class TestNutAccounts : public QObject
{
    Q_OBJECT
private slots:
    void storeKeepsHashesOnly();
    void commandLine_data();
    void commandLine();

private:
    QByteArray fileText(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

void TestNutAccounts::storeKeepsHashesOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("config.cfg");
    {
        // Other settings already there stay as they are.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[email]\nserverPort=587\n");
    }
    NutAccountStore store(path);
    QCOMPARE(store.setAccount("monuser", NutAccount::Monitor, "secret"), NutAccountStore::Done);
    QCOMPARE(store.setAccount("admin", NutAccount::Admin, "p+w!"), NutAccountStore::Done);
    QCOMPARE(store.setAccount("bad name", NutAccount::Admin, "x"), NutAccountStore::BadName);
    QCOMPARE(store.setAccount(QByteArray(33, 'a'), NutAccount::Admin, "x"),
             NutAccountStore::BadName);
    // What upsmon could not send as it is.
    for (const char *bad : {"", "a b", "a\"b", "a#b", "a\\b", "a\tb"})
        QCOMPARE(store.setAccount("x", NutAccount::Admin, bad), NutAccountStore::BadPassword);
    QCOMPARE(store.setRole("monuser", NutAccount::Admin), NutAccountStore::Done);
    QCOMPARE(store.setRole("ghost", NutAccount::Admin), NutAccountStore::NoSuchAccount);
    QCOMPARE(store.remove("ghost"), NutAccountStore::NoSuchAccount);

    QByteArray text = fileText(path);
    QVERIFY(text.contains("[email]\nserverPort=587\n"));
    QVERIFY(text.contains("[network]\n"));
    QVERIFY(text.contains("users\\monuser\\role=admin"));
    QVERIFY2(text.contains("users\\monuser\\password=\"pbkdf2-sha256$100000$"), text);
    QVERIFY(!text.contains("secret") && !text.contains("p+w!"));

    // A hand-edited entry that makes no account is left out with a warning; the rest stands.
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write("users\\broken\\role=root\nusers\\broken\\password=pbkdf2-sha256$x\n");
    file.close();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Network account broken .* malformed"));
    const NutAccountList list = store.accounts();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).name, QByteArray("admin"));
    QCOMPARE(list.at(1).role, NutAccount::Admin);
    QVERIFY(NutPassword::verify(list.at(0).passwordHash, "p+w!"));
    QCOMPARE(store.remove("admin"), NutAccountStore::Done);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Network account broken .* malformed"));
    QCOMPARE(store.accounts().size(), 1);

    // A configuration with lines that are no settings is set aside and written anew at start:
    // the accounts come along.
    QVERIFY(file.open(QIODevice::Append));
    file.write("[[broken\n");
    file.close();
    qputenv("QUELTA_HOME", dir.path().toUtf8());
    QVERIFY(QDir(dir.path()).mkpath("cfg"));
    QVERIFY(QFile::rename(path, dir.filePath("cfg/config.cfg")));
    Paths::setRoot(dir.path());
    Settings settings;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("holds lines that are not settings"));
    settings.load();
    Paths::setRoot(QString());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Network account broken .* malformed"));
    const NutAccountList kept = NutAccountStore(dir.filePath("cfg/config.cfg")).accounts();
    QCOMPARE(kept.size(), 1);
    QCOMPARE(kept.at(0).name, QByteArray("monuser"));
}

void TestNutAccounts::commandLine_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("role");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // standard output, or error output when it failed
    QTest::addColumn<QString>("listed"); // --nut-user list afterwards

    QTest::newRow("add") << "add" << QStringList {"monuser"} << "monitor"
                         << "secret\r\n"
                         << 0 << "Account monuser added (monitor).\n"
                         << "monuser monitor\nnas admin\n";
    QTest::newRow("change") << "add" << QStringList {"nas"} << "monitor"
                            << "new\n"
                            << 0 << "Account nas changed (monitor).\n"
                            << "nas monitor\n";
    QTest::newRow("remove unknown") << "remove" << QStringList {"ghost"} << ""
                                    << "" << 1 << "There is no account ghost.\n"
                                    << "nas admin\n";
    QTest::newRow("no role") << "add" << QStringList {"x"} << ""
                             << "pw\n"
                             << 2 << "--nut-user add needs --role monitor or --role admin.\n"
                             << "nas admin\n";
    QTest::newRow("no password") << "add" << QStringList {"x"} << "admin"
                                 << "" << 1
                                 << "A password is 1 to 64 characters without blanks, quotes, "
                                    "backslashes or #.\n"
                                 << "nas admin\n";
    QTest::newRow("bad action") << "rename" << QStringList {"nas"} << ""
                                << "" << 2
                                << "Use --nut-user add NAME --role monitor|admin, --nut-user "
                                   "remove NAME or --nut-user list.\n"
                                << "nas admin\n";
}

void TestNutAccounts::commandLine()
{
    QFETCH(QString, action);
    QFETCH(QStringList, names);
    QFETCH(QString, role);
    QFETCH(QString, input);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, listed);

    QTemporaryDir dir;
    const QString path = dir.filePath("config.cfg");
    NutAccountStore(path).setAccount("nas", NutAccount::Admin, "old");
    QString inText = input, outText, errText;
    QTextStream in(&inText), o(&outText), e(&errText);
    QCOMPARE(NutUserCommand::run(path, action, names, role, in, o, e), exitCode);
    QCOMPARE(exitCode == 0 ? outText : errText, out);
    QCOMPARE(exitCode == 0 ? errText : outText, QString());

    QString listText, none;
    QTextStream listOut(&listText), listErr(&none), noInput(&none);
    QCOMPARE(NutUserCommand::run(path, "list", {}, QString(), noInput, listOut, listErr), 0);
    QCOMPARE(listText, listed);
    if (QTest::currentDataTag() == QLatin1String("add"))
        QVERIFY(NutPassword::verify(NutAccountStore(path).accounts().at(0).passwordHash, "secret"));
}

QTEST_GUILESS_MAIN(TestNutAccounts)
#include "tst_nutaccounts.moc"
