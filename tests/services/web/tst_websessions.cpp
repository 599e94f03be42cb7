// The web page's logins on their own, the clock given by hand: who gets a token, how long it
// lives, how many live at once, and what ends them.
#include "nutpassword.h"
#include "websessions.h"

#include <QtTest>

class TestWebSessions : public QObject
{
    Q_OBJECT

private slots:
    void tokensLiveAndEnd()
    {
        // The fewest iterations taken: the test logs in dozens of times.
        const NutAccount admin {"adm", NutAccount::Admin, NutPassword::hash("secret", 1000)};
        const NutAccount monitor {"mon", NutAccount::Monitor, NutPassword::hash("look", 1000)};
        WebSessions sessions;
        sessions.setAccounts({admin, monitor});
        sessions.setThrottleBase(1000);
        const QString at = QStringLiteral("192.0.2.7");
        qint64 now = 1'000'000;

        // Wrong passwords and unknown names wait longer each time; the right one goes out at
        // once; a monitor's right password gets no token.
        QCOMPARE(sessions.login(at, "adm", "nope", now).verdict, WebSessions::Denied);
        const WebSessions::Login second = sessions.login(at, "nobody", "x", now);
        QVERIFY(second.verdict == WebSessions::Denied && second.delayMs > 0);
        QVERIFY(sessions.login(at, "adm", "nope", now).delayMs > second.delayMs);
        QCOMPARE(sessions.login(at, "mon", "look", now).verdict, WebSessions::NotAdmin);
        const WebSessions::Login granted = sessions.login(at, "adm", "secret", now);
        QVERIFY(granted.verdict == WebSessions::Granted && granted.delayMs == 0);
        QVERIFY(granted.token.size() >= 32);
        QCOMPARE(sessions.user("forged", now), QByteArray());

        // An hour without use ends a token; each use starts the hour again.
        QCOMPARE(sessions.user(granted.token, now + WebSessions::lifetimeMs), QByteArray("adm"));
        now += WebSessions::lifetimeMs;
        QCOMPARE(sessions.user(granted.token, now + WebSessions::lifetimeMs + 1), QByteArray());

        // The oldest in use goes first once too many live.
        QByteArrayList tokens;
        for (int i = 0; i <= WebSessions::maxSessions; ++i) {
            tokens << sessions.login(at, "adm", "secret", ++now).token;
            QVERIFY(!tokens.mid(0, i).contains(tokens.last()));
        }
        QCOMPARE(sessions.user(tokens.first(), now), QByteArray());
        QCOMPARE(sessions.user(tokens.at(1), now), QByteArray("adm"));
        QCOMPARE(sessions.user(tokens.last(), now), QByteArray("adm"));
        sessions.logout(tokens.last());
        QCOMPARE(sessions.user(tokens.last(), now), QByteArray());

        // A new password, a lost role or a removed account ends the account's tokens.
        const auto live = [&](const NutAccountList &accounts) {
            const QByteArray token = sessions.login(at, "adm", "secret", ++now).token;
            sessions.setAccounts(accounts);
            return !sessions.user(token, now).isEmpty();
        };
        QVERIFY(live({admin, monitor}));
        QVERIFY(!live({{"adm", NutAccount::Admin, NutPassword::hash("other", 1000)}, monitor}));
        sessions.setAccounts({admin});
        QVERIFY(!live({{"adm", NutAccount::Monitor, admin.passwordHash}}));
        sessions.setAccounts({admin});
        QVERIFY(!live({monitor}));
    }
};

QTEST_GUILESS_MAIN(TestWebSessions)
#include "tst_websessions.moc"
