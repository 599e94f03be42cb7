#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The files of the web page, read once when the service starts: the page's own from the shipped
// "/web" folder, under "/static/<name>", and chart.js from Debian's libjs-chart.js under the
// path Debian gives it below /usr/share. Only these are served; no address reaches the disk.
class WebFiles
{
public:
    struct File
    {
        QByteArray contentType;
        QByteArray body;
    };

    static constexpr const char *chartPath = "/javascript/chart.js/chart.min.js";

    // `folder`: the page's files; empty: the shipped "/web". `chartFile`: chart.js.
    void
    load(const QString &folder = QString(),
         const QString &chartFile = QStringLiteral("/usr/share/javascript/chart.js/chart.min.js"));

    // The file served at `path`; null for none.
    const File *find(const QString &path) const;
    // The page itself ("index.html"); null when it is missing.
    const File *page() const;

private:
    QHash<QString, File> m_files;
};
