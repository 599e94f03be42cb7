#include "nutlineparser.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

bool NutLineParser::parse(const QByteArray &line, QByteArrayList *words)
{
    words->clear();
    QByteArray word;
    bool inWord = false;
    bool quoted = false;
    const int size = line.size();
    for (int i = 0; i < size; ++i) {
        char c = line.at(i);
        if (c == '\0')
            continue;
        if (c == '\\') {
            // Skip NUL bytes between the backslash and what it escapes, as above.
            while (++i < size && line.at(i) == '\0') { }
            if (i == size)
                break;
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

QByteArray NutLineParser::quote(const QByteArray &value)
{
    QByteArray out;
    out.reserve(value.size() + 2);
    out.append('"');
    for (char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\' || c == '#')
            out.append('\\').append(c);
        else if (u < 0x20 || u == 0x7f)
            out.append(' ');
        else
            out.append(c);
    }
    out.append('"');
    return out;
}

bool NutLineParser::isPlainName(const QByteArray &name)
{
    if (name.isEmpty() || name.size() > 128)
        return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
            (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-' || c == '@';
        if (!ok)
            return false;
    }
    return true;
}
