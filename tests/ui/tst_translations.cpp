// ctest-needs: program
// The languages: the shipped catalogues (every text finished, the built ones really translate,
// every English word a user sees spelt right) and the translator that loads them, following the
// user's choice or the system's language.
#include "settings.h"
#include "testroot.h"
#include "translator.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtTest>

#include <iostream>
#include <memory>

namespace {

struct Message
{
    QString context, source, translation;
    bool unfinished;
};

QVector<Message> readCatalogue(const QString &path, QString *error)
{
    QVector<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + ": " + file.errorString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            messages.append({context, xml.readElementText(), QString(), true});
        } else if (xml.name() == QLatin1String("translation") && !messages.isEmpty()) {
            messages.last().unfinished =
                xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            messages.last().translation = xml.readElementText();
        }
    }
    if (xml.hasError())
        *error = path + ": " + xml.errorString();
    return messages;
}

QSet<QString> readWords(const QString &path)
{
    QSet<QString> words;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return words;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            words.insert(line);
    }
    return words;
}

const char *const childLocaleVariable = "QUELTA_TEST_CHILD_LOCALE";

// Small catalogues with one text of a QML file ("Probe") and one of a C++ context ("Alarm").
struct Catalogue
{
    const char *name;
    const char *device;
    const char *mainsFault;
};
const Catalogue catalogues[] = {{"zh_CN", "设备", "市电故障"},
                                {"zh_TW", "設備", "市電故障"},
                                {"fr_FR", "Appareil", "Défaut secteur"}};

bool release(const QString &ts, const QString &qm)
{
    QProcess lrelease;
    lrelease.start(QStringLiteral("/usr/lib/qt5/bin/lrelease"),
                   {QStringLiteral("-silent"), ts, QStringLiteral("-qm"), qm});
    return lrelease.waitForFinished(30000) && lrelease.exitCode() == 0;
}

bool buildCatalogues(const QString &folder)
{
    // English corrects a misspelt source text that no other catalogue translates.
    QFile english(folder + "/en.ts");
    if (!english.open(QIODevice::WriteOnly))
        return false;
    english.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                  "<TS version=\"2.1\" language=\"en\">\n"
                  "<context><name>Alarm</name><message><source>Battery lw</source>"
                  "<translation>Battery low</translation></message></context>\n</TS>\n");
    english.close();
    if (!release(english.fileName(), folder + "/en.qm"))
        return false;
    for (const Catalogue &catalogue : catalogues) {
        const QString ts = folder + "/" + catalogue.name + ".ts";
        QFile file(ts);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                                  "<TS version=\"2.1\" language=\"%1\">\n"
                                  "<context><name>Probe</name><message><source>Device</source>"
                                  "<translation>%2</translation></message></context>\n"
                                  "<context><name>Alarm</name><message><source>Mains fault"
                                  "</source><translation>%3</translation></message></context>\n"
                                  "</TS>\n")
                       .arg(catalogue.name, QString::fromUtf8(catalogue.device),
                            QString::fromUtf8(catalogue.mainsFault))
                       .toUtf8());
        file.close();
        if (!release(ts, folder + "/" + catalogue.name + ".qm"))
            return false;
    }
    return true;
}

QString mainsFault()
{
    return QCoreApplication::translate("Alarm", "Mains fault");
}

QString batteryLow()
{
    return QCoreApplication::translate("Alarm", "Battery lw");
}

} // namespace

class TestTranslator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void systemAndUserChoices();
    void systemLanguageFollowed_data();
    void systemLanguageFollowed();
    void languageOfALocale();
    void everyTextTranslated();
    void builtCataloguesTranslate();
    void everyShownWordIsKnown();

private:
    QString probeText() const { return m_probe->property("text").toString(); }
    int stored(int key) const { return m_root->settings()->getSettings(key).toInt(); }

    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<Translator> m_translator;
    QTemporaryDir m_catalogues;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QObject> m_probe;
};

