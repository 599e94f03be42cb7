#include "filesaver.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

FileSaver::FileSaver(const QString &what, Category category)
    : m_what(what), m_category(category) { }

bool FileSaver::save(const QString &path, const QByteArray &text,
                     QFileDevice::Permissions permissions)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        failed(path, file.errorString());
        return false;
    }
    if (permissions && !file.setPermissions(permissions)) {
        file.cancelWriting();
        failed(path, QStringLiteral("its access rights cannot be set"));
        return false;
    }
    // Every write checked, and the buffer flushed here, where a failure can still cancel.
    if (file.write(text) != text.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        failed(path, reason);
        return false;
    }
    if (!file.commit()) {
        failed(path, file.errorString());
        return false;
    }
    succeeded(path);
    return true;
}

void FileSaver::succeeded(const QString &path)
{
    if (!m_failure.isEmpty())
        qCInfo(m_category).noquote() << QStringLiteral("Written again: %1 %2").arg(m_what, path);
    m_failure.clear();
}

void FileSaver::failed(const QString &path, const QString &reason)
{
    const QString why = reason.isEmpty() ? QStringLiteral("write failed") : reason;
    if (why != m_failure)
        qCWarning(m_category).noquote()
            << QStringLiteral("Cannot write %1 %2: %3; what the file held is kept (not "
                              "logged again until this changes)")
                   .arg(m_what, path, why);
    m_failure = why;
}
