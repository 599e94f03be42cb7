#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// A scripted stand-in for the hidapi functions the USB link calls, linked into the tests in
// place of the real library. One device at a time can be attached; while it is detached every
// call on a handle opened before fails, as on a real unplugged device, and handles opened before
// stay dead even after it returns.
//
// Feature reports: a pushed report is played once, before the standing one set for that id;
// an id with neither answers 0 bytes. A failure (-1) can be pushed like a report.
// String descriptors work the same way with texts; a failure returns -1.
class FakeHid
{
public:
    // Forgets the device, the scripts and the records.
    static void reset();

    // `path` is the node the device is listed under (a plain file serves to hold a lock on, and
    // one this process may not read and write cannot be opened).
    static void attach(quint16 vendorId, quint16 productId,
                       const QString &path = QStringLiteral("/dev/hidraw-fake"));
    static void detach();

    // A standing answer for a report id or string index; with `once`, one played before it.
    static void setReport(quint8 id, const QByteArray &bytes, bool once = false);
    static void setReportFailure(quint8 id, bool once = false);
    static void setString(int index, const QString &text, bool once = false);
    static void setStringFailure(int index, bool once = false);

    // What the link did since the last clearRecords().
    struct Records
    {
        QList<QPair<quint16, quint16>> openCalls;
        QList<quint8> reportRequests;
        QList<int> stringRequests;
        QList<QByteArray> sentReports;
        int enumerateCalls = 0;
    };
    static Records &records();
    static void clearRecords();
    static int openHandles(); // opened and not yet closed
    static int initCalls();

    // A measurement report (id 1): input voltage in tenths, battery 27.10 V, load 35 %, and the
    // status word: bit 0 the UPS's own communication fault, bits 1 to 8 the status byte.
    static QByteArray measurement(quint16 inputDeciVolt, quint8 status, bool commFault = false);
};
