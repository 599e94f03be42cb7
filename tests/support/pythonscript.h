#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QStringList>

#include "childprocess.h"

// Runs one of the Python helpers of tests/support under /usr/bin/python3 (where Debian's
// aiosmtpd and openpyxl import) and returns what it printed; empty on failure, with the reason
// in the test log.
namespace PythonScript {

QByteArray run(const QString &script, const QStringList &arguments, int timeoutMs = 60000);
QJsonDocument runJson(const QString &script, const QStringList &arguments, int timeoutMs = 60000);

// A workbook as tests/support/xlsx_dump.py sees it: sheets, widths, rows, alignments.
QJsonObject dumpWorkbook(const QString &path);

// A helper run beside the event loop (so the program under test goes on meanwhile), talking in
// lines: each command is answered with one JSON line. Ended when it goes.
class Session
{
public:
    Session(const QString &script, const QStringList &arguments,
            const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());
    ~Session();
    // Sends a line (none: only reads) and returns the next JSON line printed.
    QJsonObject ask(const QByteArray &line = {}, int timeoutMs = 120000);

private:
    ChildProcess m_process;
    QString m_script;
};

// A helper that prints one JSON object and ends, run beside the event loop.
inline QJsonObject ask(const QString &script, const QStringList &arguments,
                       const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    return Session(script, arguments, env).ask();
}

} // namespace PythonScript
