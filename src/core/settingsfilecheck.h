#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

// Whether the bytes of the settings file read back as this program's own. The settings facility
// reads nearly anything without a word (random bytes, a block of zeros, a file cut short), so
// this is what tells a damaged file from a hand-edited one: every line is text (UTF-8, or
// Latin-1 as the facility reads it, without control characters; a byte order mark is allowed),
// and is blank, a comment (";" or "#"), a group header "[name]" or an entry "key=value"; the
// last line is ended (a file cut short is not); and it holds at least one entry. Unknown groups
// and keys, comments and CRLF line ends are a hand-edited file's right.
class SettingsFileCheck
{
public:
    explicit SettingsFileCheck(const QByteArray &content);

    bool isSound() const { return m_fault.isEmpty(); }
    // Why it is not, in words for the log ("line 12 is not a setting"); empty when it is.
    QString fault() const { return m_fault; }
    // The key (as the settings facility names it, "group/name") stands only on whole lines under
    // a whole group header: its value can be trusted.
    bool isWhole(const QString &key) const;

private:
    void noteFault(const QString &fault);

    QString m_fault;
    QSet<QString> m_whole;
    QSet<QString> m_broken;
};
