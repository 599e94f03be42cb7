#include "runtimelibrary.h"

RuntimeLibrary::RuntimeLibrary(const QString &file, int version,
                               const QLoggingCategory &(*category)(), const char *name,
                               const char *package, const char *loss)
    : library_(file, version), category_(category), name_(name), package_(package), loss_(loss)
{
}

bool RuntimeLibrary::load()
{
    if (library_.load())
        return true;
    const QByteArray what =
        QByteArray("Cannot open ") + name_ + " (" + package_ + "); " + loss_ + ":";
    qCWarning(category_) << what.constData() << library_.errorString();
    return false;
}

bool RuntimeLibrary::lacks(const char *symbol) const
{
    qCWarning(category_) << name_ << "lacks" << symbol;
    return false;
}
