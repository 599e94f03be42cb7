#pragma once

#include <QProcess>

#include <sys/types.h>

// A helper a test starts (a bus daemon, a stand-in service, a simulator) that dies with the
// test: a test that crashes or is killed leaves nothing behind holding the pipes of whoever ran
// it. The kernel sends the signal when the thread that started the helper ends, so helpers are
// started from the test's main thread.
class ChildProcess : public QProcess
{
public:
    explicit ChildProcess(QObject *parent = nullptr);

protected:
    void setupChildProcess() override;

private:
    pid_t m_parent;
};
