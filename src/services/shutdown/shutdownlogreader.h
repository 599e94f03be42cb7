#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// Reads the shutdown log ("/data/shutdown.log", one JSON object of window class -> titles) for
// the tree of the last shutdown: at most its first `readLimit` bytes, so a huge log costs a
// bounded time and memory; a log cut there keeps the classes and titles that were read whole.
// What is wrong with the file, and what was skipped, goes to the log. Safe on any thread.
class ShutdownLogReader
{
public:
    static constexpr qint64 readLimit = 1024 * 1024;

    // Class name and titles, in the order of the object's keys (ascending).
    using Classes = QVector<QPair<QString, QStringList>>;

    static Classes read(const QString &path);

    // The longest start of a cut JSON object of arrays that ends after a whole title or a whole
    // class, closed so that it parses; empty when there is none.
    static QByteArray closeCut(const QByteArray &text);
};
