// The shutdown log tree over the log files a shutdown, a user or a damaged disk may leave.
#include "testroot.h"
#include "treemodelshutdown.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QtTest>

namespace {

QStringList warnings;
QtMessageHandler previousHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg)
        warnings << text;
    previousHandler(type, context, text);
}

} // namespace

class TestTreeModelShutdown : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { previousHandler = qInstallMessageHandler(recordWarnings); }
    void init()
    {
        warnings.clear();
        QFile::remove(m_root.file("/data/shutdown.log"));
    }
    void topLevel();
    void entries();

private:
    void writeLog(const QByteArray &text)
    {
        QFile file(m_root.file("/data/shutdown.log"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    TestRoot m_root {TestRoot::FoldersOnly};
};

void TestTreeModelShutdown::topLevel()
{
    struct Case
    {
        bool present;
        QByteArray text;
        QStringList apps;
        QString warning;
    };
    const QString unreadable = QStringLiteral("Failed to read shutdon log:");
    const QList<Case> cases = {
        {false, QByteArray(), {}, QString()},
        {true, QByteArray(), {}, unreadable},
        {true, "{\"Editor\": [\"a\"", {}, unreadable},
        {true, QByteArray("\x00\xff\xfe{", 4), {}, unreadable},
        {true, "[\"Editor\", [\"a\"]]", {}, "holds no object"},
        {true, "{}", {}, QString()},
        {true, R"({"b": ["1"], "a": ["2"], "C": []})", {"C", "a", "b"}, QString()},
        {true, R"({"n": [1, null, "x", {"a": 1}], "o": "t"})", {"n", "o"}, "not text"},
    };
    for (const Case &c : cases) {
        init();
        if (c.present)
            writeLog(c.text);
        TreeModelShutdown model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList seen;
        for (int row = 0; row < model.rowCount(); ++row)
            seen << model.index(row, 0).data(TreeModelShutdown::AppRole).toString();
        QCOMPARE(seen, c.apps);
        QCOMPARE(model.columnCount(), 2);
        const QString logged = warnings.join('\n');
        QVERIFY2(c.warning.isEmpty() ? logged.isEmpty() : logged.contains(c.warning),
                 qPrintable(logged));
    }
}

void TestTreeModelShutdown::entries()
{
    writeLog(R"({
    "Zeta": ["z1"],
    "Alpha": ["first", "second", "third"],
    "Empty": [],
    "Beta": [42, "kept"]
})");
    TreeModelShutdown model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    QCOMPARE(model.roleNames(), (QHash<int, QByteArray> {{257, "app"}, {258, "window"}}));
    QCOMPARE(model.rowCount(), 4);

    const QModelIndex alpha = model.index(0, 0);
    QCOMPARE(alpha.data(257).toString(), QString("Alpha"));
    QCOMPARE(alpha.data(258).toString(), QString());
    QCOMPARE(model.rowCount(alpha), 3);
    QCOMPARE(model.rowCount(model.index(0, 1)), 0); // only column 0 has children

    const QModelIndex empty = model.index(2, 0);
    QCOMPARE(empty.data(257).toString(), QString("Empty"));
    QCOMPARE(model.rowCount(empty), 0);

    // The parent row is the application's, whatever the window's own row.
    const QModelIndex beta = model.index(1, 0);
    QCOMPARE(beta.data(257).toString(), QString("Beta"));
    const QModelIndex kept = model.index(1, 1, beta);
    QCOMPARE(kept.data(257).toString(), QString());
    QCOMPARE(kept.data(258).toString(), QString("kept"));
    QCOMPARE(model.index(0, 1, beta).data(258).toString(), QString()); // the number
    QCOMPARE(model.parent(kept), beta);
    QCOMPARE(model.parent(kept).row(), 1);
    QCOMPARE(model.parent(kept).column(), 0);

    const QModelIndex third = model.index(2, 0, alpha);
    QCOMPARE(third.data(258).toString(), QString("third"));
    QCOMPARE(model.parent(third), alpha);
    QVERIFY(!model.parent(alpha).isValid());
    QVERIFY(!model.index(0, 0, empty).isValid());

    QCOMPARE(third.data(Qt::DisplayRole), QVariant());
    QCOMPARE(model.data(QModelIndex(), 257), QVariant());
    QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
    QCOMPARE(model.flags(third), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    QVERIFY(!model.index(3, 0, alpha).isValid());
    QVERIFY(!model.index(0, 2).isValid());
}

QTEST_GUILESS_MAIN(TestTreeModelShutdown)
#include "tst_treemodelshutdown.moc"
