#pragma once

#include "upslink.h"

#include <QScopedPointer>
#include <QStringList>

class NutClient;
class NutLinkPrivate;
class Settings;

// A UPS served by a network UPS server (upsd on a NAS, a Raspberry Pi, another computer): its
// variable list read into the UpsState every 2 s (1 s on battery), the control requests sent as
// the instant commands the server offers. With the shutdown service enabled it logs in to the UPS
// as the server's secondaries do, so the primary waits for this computer before it powers off.
class NutLink : public UpsLink
{
    Q_OBJECT
public:
    explicit NutLink(Settings *settings, QObject *parent = nullptr);
    // One UPS of a server watched beside this computer's own: read through the server's shared
    // connection (which it neither starts nor stops), never logged in to.
    NutLink(NutClient *server, const QString &ups, QObject *parent = nullptr);
    ~NutLink() override;

    bool start() override;
    // Leaving this link (another link type chosen): LOGOUT when logged in, then closed.
    void stop() override;
    const UpsState &state() const override;
    void switchOutputOff(int minutes) override;
    void cancelOutputOff() override;
    void powerCycle(int minutes) override;
    void setSelfTest(int type, int minutes) override;
    void toggleBeeper() override;

    // This computer powers off: LOGOUT, so the primary stops waiting for it.
    void leave() override;

    // Empty when the server offers a command for the request, else why not (translated).
    QString controlUnavailable(int request) const override;
    QString problem() const override; // why there is no data now, empty while there is
    NutClient *client() const;

private:
    QScopedPointer<NutLinkPrivate> d;
    friend class NutLinkPrivate;
};
