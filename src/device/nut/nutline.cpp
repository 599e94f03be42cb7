#include "nutline.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isControl(uchar c)
{
    return c < 0x20 || c == 0x7f;
}

// The one reader of both sides; `danglingEscape` is set when the line ends on a backslash.
bool tokenize(const QByteArray &line, QByteArrayList *words, bool *danglingEscape)
{
    words->clear();
    *danglingEscape = false;
    QByteArray word;
    bool inWord = false;
    bool quoted = false;
    const int size = line.size();
    for (int i = 0; i < size; ++i) {
        const char c = line.at(i);
        if (c == '\0')
            continue;
        if (c == '\\') {
            // NUL bytes between the backslash and what it escapes are skipped, as above.
            while (++i < size && line.at(i) == '\0') { }
            if (i == size) {
                *danglingEscape = true;
                break;
            }
            word.append(line.at(i));
            inWord = !quoted;
            continue;
        }
        if (quoted) {
            if (c == '"') {
                words->append(word);
                word.clear();
                quoted = false;
                inWord = false;
            } else {
                word.append(c);
            }
            continue;
        }
        if (c == '"') {
            if (inWord)
                words->append(word);
            word.clear();
            inWord = false;
            quoted = true;
            continue;
        }
        if (isBlank(c)) {
            if (inWord)
                words->append(word);
            word.clear();
            inWord = false;
            continue;
        }
        if (c == '#' && !inWord)
            break;
        word.append(c);
        inWord = true;
    }
    if (quoted) {
        words->clear();
        return false;
    }
    if (inWord)
        words->append(word);
    return true;
}

} // namespace

bool NutLine::split(const QByteArray &line, QByteArrayList *words)
{
    bool dangling = false;
    return tokenize(line, words, &dangling);
}

bool NutLine::splitReply(const QByteArray &line, QStringList *words)
{
    words->clear();
    for (const char c : line) {
        if (isControl(uchar(c)) && c != '\t')
            return false;
    }
    QByteArrayList bytes;
    bool dangling = false;
    if (!tokenize(line, &bytes, &dangling) || dangling)
        return false;
    for (const QByteArray &word : qAsConst(bytes))
        words->append(QString::fromUtf8(word));
    return true;
}

QByteArray NutLine::quote(const QByteArray &value)
{
    QByteArray out;
    out.reserve(value.size() + 2);
    out.append('"');
    for (const char c : value) {
        if (c == '"' || c == '\\' || c == '#')
            out.append('\\').append(c);
        else if (isControl(uchar(c)))
            out.append(' ');
        else
            out.append(c);
    }
    out.append('"');
    return out;
}

QByteArray NutLine::join(const QStringList &words)
{
    QByteArray line;
    for (const QString &word : words) {
        const QByteArray bytes = word.toUtf8();
        bool plain = !bytes.isEmpty() && !bytes.startsWith('#');
        for (const char c : bytes) {
            if (isControl(uchar(c)))
                return QByteArray();
            plain = plain && c != ' ' && c != '"' && c != '\\';
        }
        if (!line.isEmpty())
            line.append(' ');
        line.append(plain ? bytes : quote(bytes));
    }
    line.append('\n');
    return line;
}

bool NutLine::isPlainName(const QByteArray &name)
{
    if (name.isEmpty() || name.size() > 128)
        return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
            (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-' || c == '@';
        if (!ok)
            return false;
    }
    return true;
}

QString NutLine::excerpt(const QByteArray &line, int length)
{
    QString text;
    for (int i = 0; i < line.size() && text.size() < length; ++i) {
        const uchar c = uchar(line.at(i));
        if (isControl(c) || c >= 0x80)
            text += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
        else
            text += QLatin1Char(char(c));
    }
    if (line.size() > length)
        text += QStringLiteral("... (%1 bytes)").arg(line.size());
    return text;
}
