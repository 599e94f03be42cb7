#include "webfiles.h"

#include "logcategories.h"
#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray typeOf(const QString &name)
{
    if (name.endsWith(QLatin1String(".html")))
        return "text/html; charset=utf-8";
    if (name.endsWith(QLatin1String(".js")))
        return "text/javascript; charset=utf-8";
    if (name.endsWith(QLatin1String(".css")))
        return "text/css; charset=utf-8";
    if (name.endsWith(QLatin1String(".svg")))
        return "image/svg+xml";
    return {};
}

bool read(const QString &path, QByteArray *body)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcNetwork) << "The web page cannot read" << path << ":" << file.errorString();
        return false;
    }
    *body = file.readAll();
    return true;
}

} // namespace

void WebFiles::load(const QString &folder, const QString &chartFile)
{
    m_files.clear();
    QString dir = folder;
    if (dir.isEmpty())
        dir = QFileInfo(Paths::shipped(QStringLiteral("/web/index.html"))).absolutePath();
    if (dir.isEmpty() || !QFileInfo::exists(dir + QStringLiteral("/index.html"))) {
        qCWarning(lcNetwork) << "The web page's files are missing (share/quelta/web): only the "
                                "API and the metrics are served";
    } else {
        const QFileInfoList entries = QDir(dir).entryInfoList(QDir::Files | QDir::Readable);
        for (const QFileInfo &info : entries) {
            const QByteArray type = typeOf(info.fileName());
            QByteArray body;
            if (!type.isEmpty() && read(info.filePath(), &body))
                m_files.insert(QStringLiteral("/static/") + info.fileName(), {type, body});
        }
    }
    QByteArray chart;
    if (!QFileInfo::exists(chartFile))
        qCWarning(lcNetwork) << "The web page draws no history chart:" << chartFile
                             << "is missing (Debian's libjs-chart.js)";
    else if (read(chartFile, &chart))
        m_files.insert(QLatin1String(chartPath), {typeOf(chartFile), chart});
}

const WebFiles::File *WebFiles::find(const QString &path) const
{
    const auto it = m_files.constFind(path);
    return it == m_files.constEnd() ? nullptr : &*it;
}

const WebFiles::File *WebFiles::page() const
{
    return find(QStringLiteral("/static/index.html"));
}
