#pragma once

#include <QFileDevice>
#include <QLoggingCategory>
#include <QString>

// Replaces one file whole: the text goes to a file beside it, which takes the old one's place
// only when every byte was written. A full disk, or any other failed write, keeps the old file.
// (Qt 5's save file reports success and renames a cut-short file over the old one when only its
// last write, the flush at commit, fails.)
//
// One saver per file that is rewritten again and again: a failure is logged once, not at every
// rewrite, and the first save that works after it is logged too.
class FileSaver
{
public:
    using Category = const QLoggingCategory &(*)();

    // `what` names the file in the log ("the status file"); `category` is the caller's.
    FileSaver(const QString &what, Category category);

    // False when the old file (or none) was kept; lastError() then says why.
    bool save(const QString &path, const QByteArray &text,
              QFileDevice::Permissions permissions = QFileDevice::Permissions());

    bool failing() const { return !m_failure.isEmpty(); }
    QString lastError() const { return m_failure; }

    // For a file its owner writes another way (line by line): the same once-only log lines.
    void failed(const QString &path, const QString &reason);
    void succeeded(const QString &path);

private:
    QString m_what;
    Category m_category;
    QString m_failure; // why the last save failed; empty while saves work
};
