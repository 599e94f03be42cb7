#include "mailmessage.h"

#include <QLocale>
#include <QUuid>

namespace {

QString withoutControls(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        out.append(c.unicode() < 0x20 || c.unicode() == 0x7f ? QChar(' ') : c);
    return out;
}

bool isPlainAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() >= 0x7f)
            return false;
    }
    return true;
}

// Encoded words of at most 75 characters, never splitting a character's UTF-8 bytes.
QByteArray encodedWords(const QString &text)
{
    const int maxBytes = 45; // 60 Base64 characters
    QList<QByteArray> words;
    QByteArray chunk;
    for (int i = 0; i < text.size(); ++i) {
        int len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, len).toUtf8();
        i += len - 1;
        if (chunk.size() + bytes.size() > maxBytes) {
            words.append(chunk);
            chunk.clear();
        }
        chunk.append(bytes);
    }
    if (!chunk.isEmpty())
        words.append(chunk);
    QByteArray out;
    for (const QByteArray &word : qAsConst(words)) {
        if (!out.isEmpty())
            out.append("\r\n "); // folded, so no line grows past the limit
        out.append("=?UTF-8?B?").append(word.toBase64()).append("?=");
    }
    return out;
}

QByteArray domainOf(const QString &address)
{
    const int at = address.lastIndexOf(QLatin1Char('@'));
    const QString domain = at >= 0 ? address.mid(at + 1) : QString();
    if (domain.isEmpty() || !isPlainAscii(domain))
        return QByteArrayLiteral("quelta.localhost");
    return domain.toLatin1();
}

} // namespace

QString MailMessage::addressOf(const QString &mailbox)
{
    QString address = mailbox;
    const int open = mailbox.lastIndexOf(QLatin1Char('<'));
    if (open >= 0) {
        const int close = mailbox.indexOf(QLatin1Char('>'), open);
        address = mailbox.mid(open + 1, close < 0 ? -1 : close - open - 1);
    }
    address = withoutControls(address);
    address.remove(QLatin1Char('<'));
    address.remove(QLatin1Char('>'));
    return address.trimmed();
}

QString MailMessage::displayNameOf(const QString &mailbox)
{
    const int open = mailbox.lastIndexOf(QLatin1Char('<'));
    return open > 0 ? mailbox.left(open).trimmed() : QString();
}

QByteArray MailMessage::encodeText(const QString &text, bool phrase)
{
    const QString clean = withoutControls(text);
    if (!isPlainAscii(clean))
        return encodedWords(clean);
    if (!phrase)
        return clean.toLatin1();
    static const QString specials = QStringLiteral("()<>[]:;@\\,.\"");
    bool quote = false;
    for (const QChar c : clean)
        quote = quote || specials.contains(c);
    if (!quote)
        return clean.toLatin1();
    QByteArray quoted = clean.toLatin1();
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + quoted + '"';
}

QList<QByteArray> MailMessage::headerLines() const
{
    const QString from = addressOf(sender);
    const QString name = displayNameOf(sender);
    QByteArray fromLine = "From: ";
    if (!name.isEmpty())
        fromLine += encodeText(name, true) + ' ';
    fromLine += '<' + from.toUtf8() + '>';

    QByteArray toLine = "To: ";
    for (int i = 0; i < recipients.size(); ++i) {
        if (i > 0)
            toLine += ",\r\n ";
        toLine += '<' + addressOf(recipients.at(i)).toUtf8() + '>';
    }

    const QDateTime when = date.isValid() ? date : QDateTime::currentDateTime();
    // Day and month names in English whatever the locale; the zone as a numeric offset.
    const int offset = when.offsetFromUtc();
    const QByteArray zone = QString::asprintf("%c%02d%02d", offset < 0 ? '-' : '+',
                                              qAbs(offset) / 3600, (qAbs(offset) % 3600) / 60)
                                .toLatin1();
    const QByteArray dateLine = "Date: " +
        QLocale(QLocale::English)
            .toString(when, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss "))
            .toLatin1() +
        zone;

    return {fromLine, toLine, "Subject: " + encodeText(subject), dateLine,
            "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + '@' +
                domainOf(from) + '>'};
}
