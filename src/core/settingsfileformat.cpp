#include "settingsfileformat.h"

#include <QTextCodec>

namespace SettingsFileFormat {

namespace {

QString decode(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    // By its number (MIB 106): by name, Qt asks ICU for the standard spelling at every call.
    const QString utf8 =
        QTextCodec::codecForMib(106)->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return utf8;
    return QString::fromLatin1(bytes);
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void chopSpaces(QString &text, int limit)
{
    while (text.size() > limit &&
           (text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('\t'))))
        text.chop(1);
}

// A text of the file as the value it stands for: "@@x" is "@x", "@ByteArray(x)" bytes,
// "@Invalid()" nothing.
QVariant typed(const QString &text)
{
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    if (text.startsWith(QLatin1String("@@")))
        return text.mid(1);
    if (text.endsWith(QLatin1Char(')'))) {
        if (text.startsWith(QLatin1String("@ByteArray(")))
            return text.mid(11, text.size() - 12).toLatin1();
        if (text.startsWith(QLatin1String("@String(")))
            return text.mid(8, text.size() - 9);
        if (text == QLatin1String("@Invalid()"))
            return QVariant();
    }
    return text;
}

void escapeText(const QString &text, QByteArray &out)
{
    bool quotes = false;
    bool escapeNextIfHex = false;
    const int start = out.size();
    for (const QChar qc : text) {
        const ushort c = qc.unicode();
        if (c == ';' || c == ',' || c == '=')
            quotes = true;
        if (escapeNextIfHex && c < 0x80 && isHex(char(c))) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeNextIfHex = false;
        switch (c) {
        case 0:
            out += "\\0";
            escapeNextIfHex = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += char(c);
            break;
        default:
            if (c <= 0x1f || c >= 0x7f) {
                out += "\\x" + QByteArray::number(c, 16);
                escapeNextIfHex = true;
            } else {
                out += char(c);
            }
        }
    }
    if (quotes || (out.size() > start && (out.at(start) == ' ' || out.endsWith(' ')))) {
        out.insert(start, '"');
        out += '"';
    }
}

QString textOf(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray:
        return QStringLiteral("@ByteArray(") + QString::fromLatin1(value.toByteArray()) +
            QLatin1Char(')');
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default: {
        const QString text = value.toString();
        return text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    }
    }
}

QByteArray writeKey(const QString &key)
{
    QByteArray out;
    for (const QChar qc : key) {
        const ushort c = qc.unicode();
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '_' || c == '-' || c == '.') {
            out += char(c);
        } else if (c <= 0xff) {
            out += '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        } else {
            out += "%U" + QByteArray::number(c, 16).toUpper().rightJustified(4, '0');
        }
    }
    return out;
}

} // namespace

