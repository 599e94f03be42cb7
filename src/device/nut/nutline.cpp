#include "nutline.h"

namespace {

bool isControl(uchar c)
{
    return c < 0x20 || c == 0x7f;
}

} // namespace

namespace NutLine {

bool split(const QByteArray &line, QStringList *words)
{
    words->clear();
    QByteArray word;
    bool inWord = false;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const uchar c = uchar(line.at(i));
        if (c == '\t' && !quoted)
            continue; // some servers pad with tabs; never inside a value
        if (isControl(c))
            return false;
        if (quoted) {
            if (c == '\\') {
                if (++i == line.size())
                    return false;
                word.append(line.at(i));
            } else if (c == '"') {
                quoted = false;
            } else {
                word.append(char(c));
            }
        } else if (c == ' ') {
            if (inWord)
                words->append(QString::fromUtf8(word));
            word.clear();
            inWord = false;
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == '\\') {
            if (++i == line.size())
                return false;
            word.append(line.at(i));
            inWord = true;
        } else {
            word.append(char(c));
            inWord = true;
        }
    }
    if (quoted)
        return false;
    if (inWord)
        words->append(QString::fromUtf8(word));
    return true;
}

QByteArray join(const QStringList &words)
{
    QByteArray line;
    for (const QString &word : words) {
        const QByteArray bytes = word.toUtf8();
        for (const char c : bytes) {
            if (isControl(uchar(c)))
                return QByteArray();
        }
        if (!line.isEmpty())
            line.append(' ');
        const bool plain = !bytes.isEmpty() && !bytes.contains(' ') && !bytes.contains('"') &&
            !bytes.contains('\\');
        if (plain) {
            line.append(bytes);
            continue;
        }
        line.append('"');
        for (const char c : bytes) {
            if (c == '"' || c == '\\')
                line.append('\\');
            line.append(c);
        }
        line.append('"');
    }
    line.append('\n');
    return line;
}

QString excerpt(const QByteArray &line, int length)
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

} // namespace NutLine
