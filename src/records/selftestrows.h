#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

// What others read of the stored self-tests (the log_self_test table), on the program's default
// connection; the history page reads them through its model.
namespace SelfTestRows {

struct Last
{
    QDateTime start; // invalid: none recorded
    int seconds = 0;
    // The row keeps no verdict: the alarms the UPS raised while the test ran tell it.
    bool batteryLow = false;
    bool upsFailed = false;
};

// The self-test recorded last, with its verdict; none (and a log line) when the table cannot be
// read.
Last last();
// The start times ("yyyy-MM-dd hh:mm:ss", as stored) of every recorded self-test; false (and a
// log line) when the table cannot be read.
bool startTimes(QSet<QString> *times);

} // namespace SelfTestRows
