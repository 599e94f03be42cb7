#pragma once

#include "childprocess.h"

#include <QStringList>

// A small service owning org.freedesktop.login1 on a private bus (login1service.py), which
// answers PowerOff as told and reports every call it gets.
class Login1Service
{
public:
    enum Mode { Accept, Refuse, Fail, Hang };

    Login1Service(const QString &busAddress, Mode mode);
    ~Login1Service();

    bool isReady() const { return m_ready; }
    // The calls received so far, each as "PowerOff false" or "PowerOff true".
    QStringList calls();
    qint64 processId() const { return m_process.processId(); }

private:
    ChildProcess m_process;
    QStringList m_calls;
    bool m_ready = false;
};
