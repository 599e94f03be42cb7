#pragma once

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>

// NUT's own upsd with its dummy driver serving the same variables, as the reference the
// server's figures are measured against (Debian's nut-server package; left out when missing).
class UpsdReference
{
public:
    UpsdReference();
    ~UpsdReference();

    static bool available();
    // `variables`: "name: value" lines, as dummy-ups reads them.
    bool start(const QByteArray &variables, quint16 port);
    // CPU seconds upsd has used so far.
    double cpuSeconds() const;
    // Resident memory of upsd now (kB; 0 when unknown).
    qint64 rssKb() const;

private:
    bool startProcess(QProcess &process, const QString &program, const QStringList &arguments);

    QTemporaryDir m_dir;
    QProcess m_driver;
    QProcess m_upsd;
};
