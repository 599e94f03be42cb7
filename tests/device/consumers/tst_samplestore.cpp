// The samples stored from the data sets.
#include "recordprobe.h"
#include "recordwriter.h"
#include "samplestore.h"
#include "testroot.h"
#include "upsstates.h"

#include <QtTest>

using namespace RecordProbe;

using namespace UpsStates;

class TestSampleStore : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;
    RecordWriter m_writer;

private slots:
    void samplesOfNewDataOnly()
    {
        SampleStore store(&m_writer, m_root.settings());
        const QString rows = QStringLiteral("select count(*) from device_data");
        const int before = sqlCount(rows);
        store.updateState(online(0, 100.0f, 40));
        for (int i = 0; i < 3; ++i)
            store.store();
        QCOMPARE(sqlCount(rows), before + 1);
        store.updateState(online(0, 100.0f, 41));
        store.store();
        QCOMPARE(sqlCount(rows), before + 2);
        store.updateState(offline());
        store.store();
        QCOMPARE(sqlCount(rows), before + 2);
    }
};

QTEST_GUILESS_MAIN(TestSampleStore)
#include "tst_samplestore.moc"
