#include "settingsfilecheck.h"

#include <QList>
#include <QTextCodec>

namespace {

enum class LineKind { Blank, Comment, Group, Entry, Other };

bool isControl(uchar c, bool latin1)
{
    return (c < 0x20 && c != '\t') || c == 0x7f || (latin1 && c >= 0x80 && c < 0xa0);
}

// Text as the settings facility would read it: UTF-8, or else Latin-1, either without control
// characters.
bool isText(const QByteArray &line)
{
    QTextCodec::ConverterState state;
    const QString utf8 =
        QTextCodec::codecForName("UTF-8")->toUnicode(line.constData(), line.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0) {
        for (const QChar c : utf8) {
            if (c.category() == QChar::Other_Control && c != QLatin1Char('\t'))
                return false;
        }
        return true;
    }
    for (const char c : line) {
        if (isControl(uchar(c), true))
            return false;
    }
    return true;
}

// A key or group name as the settings facility spells it in its own keys: "\" separates the
// parts, "%XX" escapes a byte.
QString keyName(const QByteArray &raw)
{
    QByteArray key = raw.trimmed();
    key.replace('\\', '/');
    return QString::fromLatin1(QByteArray::fromPercentEncoding(key));
}

LineKind kindOf(const QByteArray &raw, QByteArray *name)
{
    const QByteArray line = raw.trimmed();
    if (line.isEmpty())
        return LineKind::Blank;
    if (line.startsWith(';') || line.startsWith('#'))
        return LineKind::Comment;
    if (line.startsWith('[')) {
        const int close = line.indexOf(']');
        const QByteArray rest = close < 0 ? QByteArray() : line.mid(close + 1).trimmed();
        if (close <= 1 || line.indexOf('[', 1) >= 0 ||
            !(rest.isEmpty() || rest.startsWith(';') || rest.startsWith('#')))
            return LineKind::Other;
        *name = line.mid(1, close - 1);
        return LineKind::Group;
    }
    const int equals = line.indexOf('=');
    if (equals <= 0 || line.left(equals).trimmed().isEmpty())
        return LineKind::Other;
    *name = line.left(equals);
    return LineKind::Entry;
}

} // namespace

SettingsFileCheck::SettingsFileCheck(const QByteArray &content)
{
    QByteArray text = content;
    if (text.startsWith("\xef\xbb\xbf"))
        text.remove(0, 3);
    // The facility ends a line at a line feed or a carriage return, alone or in a pair.
    QList<QByteArray> lines = text.replace("\r\n", "\n").replace('\r', '\n').split('\n');
    const bool ended = lines.last().isEmpty();
    if (ended)
        lines.removeLast();

    QString group;
    bool groupWhole = true;
    int entries = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        QByteArray name;
        const LineKind kind = kindOf(line, &name);
        const bool text = isText(line);
        const bool whole = text && kind != LineKind::Other && (ended || i + 1 < lines.size());
        if (!text)
            noteFault(QStringLiteral("line %1 holds bytes that are not text").arg(i + 1));
        else if (kind == LineKind::Other)
            noteFault(QStringLiteral("line %1 is not a setting").arg(i + 1));
        else if (!whole)
            noteFault(QStringLiteral("it is cut short in its last line"));
        if (kind == LineKind::Group) {
            const QString groupName = keyName(name);
            group = groupName.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0
                ? QString()
                : groupName + QLatin1Char('/');
            groupWhole = whole;
        } else if (!whole) {
            // A damaged line may have been a group header: the entries below it belong to no
            // group anyone can tell, up to the next whole header.
            groupWhole = false;
        }
        if (kind == LineKind::Entry) {
            ++entries;
            const QString key = group + keyName(name);
            if (whole && groupWhole && !m_broken.contains(key)) {
                m_whole.insert(key);
            } else {
                m_whole.remove(key);
                m_broken.insert(key);
            }
        }
    }
    if (entries == 0)
        noteFault(QStringLiteral("it holds no setting"));
}

bool SettingsFileCheck::isWhole(const QString &key) const
{
    return m_whole.contains(key);
}

void SettingsFileCheck::noteFault(const QString &fault)
{
    if (m_fault.isEmpty())
        m_fault = fault;
}
