#pragma once

#include "selftestresult.h"
#include "upsstate.h"

#include <QObject>

class Alarm;
class AlarmRules;
class NutClient;
class NutLink;
class RecordWriter;
class SampleStore;
class SelfTestRecorder;
class Settings;

// One UPS watched beside this computer's own, a full citizen: its typed state read through its
// server's shared connection, its alarm rules and alarms, its self-tests and samples, all stored
// under its shown name, and its commands as the server offers them.
class WatchedUps : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(QString problem READ problem NOTIFY stateChanged)
    Q_PROPERTY(int alarmNum READ alarmNum NOTIFY alarmsChanged)

public:
    WatchedUps(const QString &name, NutClient *server, const QString &upsName, RecordWriter *writer,
               Settings *settings, QObject *parent = nullptr);
    ~WatchedUps() override;

    QString name() const { return m_name; }
    QString upsName() const { return m_upsName; }
    const UpsState &state() const;
    // The last state while it answered; empty before the first answer.
    const UpsState &lastSeen() const { return m_lastSeen; }
    QString problem() const;
    int alarmNum() const;
    Alarm *alarm() const { return m_alarm; }
    NutLink *link() const { return m_link; }
    // Gives its recordings left without a row (the program ended during a test) their rows.
    void completeSelfTests();

    Q_INVOKABLE QVariantList allAlarm() const;
    // The control page's requests, sent as the server's instant commands.
    Q_INVOKABLE void setSelfTest(int type, int minutes);
    Q_INVOKABLE void toggleBeeper();
    Q_INVOKABLE QString controlUnavailable(int request) const;

signals:
    void stateChanged(const UpsState &state);
    void alarmsChanged();
    // A self-test it ran has ended, whoever started it.
    void selfTestFinished(const SelfTestResult &result);
    void commandRefused(const QString &message);
    // What the server offers for this UPS changed (controlUnavailable).
    void controlsChanged();

private:
    QString m_name;
    QString m_upsName;
    NutLink *m_link;
    Alarm *m_alarm;
    AlarmRules *m_rules;
    SelfTestRecorder *m_selfTests;
    SampleStore *m_samples;
    UpsState m_lastSeen;
};
