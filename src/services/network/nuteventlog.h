#pragma once

#include <QHash>
#include <QString>

// The log lines about what single clients do (refused, a failed TLS handshake, silent, not
// reading, a wrong password). The first line of a kind from an address goes out at once; the
// same from that address within the next minute is only counted, and the count is told in one
// line once the minute is over. So a client that repeats itself thousands of times a second
// costs a few lines a minute, and still nothing goes unsaid.
class NutEventLog
{
public:
    enum Level { Info, Warning };

    // `kind` is a fixed short key; `text` the whole line for the first event of the minute.
    void note(const QString &address, const char *kind, Level level, const QString &text);
    // Tells the counts of the minutes that are over (run every few seconds).
    void flush();

private:
    struct Entry
    {
        qint64 since = 0; // ms since the epoch, from the program's clock
        int more = 0; // events after the first within the minute
        Level level = Info;
        QString text;
    };
    static void write(Level level, const QString &text);
    static void tell(const Entry &entry);

    QHash<QString, Entry> m_entries;
};
