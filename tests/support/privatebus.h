#pragma once

#include "childprocess.h"

#include <QString>
#include <QTemporaryDir>

// A D-Bus daemon of our own for one test: anyone may own any name, nothing is activated.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }
    qint64 processId() const { return m_daemon.processId(); }

private:
    QTemporaryDir m_dir;
    ChildProcess m_daemon;
    QString m_address;
};
