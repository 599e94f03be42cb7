#pragma once

#include "alarm.h"
#include "upsdirectory.h"

#include <QObject>

class BatteryAge;
class DevComm;
class ServiceShutdown;
class SupplyCount;

// This computer's UPS as an entry of the directory: the state the link reads, the current
// alarms, the shutdown countdown and the battery's age, republished by refresh() (which the
// composition root calls on every change of one of them, after the consumers of a data set);
// the directory's commands for it go to the link and the shutdown service.
class LocalUps : public QObject
{
    Q_OBJECT
public:
    LocalUps(UpsDirectory *directory, DevComm *devComm, Alarm *alarm, ServiceShutdown *shutdown,
             BatteryAge *batteryAge, QObject *parent = nullptr);

    // The name it is known by (the network server's); a new name replaces the entry.
    void setName(const QString &name);
    // The supplies of this computer, told with its countdown.
    void setSupplies(SupplyCount *supplies) { m_supplies = supplies; }
    QString name() const { return m_name; }
    // Publishes from now on.
    void start();

public slots:
    void refresh();
    void alarmRaised(int code);
    // Read again only when they change, not with every data set.
    void alarmsChanged();
    void batteryChanged();

private:
    UpsDirectory::Outcome run(UpsDirectory::Command command, const QString &who);

    UpsDirectory *m_directory;
    DevComm *m_devComm;
    Alarm *m_alarm;
    ServiceShutdown *m_shutdown;
    SupplyCount *m_supplies = nullptr;
    BatteryAge *m_batteryAge;
    QString m_name;
    QMap<int, quint64> m_raised;
    QVector<Alarm::Current> m_alarms;
    QStringList m_faults;
    QString m_batteryInstalled;
    QString m_batteryDue;
    bool m_batteryReplacementDue = false;
    bool m_started = false;
};