bool readValue(const QByteArray &raw, QVariant *value, QString *why)
{
    QString current;
    QStringList list;
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    int chopLimit = 0;
    int i = 0;
    const int size = raw.size();
    const auto skipSpaces = [&] {
        while (i < size && (raw.at(i) == ' ' || raw.at(i) == '\t'))
            ++i;
        chopLimit = current.size();
    };
    skipSpaces();
    while (i < size) {
        const char c = raw.at(i);
        if (c == '\\') {
            ++i;
            if (i >= size) {
                *why =
                    QStringLiteral("it ends in a backslash, which would run on into the next line");
                return false;
            }
            const char e = raw.at(i++);
            static const char codes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                            {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                            {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
            bool known = false;
            for (const auto &code : codes) {
                if (e == code[0]) {
                    current += QLatin1Char(code[1]);
                    known = true;
                    break;
                }
            }
            if (!known && e == 'x' && i < size && isHex(raw.at(i))) {
                ushort code = 0;
                while (i < size && isHex(raw.at(i)))
                    code = ushort(code * 16 + QByteArray(1, raw.at(i++)).toUShort(nullptr, 16));
                current += QChar(code);
                known = true;
            } else if (!known && e >= '0' && e <= '7') {
                ushort code = ushort(e - '0');
                while (i < size && raw.at(i) >= '0' && raw.at(i) <= '7')
                    code = ushort(code * 8 + (raw.at(i++) - '0'));
                current += QChar(code);
                known = true;
            }
            if (!known) {
                *why = QStringLiteral("it holds \\%1, which is no escape").arg(QLatin1Char(e));
                return false;
            }
            chopLimit = current.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces();
        } else if (c == ',' && !inQuotes) {
            if (!quoted)
                chopSpaces(current, chopLimit);
            isList = true;
            list.append(current);
            current.clear();
            quoted = false;
            ++i;
            skipSpaces();
        } else if (c == ';' && !inQuotes) {
            break; // a comment to the end of the line
        } else {
            int j = i + 1;
            while (j < size && raw.at(j) != '\\' && raw.at(j) != '"' && raw.at(j) != ',' &&
                   raw.at(j) != ';')
                ++j;
            current += decode(raw.mid(i, j - i));
            i = j;
        }
    }
    if (inQuotes) {
        *why = QStringLiteral("a quote is opened and not closed");
        return false;
    }
    if (!quoted)
        chopSpaces(current, chopLimit);
    if (isList) {
        list.append(current);
        for (QString &item : list) {
            if (item.startsWith(QLatin1String("@@")))
                item.remove(0, 1);
        }
        *value = list;
    } else {
        *value = typed(current);
    }
    return true;
}

QString readKey(const QByteArray &raw)
{
    const QByteArray key = raw.trimmed();
    QString out;
    for (int i = 0; i < key.size(); ++i) {
        const char c = key.at(i);
        if (c == '\\' || c == '/') {
            out += QLatin1Char('/');
        } else if (c == '%' && i + 1 < key.size() && key.at(i + 1) == 'U' && i + 5 < key.size()) {
            bool ok = false;
            const ushort code = key.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 5;
            } else {
                out += QLatin1Char(c);
            }
        } else if (c == '%' && i + 2 < key.size() && isHex(key.at(i + 1)) && isHex(key.at(i + 2))) {
            out += QChar(ushort(key.mid(i + 1, 2).toUShort(nullptr, 16)));
            i += 2;
        } else {
            out += QLatin1Char(c);
        }
    }
    return out;
}

QByteArray writeValue(const QVariant &value)
{
    QByteArray out;
    if (value.userType() == QMetaType::QStringList) {
        const QStringList list = value.toStringList();
        if (list.isEmpty())
            return "@Invalid()";
        for (int i = 0; i < list.size(); ++i) {
            if (i > 0)
                out += ", ";
            escapeText(textOf(list.at(i)), out);
        }
        return out;
    }
    escapeText(textOf(value), out);
    return out;
}

QByteArray write(const QStringList &order, const QMap<QString, QVariant> &values)
{
    QStringList groups;
    QMap<QString, QByteArray> blocks;
    for (const QString &key : order) {
        if (!values.contains(key))
            continue;
        const int slash = key.indexOf(QLatin1Char('/'));
        const QString group = slash < 0 ? QStringLiteral("General") : key.left(slash);
        const QString name = slash < 0 ? key : key.mid(slash + 1);
        if (!blocks.contains(group)) {
            // Top-level keys come first, as the settings facility writes them.
            if (slash < 0)
                groups.prepend(group);
            else
                groups.append(group);
        }
        blocks[group] += writeKey(name) + '=' + writeValue(values.value(key)) + '\n';
    }
    QByteArray out;
    for (const QString &group : qAsConst(groups)) {
        if (!out.isEmpty())
            out += '\n';
        out += '[' + (group == QLatin1String("General") ? QByteArray("General") : writeKey(group)) +
            "]\n" + blocks.value(group);
    }
    return out;
}

} // namespace SettingsFileFormat
