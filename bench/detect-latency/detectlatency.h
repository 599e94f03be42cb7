#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QVector>
#include <functional>

class CompositionRoot;

// How soon a mains failure on the serial line becomes an `alarm` row and a new line in the
// status file. Runs the link in this process against the simulator, paced at a real baud rate,
// and fails the mains at random moments of the poll cycle.
class DetectLatency : public QObject
{
    Q_OBJECT
public:
    struct Figures
    {
        QVector<double> alarmMs;
        QVector<double> statusMs;
        QVector<double> cycleMs; // between two data sets told
        int missed = 0;
    };

    // `program` is the whole service graph, its stores open and its services not started.
    DetectLatency(CompositionRoot *program, const QString &simulator, const QString &folder,
                  quint32 seed);
    ~DetectLatency() override;

    // Starts a simulator at this baud rate and points the link at it.
    bool start(int baud);
    // Starts a simulator at this baud rate only: a UPS server's driver reads it (linkPath()).
    bool startSimulator(int baud);
    QString linkPath() const { return m_link; }
    // Points the network link at the UPS `ups` of the server on this loopback port.
    bool watchNetwork(quint16 port, const QString &ups);
    Figures run(int failures);
    // The same failures told by a NUT chain's upsmon: its notice command appends
    // "<nanoseconds since 1970> <type>" to `notices` for every ONBATT and ONLINE.
    Figures runNotices(int failures, const QString &notices);
    // Lets go of the line, so another program can read the simulator.
    void closeLink();
    void stop();

private:
    void command(const QString &line);
    bool waitFor(const std::function<bool()> &condition, int timeoutMs);
    qint64 failedAtEpochNs = 0;
    bool settle();
    int mainsFaultRows() const;
    int statusMode() const;
    void check();

    CompositionRoot *m_program;
    QString m_simulator;
    QString m_folder;
    QString m_link;
    quint32 m_seed;
    QProcess m_process;
    QElapsedTimer m_clock;
    int m_rowsBefore = 0;
    int m_normalMode = 0;
    qint64 m_failedAt = -1;
    qint64 m_alarmAt = -1;
    qint64 m_statusAt = -1;
    qint64 m_lastStatusReply = -1;
    QVector<double> m_cycles;
};
