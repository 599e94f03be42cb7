#pragma once

#include <QIODevice>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class Database;
class Settings;

// A fresh program root in a temporary folder for one test process: QUELTA_HOME points at it,
// the folders exist, and optionally a loaded Settings and an open Database with its schema live
// as long as the root. A test that builds the whole program (CompositionRoot, QmlPageHost) takes
// the folders only.
class TestRoot
{
public:
    enum Part { FoldersOnly = 0, WithSettings = 1, WithDatabase = 2, Everything = 3 };

    explicit TestRoot(int parts = Everything);
    ~TestRoot();

    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.path() + relative; }

    // The text of a file under the root, empty when missing.
    QByteArray read(const QString &relative) const { return readFile(file(relative)); }

    // Any file's text, empty when missing; a file written whole (made or emptied first unless
    // `mode` says to append).
    static QByteArray readFile(const QString &path);
    static bool writeFile(const QString &path, const QByteArray &bytes,
                          QIODevice::OpenMode mode = QIODevice::WriteOnly);
    // The status file of the program under `root`: time, operating mode, communication lost, ...
    static QByteArrayList statusFields(const QString &root)
    {
        return readFile(root + "/log/output/upsstatus.txt").trimmed().split(',');
    }

    Settings *settings() const { return m_settings.get(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Database> m_database;
};
