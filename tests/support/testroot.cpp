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
    if (parts & WithSettings)
        Settings::instance()->load();
    if (parts & WithDatabase)
        Database::instance()->init();
}

TestRoot::~TestRoot()
{
    Paths::setRoot(QString());
}

QByteArray TestRoot::read(const QString &relative) const
{
    QFile file(this->file(relative));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}