void TestTranslator::initTestCase()
{
    m_root = std::make_unique<TestRoot>(TestRoot::WithSettings);
    m_translator = std::make_unique<Translator>(m_root->settings());
    QVERIFY(buildCatalogues(m_catalogues.path()));
    m_translator->setCatalogueFolder(m_catalogues.path());

    // A visible text of a QML file named Probe, translated in that file's context.
    QFile qml(m_catalogues.path() + "/Probe.qml");
    QVERIFY(qml.open(QIODevice::WriteOnly));
    qml.write("import QtQuick 2.15\n"
              "Text {\n"
              "    text: qsTr(\"Device\")\n"
              "    property bool loadingSeen: translator.isLoading\n"
              "}\n");
    qml.close();
    m_engine = std::make_unique<QQmlEngine>();
    m_engine->rootContext()->setContextProperty(QStringLiteral("translator"), m_translator.get());
    QQmlComponent component(m_engine.get(), QUrl::fromLocalFile(qml.fileName()));
    m_probe.reset(component.create());
    QVERIFY2(m_probe, qPrintable(component.errorString()));
    // As the window does.
    connect(m_translator.get(), &Translator::cataloguesChanged, m_engine.get(),
            &QQmlEngine::retranslate);
}

void TestTranslator::systemAndUserChoices()
{
    QCOMPARE(QLocale::system().name(), QStringLiteral("zh_CN"));
    Translator *translator = m_translator.get();
    Settings *settings = m_root->settings();
    QSignalSpy changed(translator, &Translator::languageChanged);

    // First start: the defaults say automatic, the stored type stays English.
    translator->init();
    QCOMPARE(translator->language(), int(Translator::EN_GB));
    QCOMPARE(translator->languageInUse(), int(Translator::ZH_CN));
    QCOMPARE(probeText(), QString::fromUtf8("设备"));
    QCOMPARE(mainsFault(), QString::fromUtf8("市电故障"));
    QCOMPARE(stored(Settings::LanguageType), 0);
    QVERIFY(m_probe->property("loadingSeen").toBool());
    QVERIFY(!translator->isLoading());
    // The language property holds the stored type: writing it again keeps the automatic choice.
    translator->setLanguage(Translator::EN_GB);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(probeText(), QString::fromUtf8("设备"));

    // French while automatic: loaded and stored, "language/auto" untouched.
    translator->setLanguage(Translator::FR_FR);
    QCOMPARE(probeText(), QStringLiteral("Appareil"));
    QCOMPARE(mainsFault(), QString::fromUtf8("Défaut secteur"));
    QCOMPARE(translator->languageInUse(), int(Translator::FR_FR));
    // What French lacks shows in corrected English.
    QCOMPARE(batteryLow(), QStringLiteral("Battery low"));
    QCOMPARE(stored(Settings::LanguageType), 2);
    QVERIFY(settings->getSettings(Settings::LanguageAuto).toBool());

    // English removes the translation, however often it was switched before.
    translator->setLanguage(Translator::ZH_TW);
    QCOMPARE(probeText(), QString::fromUtf8("設備"));
    translator->setLanguage(Translator::EN_GB);
    QCOMPARE(probeText(), QStringLiteral("Device"));
    QCOMPARE(mainsFault(), QStringLiteral("Mains fault"));
    QCOMPARE(batteryLow(), QStringLiteral("Battery low"));
    QCOMPARE(translator->languageInUse(), int(Translator::EN_GB));
    QCOMPARE(stored(Settings::LanguageType), 0);

    // Auto follows the system and leaves the stored type alone.
    translator->setLanguage(Translator::ZH_TW);
    translator->setLanguage(Translator::Auto);
    QCOMPARE(translator->language(), int(Translator::Auto));
    QCOMPARE(translator->languageInUse(), int(Translator::ZH_CN));
    QCOMPARE(probeText(), QString::fromUtf8("设备"));
    QCOMPARE(stored(Settings::LanguageType), 3);
    // A number outside the enumeration loads nothing.
    translator->setLanguage(9);
    QCOMPARE(probeText(), QString::fromUtf8("设备"));

    // Switching the automatic choice off only stores it. A choice written by someone else (an
    // import, a restore) is applied at once.
    translator->setLanguage(Translator::FR_FR);
    translator->setAutoLanguage(false);
    QVERIFY(!settings->getSettings(Settings::LanguageAuto).toBool());
    QCOMPARE(probeText(), QStringLiteral("Appareil"));
    settings->setSettings(Settings::LanguageType, int(Translator::ZH_TW));
    QCOMPARE(translator->language(), int(Translator::ZH_TW));
    QCOMPARE(probeText(), QString::fromUtf8("設備"));
    settings->setSettings(Settings::LanguageAuto, true);
    QCOMPARE(translator->language(), int(Translator::ZH_TW));
    QCOMPARE(probeText(), QString::fromUtf8("设备"));
}

