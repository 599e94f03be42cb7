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
// The start times ("yyyy-MM-dd hh:mm:ss", as stored) of every recorded self-test of a UPS
// (`ups` as in its rows: empty for this computer's); false (and a log line) when the table
// cannot be read.
bool startTimes(QSet<QString> *times, const QString &ups = QString());
// The folder of a UPS's recordings: "/data/self_test" for this computer's, a folder below it
// named after a watched one (escaped, so "lab/u1" is one folder).
QString recordingFolder(const QString &ups = QString());
// The recording of the test that started at `start`: "yyyyMMddhhmmss.txt" in that folder.
QString recordingFile(const QDateTime &start, const QString &ups = QString());

} // namespace SelfTestRows
