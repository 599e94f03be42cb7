#pragma once

#include <QScopedPointer>
#include <QString>
#include <QStringList>

class NutServerProcessPrivate;

// Debian's network UPS server for one test: upsd and its drivers (dummy-ups, nutdrv_qx, ...)
// started from /lib/nut with a configuration folder of their own (NUT_CONFPATH and
// NUT_STATEPATH point at it), upsd listening on a free loopback port.
//
//     NutServerProcess nut;
//     nut.addDummyUps("ups", "ups.status: OL\ninput.voltage: 230\n");
//     nut.addUser("mon", "pw", {"upsmon secondary"});
//     QVERIFY(nut.start());
//     nut.writeDeviceFile("ups", "ups.status: OB\n");   // dummy-ups reads it again
//
// Every wait is bounded; the destructor stops whatever still runs.
class NutServerProcess
{
public:
    NutServerProcess();
    ~NutServerProcess();

    static bool available(); // the programs are installed

    // A dummy-ups UPS playing `deviceText` from "<name>.dev" in the folder.
    void addDummyUps(const QString &name, const QString &deviceText);
    // Any driver, e.g. nutdrv_qx on a pseudo-terminal; `settings` are extra ups.conf lines.
    void addUps(const QString &name, const QString &driver, const QString &port,
                const QStringList &settings = {});
    // A user of upsd.users; `lines` such as "upsmon secondary", "instcmds = ALL".
    void addUser(const QString &name, const QString &password, const QStringList &lines);
    // Extra upsd.conf lines (MAXAGE, ...).
    void addServerSetting(const QString &line);
    // STARTTLS with this certificate and key (PEM): upsd reads them from an NSS database made
    // here with certutil and pk12util (package libnss3-tools). False when that fails.
    bool enableTls(const QString &certificateFile, const QString &keyFile);

    // Starts every driver and upsd, then waits until each UPS is served with a status.
    bool start(int timeoutMs = 20000);
    // Takes a UPS out of the configuration and ends its driver; reconfigure() tells upsd.
    void removeUps(const QString &name);
    // Writes the configuration again, starts the drivers of UPSes added since and restarts
    // upsd on its port, so the server lists what is configured now.
    bool reconfigure(int timeoutMs = 20000);
    quint16 port() const;

    bool startServer(int timeoutMs = 30000);
    void stopServer();
    bool startDriver(const QString &name, int timeoutMs = 10000);
    // SIGSTOP / SIGCONT: a driver that hangs, so upsd calls its data stale.
    void pauseDriver(const QString &name, bool paused);

    // Rewrites "<name>.dev" with a new modification time, so dummy-ups plays it next.
    void writeDeviceFile(const QString &name, const QString &deviceText);
    // `upsc ups@127.0.0.1:port variable`, trimmed; empty on failure.
    QString upsc(const QString &ups, const QString &variable) const;

    // What the programs printed so far.
    QString output() const;

private:
    QScopedPointer<NutServerProcessPrivate> d;
};
