// Which clients the network server answers: every address of a table against every list, in both
// families and as an IPv4 address reaches an IPv6 socket.
#include "nutallowlist.h"

#include <QtTest>

class TestNutAllowList : public QObject
{
    Q_OBJECT

private slots:
    void addressesAgainstLists()
    {
        QStringList bad;
        const NutAllowList list = NutAllowList::parse(
            {" 192.168.1.0/24", "", "10.1.2.3", "fd00::/8", "10.0.0.0/33", "host.example", "::/-1"},
            &bad);
        QCOMPARE(bad, QStringList({"10.0.0.0/33", "host.example", "::/-1"}));
        QCOMPARE(list.size(), 3);
        const NutAllowList empty = NutAllowList::parse({});
        const NutAllowList all = NutAllowList::parse({"0.0.0.0/0", "::/0"});

        // {address, allowed by the list, by the empty list, by the list of everything}
        const QList<std::tuple<const char *, bool, bool, bool>> cases = {
            {"127.0.0.1", true, true, true},
            {"127.255.0.9", true, true, true},
            {"::1", true, true, true},
            {"::ffff:127.0.0.1", true, true, true},
            {"192.168.1.0", true, false, true},
            {"192.168.1.255", true, false, true},
            {"::ffff:192.168.1.77", true, false, true},
            {"192.168.2.1", false, false, true},
            {"10.1.2.3", true, false, true},
            {"10.1.2.4", false, false, true},
            {"fd12:3456::1", true, false, true},
            {"fe80::1%lo", false, false, true},
            {"2001:db8::1", false, false, true},
            {"::ffff:10.1.2.4", false, false, true},
        };
        for (const auto &[text, inList, inEmpty, inAll] : cases) {
            const QHostAddress address {QString::fromLatin1(text)};
            QVERIFY2(!address.isNull(), text);
            QVERIFY2(list.allows(address) == inList, text);
            QVERIFY2(empty.allows(address) == inEmpty, text);
            QVERIFY2(all.allows(address) == inAll, text);
            // As plain as it gets: plain() again changes nothing.
            const QHostAddress plain = NutAllowList::plain(address);
            QVERIFY2(NutAllowList::plain(plain) == plain && plain.scopeId().isEmpty(), text);
        }
    }
};

QTEST_GUILESS_MAIN(TestNutAllowList)
#include "tst_nutallowlist.moc"