// The automatic choice under other system languages, even after another language was in force:
// one without a catalogue shows English, French of Belgium the French catalogue, Chinese of Hong
// Kong the Traditional one. QLocale::system() is fixed per process, so each runs in a child.
void TestTranslator::systemLanguageFollowed_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("shown");
    QTest::newRow("German") << "de_DE"
                            << "de_DE|Appareil|Mains fault|Battery low|0";
    QTest::newRow("French of Belgium") << "fr_BE"
                                       << "fr_BE|Appareil|Défaut secteur|Battery low|2";
    QTest::newRow("Chinese of Hong Kong") << "zh_HK"
                                          << "zh_HK|Appareil|市電故障|Battery low|3";
}

void TestTranslator::systemLanguageFollowed()
{
    QFETCH(QString, locale);
    QFETCH(QString, shown);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childLocaleVariable), locale + ".UTF-8");
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()).trimmed(), shown);
}

void TestTranslator::languageOfALocale()
{
    const QList<QPair<const char *, Translator::Language>> cases = {
        {"zh_CN", Translator::ZH_CN}, {"zh_SG", Translator::ZH_CN},
        {"zh_TW", Translator::ZH_TW}, {"zh_HK", Translator::ZH_TW},
        {"zh_MO", Translator::ZH_TW}, {"zh_Hant_CN", Translator::ZH_TW},
        {"fr_FR", Translator::FR_FR}, {"fr_BE", Translator::FR_FR},
        {"fr_CA", Translator::FR_FR}, {"en_US", Translator::EN_GB},
        {"de_DE", Translator::EN_GB}, {"C", Translator::EN_GB}};
    for (const auto &c : cases)
        QCOMPARE(int(Translator::languageFor(QLocale(QString::fromLatin1(c.first)))),
                 int(c.second));
}

