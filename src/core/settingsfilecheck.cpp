#include "settingsfilecheck.h"

#include "settingsfileformat.h"

#include <QTextCodec>

namespace {

// Text as a person's editor writes it: UTF-8, or else Latin-1, either without control
// characters.
bool isText(const QByteArray &line)
{
    QTextCodec::ConverterState state;
    // By its number (MIB 106): by name, Qt asks ICU for the standard spelling at every call.
    const QString utf8 =
        QTextCodec::codecForMib(106)->toUnicode(line.constData(), line.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0) {
        for (const QChar c : utf8) {
            if (c.category() == QChar::Other_Control && c != QLatin1Char('\t'))
                return false;
        }
        return true;
    }
    for (const char c : line) {
        const uchar u = uchar(c);
        if ((u < 0x20 && c != '\t') || u == 0x7f || (u >= 0x80 && u < 0xa0))
            return false;
    }
    return true;
}

// A key as a person writes one: printable ASCII without the characters that end or open
// something in this format.
bool isKey(const QByteArray &key)
{
    if (key.isEmpty())
        return false;
    for (const char c : key) {
        const uchar u = uchar(c);
        if (u <= 0x20 || u >= 0x7f || c == '[' || c == ']' || c == '"' || c == ';' || c == '=')
            return false;
    }
    return true;
}

} // namespace

SettingsFileCheck::SettingsFileCheck(const QByteArray &content)
{
    QByteArray text = content;
    if (text.startsWith("\xef\xbb\xbf"))
        text.remove(0, 3);
    // A line ends at a line feed or a carriage return, alone or in a pair.
    QList<QByteArray> lines = text.replace("\r\n", "\n").replace('\r', '\n').split('\n');
    const bool ended = lines.last().isEmpty();
    if (ended)
        lines.removeLast();

    QString group;
    bool groupWhole = true;
    int entries = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const int number = i + 1;
        const QByteArray line = lines.at(i).trimmed();
        if (!ended && i + 1 == lines.size()) {
            note(number, QStringLiteral("it is cut short in its last line"));
            groupWhole = false;
            continue;
        }
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) {
            if (!isText(line)) {
                note(number, QStringLiteral("line %1 holds bytes that are not text").arg(number));
                groupWhole = false;
            }
            continue;
        }
        if (!isText(line)) {
            note(number, QStringLiteral("line %1 holds bytes that are not text").arg(number));
            // Junk bytes may have taken the place of a group header as well.
            groupWhole = false;
            continue;
        }
        if (line.startsWith('[')) {
            const int close = line.indexOf(']');
            const QByteArray rest = close < 0 ? QByteArray() : line.mid(close + 1).trimmed();
            if (close <= 1 || line.indexOf('[', 1) >= 0 ||
                !(rest.isEmpty() || rest.startsWith(';') || rest.startsWith('#'))) {
                note(number, QStringLiteral("line %1 is not a group header").arg(number));
                groupWhole = false;
                continue;
            }
            const QString name = SettingsFileFormat::readKey(line.mid(1, close - 1));
            group = name.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0
                ? QString()
                : name + QLatin1Char('/');
            groupWhole = true;
            continue;
        }
        const int equals = line.indexOf('=');
        const QByteArray rawKey = equals > 0 ? line.left(equals).trimmed() : QByteArray();
        if (!isKey(rawKey)) {
            note(number, QStringLiteral("line %1 is not a setting").arg(number));
            groupWhole = false;
            continue;
        }
        ++entries;
        const QString key = group + SettingsFileFormat::readKey(rawKey);
        QVariant value;
        QString why;
        if (!SettingsFileFormat::readValue(lines.at(i).mid(lines.at(i).indexOf('=') + 1), &value,
                                           &why)) {
            note(number,
                 QStringLiteral("line %1 (%2) does not read: %3").arg(number).arg(key, why));
            m_values.remove(key);
            m_order.removeAll(key);
            continue;
        }
        if (!groupWhole) {
            note(number,
                 QStringLiteral("line %1 (%2) stands below a damaged line that may have been "
                                "its group header")
                     .arg(number)
                     .arg(QString::fromLatin1(rawKey)));
            continue;
        }
        m_lines.insert(key, number);
        // A key given twice: the later line stands, as Qt's settings class reads it.
        if (m_order.contains(key)) {
            m_repeats.append({number,
                              QStringLiteral("line %1 gives %2 a second time; this "
                                             "later value is the one used")
                                  .arg(number)
                                  .arg(key)});
            m_order.removeAll(key);
        }
        m_order.append(key);
        m_values.insert(key, value);
    }
    if (entries == 0)
        note(0, QStringLiteral("it holds no setting"));
}

QString SettingsFileCheck::fault() const
{
    return m_problems.isEmpty() ? QString() : m_problems.first().text;
}

void SettingsFileCheck::note(int line, const QString &text)
{
    m_problems.append({line, text});
}
