#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

// The settings file read line by line, strictly: every line is text (UTF-8, or Latin-1, without
// control characters; a byte order mark is allowed) and is blank, a comment (";" or "#"), a group
// header "[name]" or an entry "key=value" whose value stands on its own line
// (SettingsFileFormat); the last line is ended (a file cut short is not); and it holds at least
// one entry. A line that is none of these is damage, and only that line is lost: the value of
// every other entry is read. Entries below a line that may have been a group header (a line that
// is no entry, or holds junk bytes) belong to no group anyone can tell, up to the next whole
// header: they are told as problems too. Unknown groups
// and keys, comments and CRLF line ends are a hand-edited file's right.
class SettingsFileCheck
{
public:
    struct Problem
    {
        int line; // from 1; 0 for the file as a whole
        QString text;
    };

    explicit SettingsFileCheck(const QByteArray &content);

    bool isSound() const { return m_problems.isEmpty(); }
    // The first problem in words for the log ("line 12 is not a setting"); empty when sound.
    QString fault() const;
    QList<Problem> problems() const { return m_problems; }
    // Keys given on more than one whole line: not damage, but worth a word from config check.
    QList<Problem> repeats() const { return m_repeats; }
    // The key ("group/name") stands only on whole lines under a whole group header: its value
    // can be trusted.
    bool isWhole(const QString &key) const { return m_values.contains(key); }

    // The trusted entries, in the form the settings facility reads them, and their order.
    QMap<QString, QVariant> values() const { return m_values; }
    QStringList order() const { return m_order; }
    // The line a key's entry stands on (its last one), 0 when none.
    int lineOf(const QString &key) const { return m_lines.value(key); }

private:
    void note(int line, const QString &text);

    QList<Problem> m_problems;
    QList<Problem> m_repeats;
    QMap<QString, QVariant> m_values;
    QStringList m_order;
    QMap<QString, int> m_lines;
};
