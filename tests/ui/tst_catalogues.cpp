// ctest-needs: program
#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

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

} // namespace

// The shipped catalogues: every text finished, the built .qm really translates, and every English
// text a user can see is spelt correctly.
class TestCatalogues : public QObject
{
    Q_OBJECT

private slots:
    void everyTextTranslated();
    void builtCataloguesTranslate();
    void everyShownWordIsKnown();
};

void TestCatalogues::everyTextTranslated()
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

// Every source text the screens and services hold now, as the English catalogue shows it: each
// word is in Debian's American English word list or in the program's own short list of terms.
void TestCatalogues::everyShownWordIsKnown()
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

QTEST_GUILESS_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
