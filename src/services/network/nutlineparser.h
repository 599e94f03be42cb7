#pragma once

#include <QByteArrayList>

// The words of one request line, read the way NUT's own parser reads them: blanks (space, tab,
// CR, VT, FF) separate words, NUL bytes are ignored, a backslash takes the next byte as it is, a
// double quote starts a word that runs to the next unescaped quote (empty words included), and a
// '#' at the start of a word outside quotes ends the line. Unlike NUT's, a line always ends at its
// LF: a quote left open there makes the line malformed instead of swallowing the next request,
// and a '#' inside quotes is taken as it is.
class NutLineParser
{
public:
    // False when the line is malformed (a quote left open).
    static bool parse(const QByteArray &line, QByteArrayList *words);

    // A value as it goes out between double quotes: backslash, quote and '#' escaped (NUT's
    // clients take a '#' even inside quotes for the start of a comment), control bytes turned
    // into blanks so a value can never break a reply line.
    static QByteArray quote(const QByteArray &value);

    // A name that may be echoed in a reply as it was sent: letters, digits and ". _ - @".
    static bool isPlainName(const QByteArray &name);
};
