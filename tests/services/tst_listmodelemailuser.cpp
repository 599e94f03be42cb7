#include "clock.h"
#include "listmodelemailuser.h"
#include "testroot.h"

#include <QAbstractItemModelTester>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

class TestListModelEMailUser : public QObject
{
    Q_OBJECT

private slots:
    void editRecipients();
    void removeAllEmptiesEveryRow();

private:
    static QStringList stored()
    {
        QStringList users;
        QSqlQuery query(QStringLiteral("select user from email_user order by id"));
        while (query.next())
            users << query.value(0).toString();
        return users;
    }
    static QStringList shown(const ListModelEMailUser &model)
    {
        QStringList users;
        for (int r = 0; r < model.rowCount(); ++r)
            users << model.data(model.index(r, 0), 258).toString();
        return users;
    }

    TestRoot m_root;
};

void TestListModelEMailUser::editRecipients()
{
    Clock::setNow(QDateTime(QDate(2024, 3, 10), QTime(8, 30, 5)));
    ListModelEMailUser model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.roleNames(),
             (QHash<int, QByteArray> {{256, "id"}, {257, "dateTime"}, {258, "user"}}));
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.get(0).isValid());

    model.addUser(QStringLiteral("a@example.org"));
    model.addUser(QStringLiteral("b@example.org"));
    model.addUser(QStringLiteral("a@example.org")); // duplicates are kept
    QCOMPARE(stored(), QStringList({"a@example.org", "b@example.org", "a@example.org"}));
    QCOMPARE(shown(model), stored());
    QCOMPARE(model.data(model.index(0, 0), 257).toString(), QStringLiteral("2024-03-10 08:30:05"));
    QVERIFY(model.data(model.index(0, 0), 256).toInt() > 0);
    QCOMPARE(model.get(1).toString(), QStringLiteral("b@example.org"));
    QVERIFY(!model.get(3).isValid());
    QVERIFY(!model.get(-1).isValid());

    Clock::advance(3600);
    model.updateUser(1, QStringLiteral("c@example.org"));
    QCOMPARE(stored(), QStringList({"a@example.org", "c@example.org", "a@example.org"}));
    QCOMPARE(model.data(model.index(1, 0), 257).toString(), QStringLiteral("2024-03-10 08:30:05"));

    // Editing through the role writes at once.
    QVERIFY(model.setData(model.index(2, 0), QStringLiteral("d@example.org"), 258));
    QCOMPARE(stored(), QStringList({"a@example.org", "c@example.org", "d@example.org"}));
    QVERIFY(!model.setData(QModelIndex(), QStringLiteral("x"), 258));

    model.delUser(0);
    QCOMPARE(stored(), QStringList({"c@example.org", "d@example.org"}));
    QCOMPARE(shown(model), stored());

    // Rows that do not exist change nothing.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^No recipient in row"));
    model.delUser(5);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^No recipient in row"));
    model.updateUser(-1, QStringLiteral("e@example.org"));
    QCOMPARE(stored(), QStringList({"c@example.org", "d@example.org"}));
}

void TestListModelEMailUser::removeAllEmptiesEveryRow()
{
    // More rows than SQLite hands over in one batch.
    QSqlDatabase::database().transaction();
    QSqlQuery insert;
    insert.prepare(QStringLiteral("insert into email_user(user) values(?)"));
    for (int i = 0; i < 600; ++i) {
        insert.addBindValue(QStringLiteral("user%1@example.org").arg(i));
        QVERIFY(insert.exec());
    }
    QSqlDatabase::database().commit();

    ListModelEMailUser model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(model.rowCount() >= 600);
    QCOMPARE(model.get(599).isValid(), true);
    model.removeAll();
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(stored().isEmpty());
}

QTEST_MAIN(TestListModelEMailUser)
#include "tst_listmodelemailuser.moc"
