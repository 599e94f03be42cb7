#pragma once

#include "nutport.h"

#include <QList>
#include <QString>

class Settings;

// One entry of the watched list ("watch/N/..."): a UPS of a network UPS server, or every UPS
// that server lists (`ups` "*"), shown under `name` ("name/ups" for each of a whole server).
struct WatchEntry
{
    QString name;
    QString host;
    int port = nutDefaultPort;
    QString ups = QStringLiteral("*");
    QString user;
    QString password;
    QString caFile;
    bool allowPlain = false;

    bool wholeServer() const { return ups.isEmpty() || ups == QLatin1String("*"); }
    // The shown name of a UPS of this entry.
    QString shownName(const QString &upsName) const;
    // The server connection an entry uses: entries with the same key share one.
    QString serverKey() const;
    bool operator==(const WatchEntry &other) const;
};

// The watched list in the settings file, read and written whole; passwords are stored obscured
// as the link's is.
namespace WatchList {

QList<WatchEntry> read(const Settings *settings);
bool write(Settings *settings, const QList<WatchEntry> &entries);

} // namespace WatchList
