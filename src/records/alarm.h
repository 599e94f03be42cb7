#pragma once

#include <QObject>
#include <QScopedPointer>
#include <QStringList>
#include <QVariantList>
#include <QVector>

#include <functional>

class AlarmPrivate;
class RecordWriter;

// The alarms active now, the stored alarm history and the catalogue of alarm texts.
// Codes 0 to 21 are state-change events, 22 and 23 a user's cancel; 0x10000 + n and 0x20000 + n are faults of the two
// fault-word families (n = 16 x word + bit); 500 added to a fault code is the return from it.
class Alarm : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int alarmNum READ alarmNum NOTIFY alarmNumChanged)

public:
    enum AlarmCode {
        CommLost = 0,
        CommNormal = 1,
        MainsFault = 2,
        MainsNormal = 3,
        BattVolLow = 4,
        BattVolNormal = 5,
        BypassSupply = 6,
        RecSupply = 7,
        UPSFault = 8,
        UPSNormal = 9,
        Online = 10,
        Standby = 11,
        SelfTest = 12,
        SelfTestFinished = 13,
        InPowerOff = 14,
        NotInPowerOff = 15,
        BuzzerOn = 16,
        BuzzerOff = 17,
        BoostOrBuck = 18,
        BoostOrBuckReturn = 19,
        OnBoost = 20,
        OnBuck = 21,
        // Called off by someone: the stored row says who and from where.
        ShutdownCancelled = 22,
        OutputOffCancelled = 23
    };
    Q_ENUM(AlarmCode)

    // Every newly raised alarm is stored through the writer.
    explicit Alarm(RecordWriter *writer, QObject *parent = nullptr);
    ~Alarm() override;

    // One entry of the current list.
    struct Current
    {
        QString time; // "yyyy-MM-dd hh:mm:ss", local
        int code = 0;
        bool timed = false; // an event that leaves the list by itself, not a standing alarm
        QString detail; // who and from where, for a cancel; stored with the row
    };

    // The shown name of the watched UPS whose alarms these are: stored with each row and put
    // before each raised text ("Upstairs: Mains failure"). Empty for this computer's UPS.
    void setUps(const QString &name);
    QString ups() const;

    int alarmNum() const;
    Q_INVOKABLE QVariantList allAlarm() const;
    QVector<Current> current() const;

    // Empties the current list (the link went down); timed events keep their expiry entries.
    void clearAlarms();

    // A row's text with its detail (who cancelled, from where) after it, where it has one.
    static QString withDetail(const QString &text, const QString &detail);
    // The text of a code, translated or in English as written; empty for a code without text.
    static QString alarmText(int code, bool translated = true);
    // The same in the words `translate` gives each source text of the context "Alarm" (a
    // catalogue of a language other than the one in force).
    static QString alarmTextIn(int code,
                               const std::function<QString(const char *source)> &translate);
    // The code of fault `offset` (16 x word + bit) of fault family 1 or 2, and of the return
    // from a fault.
    static int faultCode(int family, int offset);
    static int returnCode(int faultCode);
    // A fault of either family (not the return from one).
    static bool isFault(int code);
    // What lasts until the UPS clears it: communication lost, a mains failure, a low battery,
    // a failed UPS or a fault.
    static bool isLasting(int code);
    // The English texts of the UPS faults that stand now (for the network server's ups.alarm,
    // which clients read in English, and its ALARM flag, which some take for a failed UPS).
    QStringList standingAlarmTexts() const;

signals:
    void alarmNumChanged();
    // A code entered the current list now (stored, not yet mailed): once per raising.
    void alarmRaised(int code, const QString &text);

public slots:
    bool addAlarm(int code) { return raise(code, QString()); }
    void delAlarm(int code);
    // `detail` goes with the stored row and the told text.
    void addEvent(int code, const QString &detail = QString());
    // Once a second while a timed event is listed: those raised 11 s ago or earlier leave the
    // list.
    void onTimerEvent();

private:
    bool raise(int code, const QString &detail);

    QScopedPointer<AlarmPrivate> d;
};
