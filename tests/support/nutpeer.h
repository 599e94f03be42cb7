#pragma once

#include <QByteArray>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

// Debian's NUT client programs (nut-client) as peers of the network server in a test.
namespace NutPeer {

struct Result
{
    int exitCode = -1; // -1: did not finish in time
    QByteArray out;
    QByteArray err;
};

// Runs upsc, upscmd or upsrw with these arguments, bounded in time.
Result run(const QString &program, const QStringList &arguments, int timeoutMs = 30000);

// A self-signed certificate for "localhost" and its key, made once per test process with the
// openssl program: cert.pem and key.pem in the folder returned (empty on failure).
QString certificateFolder();

} // namespace NutPeer

// Stock upsmon as a secondary of the server: its own configuration in a temporary folder, a
// SHUTDOWNCMD that writes a file instead of powering anything off, and its log read as it comes.
// upsmon keeps its PID file in /run/nut whatever NUT_ALTPIDPATH says, and will not start beside
// the machine's own upsmon: it runs through tests/support/nut_private_run.sh, which gives it its
// folder in place of /run/nut.
class UpsmonProcess
{
public:
    struct Options
    {
        QString monitor; // "ups@127.0.0.1:3493"
        QByteArray user;
        QByteArray password;
        int hostSync = 2;
        int deadTime = 4;
        bool forceTls = false;
    };

    explicit UpsmonProcess(const Options &options);
    ~UpsmonProcess();

    bool isRunning() const;
    // Spins the event loop until `count` log lines match, or the time is up. upsmon logs each
    // poll ("parse_status: [OB]"), so waiting for polls needs no fixed sleep.
    bool waitForLog(const QRegularExpression &pattern, int timeoutMs, int count = 1);
    QString log() const;
    // True once SHUTDOWNCMD ran.
    bool shutdownRan() const;
    bool waitForShutdown(int timeoutMs);
    void stop();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    qint64 m_group = 0; // upsmon's process group, its own pid

    QString m_log;
    void readLog();
};
