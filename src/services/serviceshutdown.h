#pragma once

#include <QObject>
#include <QString>

class ServiceShutdownPrivate;

// Protects the computer while the UPS runs on battery: a mains failure (or a
// low battery) starts a countdown; near its end the UPS may be told to switch
// its output off, the user's command file may run, the open windows are
// recorded in "/data/shutdown.log" and the system is powered off. The return of
// the mains cancels a countdown that a failure started. The scheduled power-off
// uses the same countdown (startShutdown).
class ServiceShutdown : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool queltaOffEnable READ queltaOffEnable WRITE setQueltaOffEnable)
    Q_PROPERTY(int mainFaultOffTime READ mainFaultOffTime WRITE setMainFaultOffTime)
    Q_PROPERTY(int battLowOffTime READ battLowOffTime WRITE setBattLowOffTime)
    Q_PROPERTY(int mainFaultOffCap READ mainFaultOffCap WRITE setMainFaultOffCap)
    Q_PROPERTY(int shutdownMode READ shutdownMode WRITE setShutdownMode)
    Q_PROPERTY(bool autoSaveEnable READ autoSaveEnable WRITE setAutoSaveEnable)
    Q_PROPERTY(bool upsOffEnable READ upsOffEnable WRITE setUpsOffEnable)
    Q_PROPERTY(int upsOffTime READ upsOffTime WRITE setUpsOffTime)
    Q_PROPERTY(int execEnable READ execEnable WRITE setExecEnable)
    Q_PROPERTY(int execTime READ execTime WRITE setExecTime)
    Q_PROPERTY(QString execFile READ execFile WRITE setExecFile)
    Q_PROPERTY(bool osOffEnable READ osOffEnable WRITE setOsOffEnable)

public:
    static ServiceShutdown *instance();
    ~ServiceShutdown() override;

    bool queltaOffEnable() const;
    void setQueltaOffEnable(bool enable); // false also cancels everything under way
    int mainFaultOffTime() const; // minutes
    void setMainFaultOffTime(int minutes);
    int battLowOffTime() const; // minutes, 0: ten seconds
    void setBattLowOffTime(int minutes);
    int mainFaultOffCap() const; // percent
    void setMainFaultOffCap(int percent);
    int shutdownMode() const;
    void setShutdownMode(int mode);
    bool autoSaveEnable() const;
    void setAutoSaveEnable(bool enable);
    bool upsOffEnable() const;
    void setUpsOffEnable(bool enable);
    int upsOffTime() const; // minutes
    void setUpsOffTime(int minutes);
    int execEnable() const;
    void setExecEnable(int enable);
    int execTime() const; // minutes
    void setExecTime(int minutes);
    QString execFile() const;
    void setExecFile(const QString &commandLine);
    bool osOffEnable() const;
    void setOsOffEnable(bool enable);

    // Starts the one-second timer; called once at start-up.
    void start();
    // The scheduled power-off: a countdown of `minutes` (0: ten seconds) unless
    // one is running. The return of the mains does not cancel it.
    void startShutdown(int minutes);
    // Records the visible windows, class name -> titles, as indented JSON.
    void writeShutdownLog();

signals:
    void shutdownTimeChanged(int sec);
    void shutdownStarted(int sec); // 0: cancelled
    // The system did not power off at the end of a countdown; `message` says so to the user.
    // Once per countdown, however often the power-off is asked for again.
    void shutdownFailed(const QString &message);

public slots:
    void onSettingsChanged();

private slots:
    void onDevDataChanged();
    void onTimerTimeout();

private:
    ServiceShutdown();

    friend class ServiceShutdownPrivate;
    ServiceShutdownPrivate *d;
};
