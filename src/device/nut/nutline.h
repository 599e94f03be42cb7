#pragma once

#include <QByteArrayList>
#include <QStringList>

// One line of the network UPS protocol, the same for the client link and the server: cut into
// words the way upsd cuts a request, and made from words the way it reads them back.
class NutLine
{
public:
    // The words of a line without its LF: blanks (space, tab, CR, VT, FF) separate words, NUL
    // bytes are ignored, a backslash takes the next byte as it is, a double quote starts a word
    // that runs to the next unescaped quote (empty words included), and a '#' at the start of a
    // word outside quotes ends the line. Unlike upsd's parser, a line always ends at its LF: a
    // quote left open there makes the line malformed (false) instead of swallowing the next
    // request, and a '#' inside quotes is taken as it is.
    static bool split(const QByteArray &line, QByteArrayList *words);
    // A line a server sent, read the same way into UTF-8 words, and refused as well when it
    // holds a control byte other than a space or a tab, or ends inside an escape: a server that
    // sends such a line can no longer be trusted.
    static bool splitReply(const QByteArray &line, QStringList *words);

    // A value as it goes out between double quotes: backslash, quote and '#' escaped (NUT's
    // clients take a '#' even inside quotes for the start of a comment), control bytes turned
    // into blanks so a value can never break a line.
    static QByteArray quote(const QByteArray &value);
    // A request line, LF included, each word quoted when it needs it. Empty when a word holds a
    // control byte, which would smuggle in a second request.
    static QByteArray join(const QStringList &words);

    // A name that may be echoed in a reply as it was sent: letters, digits and ". _ - @".
    static bool isPlainName(const QByteArray &name);
    // A received line made safe and short for the log.
    static QString excerpt(const QByteArray &line, int length = 80);
};
