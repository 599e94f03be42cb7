#include "testroot.h"

#include "database.h"
#include "paths.h"
#include "settings.h"
#include "startup.h"

#include <QFile>

TestRoot::TestRoot(int parts)
{
    qputenv("QUELTA_HOME", m_dir.path().toUtf8());
    Paths::setRoot(m_dir.path());
    Startup::createAppDirectories();
    if (parts & WithSettings) {
        m_settings = std::make_unique<Settings>();
        m_settings->load();
    }
    if (parts & WithDatabase) {
        m_database = std::make_unique<Database>();
        m_database->open();
        m_database->init();
    }
}

TestRoot::~TestRoot()
{
    m_database.reset();
    m_settings.reset();
    Paths::setRoot(QString());
}

QByteArray TestRoot::readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TestRoot::writeFile(const QString &path, const QByteArray &bytes, QIODevice::OpenMode mode)
{
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size();
}
