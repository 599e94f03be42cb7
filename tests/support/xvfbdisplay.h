#pragma once

#include "childprocess.h"

#include <QString>

// A virtual X server of our own on a free display number, for one test.
class XvfbDisplay
{
public:
    XvfbDisplay();
    ~XvfbDisplay();

    bool isRunning() const { return !m_name.isEmpty(); }
    // ":N", ready for DISPLAY.
    QString name() const { return m_name; }

private:
    ChildProcess m_server;
    QString m_name;
};
