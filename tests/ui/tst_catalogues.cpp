// ctest-needs: program
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

// The shipped catalogues: every text finished, and the built .qm really translates.
class TestCatalogues : public QObject
{
    Q_OBJECT

private slots:
    void everyTextTranslated();
    void builtCataloguesTranslate();
};

void TestCatalogues::everyTextTranslated()
{
    for (const char *name : {"zh_CN", "zh_TW", "fr_FR"}) {
        QFile file(QStringLiteral(QUELTA_SOURCE_DIR "/translations/%1.ts").arg(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QXmlStreamReader xml(&file);
        int messages = 0;
        QString source;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                const bool unfinished =
                    xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
                const QString text = xml.readElementText();
                QVERIFY2(!unfinished && !text.isEmpty(), qPrintable(name + (": " + source)));
                // A placeholder or trailing blank lost in translation garbles the joined text.
                QCOMPARE(text.contains(QLatin1String("%1")), source.contains(QLatin1String("%1")));
                QCOMPARE(text.endsWith(QLatin1Char(' ')), source.endsWith(QLatin1Char(' ')));
                ++messages;
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY2(messages > 300, name);
    }
}

void TestCatalogues::builtCataloguesTranslate()
{
    struct Case
    {
        const char *name, *alarm, *returned, *screen;
    };
    const Case cases[] = {{"zh_CN", "通讯中断", "恢复自: ", "设备"},
                          {"zh_TW", "通訊中斷", "恢復自: ", "設備"},
                          {"fr_FR", "Communication perdue", "Fin de : ", "Appareil"}};
    for (const Case &c : cases) {
        QTranslator translator;
        QVERIFY2(translator.load(QString::fromLatin1(c.name),
                                 QStringLiteral(QUELTA_BIN_DIR "/translations")),
                 c.name);
        QCOMPARE(translator.translate("Alarm", "Communication lost"), QString::fromUtf8(c.alarm));
        QCOMPARE(translator.translate("Alarm", "Returned from: "), QString::fromUtf8(c.returned));
        QCOMPARE(translator.translate("MainFooterMenuForm.ui", "Device"),
                 QString::fromUtf8(c.screen));
        QCOMPARE(translator.translate("SettingsCommonForm.ui", "English"),
                 QStringLiteral("English"));
    }
}

QTEST_GUILESS_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