void TestTranslator::everyTextTranslated()
{
    for (const char *name : {"zh_CN", "zh_TW", "fr_FR"}) {
        QString error;
        const QVector<Message> messages = readCatalogue(
            QStringLiteral(QUELTA_SOURCE_DIR "/translations/%1.ts").arg(name), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY2(messages.size() > 300, name);
        for (const Message &m : messages) {
            QVERIFY2(!m.unfinished && !m.translation.isEmpty(),
                     qPrintable(name + (": " + m.source)));
            // A placeholder or trailing blank lost in translation garbles the joined text.
            QCOMPARE(m.translation.contains(QLatin1String("%1")),
                     m.source.contains(QLatin1String("%1")));
            QCOMPARE(m.translation.endsWith(QLatin1Char(' ')), m.source.endsWith(QLatin1Char(' ')));
        }
    }
}

void TestTranslator::builtCataloguesTranslate()
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

// Every source text the screens and services hold now, as the English catalogue shows it: each
// word is in Debian's American English word list or in the program's own short list of terms.
void TestTranslator::everyShownWordIsKnown()
{
    QTemporaryDir dir;
    const QString scanned = dir.filePath(QStringLiteral("all.ts"));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(QUELTA_SOURCE_DIR));
    lupdate.start(QLibraryInfo::location(QLibraryInfo::BinariesPath) + QStringLiteral("/lupdate"),
                  {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral("src"), QStringLiteral("qml"), QStringLiteral("-ts"), scanned});
    QVERIFY2(lupdate.waitForFinished(120000) && lupdate.exitCode() == 0,
             lupdate.readAllStandardError().constData());
    QString error;
    const QVector<Message> messages = readCatalogue(scanned, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(messages.size() > 300);

    // The shipped English catalogue knows every one of them.
    QSet<QString> catalogued;
    for (const Message &m :
         readCatalogue(QStringLiteral(QUELTA_SOURCE_DIR "/translations/en.ts"), &error))
        catalogued.insert(m.context + QLatin1Char('\n') + m.source);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QStringList missing;
    for (const Message &m : messages) {
        if (!catalogued.contains(m.context + QLatin1Char('\n') + m.source))
            missing << m.context + ": " + m.source;
    }
    QVERIFY2(missing.isEmpty(),
             qPrintable("not in translations/en.ts (run the update_translations target):\n" +
                        missing.join(QLatin1Char('\n'))));

    QTranslator english;
    QVERIFY(english.load(QStringLiteral("en"), QStringLiteral(QUELTA_BIN_DIR "/translations")));
    QSet<QString> words = readWords(QStringLiteral("/usr/share/dict/american-english"));
    QVERIFY2(words.size() > 50000, "the wamerican word list is missing");
    const QSet<QString> terms =
        readWords(QStringLiteral(QUELTA_SOURCE_DIR "/tests/support/spelling-terms.txt"));
    QVERIFY(!terms.isEmpty());
    words.unite(terms);

    // Words are runs of letters with inner apostrophes; "Self-test" is two words, "UPS's" is
    // "UPS", a placeholder and Chinese (the language box's own names) are no words.
    const QRegularExpression wordPattern(QStringLiteral("%\\d+|\\p{L}+(?:'\\p{L}+)*"));
    QStringList unknown;
    for (const Message &m : messages) {
        const QString translated = english.translate(qPrintable(m.context), qPrintable(m.source));
        const QString shown = translated.isEmpty() ? m.source : translated;
        auto it = wordPattern.globalMatch(shown);
        while (it.hasNext()) {
            QString word = it.next().captured(0);
            if (word.startsWith(QLatin1Char('%')) || word.at(0).script() == QChar::Script_Han)
                continue;
            if (word.endsWith(QLatin1String("'s")))
                word.chop(2);
            const bool known = words.contains(word) || words.contains(word.toLower()) ||
                (word.size() > 1 && words.contains(word.at(0) + word.mid(1).toLower()));
            if (!known)
                unknown << QStringLiteral("\"%1\" in %2: \"%3\"").arg(word, m.context, shown);
        }
    }
    QVERIFY2(unknown.isEmpty(),
             qPrintable("words in no list (correct them in scripts/texts_en.py, or add a term "
                        "of the program to tests/support/spelling-terms.txt):\n" +
                        unknown.join(QLatin1Char('\n'))));
}

static int childMain(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TestRoot root(TestRoot::WithSettings);
    QTemporaryDir folder;
    if (!buildCatalogues(folder.path()))
        return 2;
    Translator language(root.settings());
    Translator *translator = &language;
    translator->setCatalogueFolder(folder.path());
    translator->setLanguage(Translator::FR_FR);
    const QString french = mainsFault() == QString::fromUtf8("Défaut secteur")
        ? QStringLiteral("Appareil")
        : QStringLiteral("no French");
    translator->setLanguage(Translator::Auto);
    std::cout << qPrintable(QLocale::system().name() + "|" + french + "|" + mainsFault() + "|" +
                            batteryLow() + "|" + QString::number(translator->languageInUse()))
              << std::endl;
    return 0;
}

int main(int argc, char **argv)
{
    // The system locale is read once per process, from the environment.
    const QByteArray childLocale = qgetenv(childLocaleVariable);
    const QByteArray locale = childLocale.isEmpty() ? QByteArray("zh_CN.UTF-8") : childLocale;
    qputenv("LC_ALL", locale);
    qputenv("LANG", locale);
    if (!childLocale.isEmpty())
        return childMain(argc, argv);
    QGuiApplication app(argc, argv);
    TestTranslator test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
