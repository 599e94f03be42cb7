// The map the screens read: the link and the voltage histories.
#include "devdatamap.h"
#include "upsstates.h"

#include <QtTest>

using namespace UpsStates;

class TestDevDataMap : public QObject
{
    Q_OBJECT

private slots:
    void publishedMap()
    {
        // Sixty values each: the zero of the start and the first value are gone.
        DevDataMap published;
        for (int i = 1; i <= 61; ++i)
            published.record(online(0, 100.0f, 50, float(i)));
        const UpsState state = online(0x81, 87.5f, 35, 230.0f);
        QVariantMap map = published.map(state, true);
        const QVariantList input = map.value("inputVolList").toList();
        QCOMPARE(input.size(), 60);
        QCOMPARE(input.first().toFloat(), 2.0f);
        QCOMPARE(map.value("outputVolList").toList().last().toFloat(), 1061.0f);
        // A voltage not reported (a network UPS without output voltage) is an empty entry, no 0.
        UpsState partial = online(0);
        partial.outputVoltage.reset();
        published.record(partial);
        QVERIFY(!published.map(partial, true).value("outputVolList").toList().last().isValid());
        // Only what the screens read: the link, and "devOnline" absent before it is known.
        QCOMPARE(map.keys(), (QStringList {"devOnline", "inputVolList", "outputVolList"}));
        QCOMPARE(map.value("devOnline"), QVariant(true));
        map = DevDataMap().map(UpsState(), false);
        QCOMPARE(map.size(), 2);
        QCOMPARE(map.value("inputVolList"), QVariant(QVariantList {0.0f}));
    }
};

QTEST_GUILESS_MAIN(TestDevDataMap)
#include "tst_devdatamap.moc"
