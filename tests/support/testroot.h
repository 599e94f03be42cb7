#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh program root in a temporary folder for one test process: QUELTA_HOME points at it,
// the folders exist, and optionally the settings are loaded and the database schema created.
// The shared objects (Settings, Database) are per process, so a process uses one root.
class TestRoot
{
public:
    enum Part { FoldersOnly = 0, WithSettings = 1, WithDatabase = 2, Everything = 3 };

    explicit TestRoot(int parts = Everything);
    ~TestRoot();

    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.path() + relative; }

    // The text of a file under the root, empty when missing.
    QByteArray read(const QString &relative) const;

private:
    QTemporaryDir m_dir;
};
