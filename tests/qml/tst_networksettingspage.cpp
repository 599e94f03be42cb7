// The "Network Sharing" settings page against the real network server: stored settings shown
// and written back, accounts added, changed and deleted through the pop-up (refusals said, the
// card kept open), an account added by another process listed at once, and a connected client
// listed as it logs in.
#include "compositionroot.h"
#include "listmodelnutuser.h"
#include "nutaccountstore.h"
#include "paths.h"
#include "qmlpagehost.h"
#include "servicenetwork.h"
#include "settings.h"
#include "testroot.h"

#include <QQuickItem>
#include <QTcpSocket>
#include <QtTest>

class TestNetworkSettingsPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void settingsShownAndWritten();
    void accountsThroughThePopup();
    void connectedClientsListed();

private:
    QQuickItem *item(QObject *under, const char *name) const
    {
        return m_host->find(under, QLatin1String(name));
    }
    bool press(QObject *under, const char *name) { return m_host->click(item(under, name)); }
    void type(QObject *under, const char *name, const QString &text)
    {
        item(under, name)->setProperty("text", text);
    }
    void answerDialog(const QString &expectedText)
    {
        QQuickItem *dialog = item(m_page, "msgDialog");
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->property("text").toString(), expectedText);
        QVERIFY(press(dialog, "msgDialogSure"));
    }
    QStringList listed(const char *list, const char *role) const
    {
        QAbstractItemModel *model =
            qvariant_cast<QAbstractItemModel *>(item(m_page, list)->property("model"));
        const int r = model->roleNames().key(role);
        QStringList out;
        for (int i = 0; i < model->rowCount(); ++i)
            out << model->data(model->index(i, 0), r).toString();
        return out;
    }

    TestRoot m_root {TestRoot::FoldersOnly};
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_page = nullptr;
    ServiceNetwork *m_network = nullptr;
};

void TestNetworkSettingsPage::initTestCase()
{
    m_host.reset(new QmlPageHost);
    m_network = m_host->root().serviceNetwork();
    // Values stored before the page exists: the page shows them and leaves them.
    Settings *settings = m_host->root().settings();
    settings->setSettings(Settings::NetworkEnable, true);
    settings->setSettings(Settings::NetworkListen, "127.0.0.1");
    settings->setSettings(Settings::NetworkPort, 0); // any free port
    settings->setSettings(Settings::NetworkAliases, "qnapups");
    settings->setSettings(Settings::NetworkHostSync, 30);
    QTRY_VERIFY_WITH_TIMEOUT(m_network->listeningPort() != 0, 10000);
    m_page = m_host->load(QStringLiteral("SettingsNetwork.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
}

void TestNetworkSettingsPage::settingsShownAndWritten()
{
    QCOMPARE(item(m_page, "switchEnable")->property("checked").toBool(), true);
    QCOMPARE(item(m_page, "textFieldAliases")->property("text").toString(), QString("qnapups"));
    QCOMPARE(item(m_page, "spinBoxHostSync")->property("value").toInt(), 30);
    QCOMPARE(item(m_page, "labelState")->property("text").toString(),
             QStringLiteral("Serving the UPS on port %1").arg(m_network->listeningPort()));
    m_page->setVisible(false);
    m_page->setVisible(true);
    QCOMPARE(m_network->aliases(), QString("qnapups"));
    QCOMPARE(m_network->listen(), QString("127.0.0.1"));

    // Edits reach the settings when the page is left; lists are tidied.
    type(m_page, "textFieldAllow", " 192.168.1.0/24 , fd00::/8,");
    type(m_page, "textFieldUpsName", "rack");
    m_page->setVisible(false);
    m_page->setVisible(true);
    QCOMPARE(m_host->root().settings()->getSettings(Settings::NetworkAllow).toString(),
             QString("192.168.1.0/24,fd00::/8"));
    QCOMPARE(m_network->upsName(), QString("rack"));

    // Switched off: the server stops and the page says so.
    item(m_page, "switchEnable")->setProperty("checked", false);
    QTRY_COMPARE(m_network->listeningPort(), 0);
    QCOMPARE(item(m_page, "labelState")->property("text").toString(), QString("Off"));
    item(m_page, "switchEnable")->setProperty("checked", true);
    QTRY_VERIFY(m_network->listeningPort() != 0);
}

void TestNetworkSettingsPage::accountsThroughThePopup()
{
    QQuickItem *popup = item(m_page, "popupNutUser");
    QVERIFY(press(m_page, "buttonAddUser"));
    QVERIFY(popup->isVisible());
    type(popup, "textFieldName", "monuser");
    type(popup, "textFieldPassword", "not secret");
    QVERIFY(press(popup, "buttonSure"));
    answerDialog("A password is 1 to 64 characters without blanks, quotes, backslashes or #.");
    QVERIFY(popup->isVisible()); // to be corrected
    type(popup, "textFieldPassword", "secret");
    QVERIFY(press(popup, "buttonSure"));
    QVERIFY(!popup->isVisible());
    QCOMPARE(listed("listViewUser", "name"), QStringList {"monuser"});
    QCOMPARE(listed("listViewUser", "role"), QStringList {"monitor"});

    QVERIFY(press(m_page, "buttonAddUser"));
    type(popup, "textFieldName", "monuser");
    type(popup, "textFieldPassword", "other");
    QVERIFY(press(popup, "buttonSure"));
    answerDialog("An account of this name exists already.");
    QVERIFY(press(popup, "buttonCancel"));

    // Modify: the name stays, the role changes, an empty password keeps the old one.
    const QByteArray hash = m_network->users()->accounts().at(0).passwordHash;
    item(m_page, "listViewUser")->setProperty("currentIndex", 0);
    QVERIFY(press(m_page, "buttonModifyUser"));
    QCOMPARE(item(popup, "textFieldName")->property("text").toString(), QString("monuser"));
    QVERIFY(!item(popup, "textFieldName")->isEnabled());
    item(popup, "comboBoxRole")->setProperty("currentIndex", 1);
    QVERIFY(press(popup, "buttonSure"));
    QCOMPARE(listed("listViewUser", "role"), QStringList {"admin"});
    QCOMPARE(m_network->users()->accounts().at(0).passwordHash, hash);

    // Another process (the command line) adds one: listed without a reload.
    const QString config = Paths::file(QStringLiteral("/cfg/config.cfg"));
    QCOMPARE(NutAccountStore(config).setAccount("nas", NutAccount::Monitor, "pw"),
             NutAccountStore::Done);
    QTRY_COMPARE(listed("listViewUser", "name"), (QStringList {"monuser", "nas"}));

    item(m_page, "listViewUser")->setProperty("currentIndex", 0);
    QVERIFY(press(m_page, "buttonDeleteUser"));
    QCOMPARE(listed("listViewUser", "name"), QStringList {"nas"});
}

void TestNetworkSettingsPage::connectedClientsListed()
{
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, quint16(m_network->listeningPort()));
    QVERIFY(client.waitForConnected(5000));
    QTRY_COMPARE(listed("listViewClient", "address"), QStringList {"127.0.0.1"});
    client.write("USERNAME nas\nPASSWORD pw\nLOGIN rack\n");
    QTRY_COMPARE(listed("listViewClient", "loggedIn"), QStringList {"true"});
    QCOMPARE(listed("listViewClient", "user"), QStringList {"nas"});
    client.disconnectFromHost();
    QTRY_VERIFY(listed("listViewClient", "address").isEmpty());
}

QTEST_MAIN(TestNetworkSettingsPage)
#include "tst_networksettingspage.moc"
