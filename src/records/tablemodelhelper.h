#pragma once

#include "workbook.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

class QDate;
class QSqlError;
class QSqlQuery;
class QSqlQueryModel;
class QSqlTableModel;
class QSqlRecord;
class QUrl;

// What the record table models share: their role names, the date-range filter, fetching a whole
// selection, turning an export URL into a file name and writing rows as a workbook.
namespace TableModelHelper {

// Role 256 + i named by field i of the record.
QHash<int, QByteArray> fieldRoleNames(const QSqlRecord &record);

// A "yyyy-MM-dd" date; invalid for any other text.
QDate parseDay(const QString &text);
// The first and the last second of `day` as the rows store their time.
QString dayStart(const QDate &day);
QString dayEnd(const QDate &day);

// The filter for whole days dateS to dateE ("yyyy-MM-dd", both inclusive), newest first.
// Any other text gives a filter that selects nothing, and a warning.
QString dateFilter(const QString &dateS, const QString &dateE);

// Selects the rows of whole days dateS to dateE; a failed select is logged and leaves the model
// empty.
void selectDays(QSqlTableModel *model, const QString &dateS, const QString &dateE);

// Fetches the rest of the selection, which SQLite hands over in batches.
void fetchAll(QSqlQueryModel *model);

// The statement of the model's current selection, to be run again elsewhere (an export on the
// history reader's thread); empty when the model holds no selection (never selected, or its
// select failed). Its filter is made from parsed dates only, never from the caller's text.
QString selectionStatement(const QSqlTableModel *model);

// What a workbook of stored rows takes: the database file, a statement with its bound values,
// the column titles, and the cell each field value becomes (column j of the sheet shows field j;
// the id in field 0 is left out, and an empty value stays an empty cell); the cell may draw on
// the row's other fields.
struct WorkbookRows
{
    QString databaseFile;
    QString statement; // empty: the titles only
    QVariantList values;
    QStringList titles;
    std::function<QVariant(int field, const QVariant &value, const QSqlQuery &row)> cell;
    // The decimals of a field written as a number (so a spreadsheet can sum and chart it); -1,
    // or no function, for a field written as text.
    std::function<int(int field)> decimals;
    int rowsPerSheet = Workbook::sheetRows;
    QString sheetName; // empty: "Sheet1", ...
};

// Runs the statement forward-only on a read-only connection of the calling thread (any thread)
// and streams its rows into a workbook at `fileName`, however many there are. False, with a log
// line naming `what` ("samples", "alarms"), when the rows could not be read or the file not be
// written; a file that was there stays as it was. `readError`, when given, gets why the rows
// could not be read (invalid when they could).
bool writeWorkbook(const WorkbookRows &rows, const QString &fileName, const char *what,
                   QSqlError *readError = nullptr);

// Why a select of the model failed, in the words of the database: one that cannot be opened or
// read rather than the model's own "Unable to find table".
QString failure(const QSqlTableModel *model);

// The local file a URL names; empty (with a warning) for anything that is not a local file.
QString localFile(const QUrl &url);

} // namespace TableModelHelper
