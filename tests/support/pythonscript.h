#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

// Runs one of the Python helpers of tests/support under /usr/bin/python3 (where Debian's
// aiosmtpd and openpyxl import) and returns what it printed; empty on failure, with the reason
// in the test log.
namespace PythonScript {

QByteArray run(const QString &script, const QStringList &arguments, int timeoutMs = 60000);
QJsonDocument runJson(const QString &script, const QStringList &arguments, int timeoutMs = 60000);

// A workbook as tests/support/xlsx_dump.py sees it: sheets, widths, rows, alignments.
QJsonObject dumpWorkbook(const QString &path);

} // namespace PythonScript
