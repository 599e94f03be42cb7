#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

class QSqlQuery;
class QSqlQueryModel;
class QSqlTableModel;
class QSqlRecord;
class QUrl;

// What the record table models share: their role names, the date-range filter, fetching a whole
// selection and turning an export URL into a file name.
namespace TableModelHelper {

// Role 256 + i named by field i of the record.
QHash<int, QByteArray> fieldRoleNames(const QSqlRecord &record);

// The filter for whole days dateS to dateE ("yyyy-MM-dd", both inclusive), newest first.
// Any other text gives a filter that selects nothing, and a warning.
QString dateFilter(const QString &dateS, const QString &dateE);

// Selects the rows of whole days dateS to dateE; a failed select is logged and leaves the model
// empty.
void selectDays(QSqlTableModel *model, const QString &dateS, const QString &dateE);

// Fetches the rest of the selection, which SQLite hands over in batches.
void fetchAll(QSqlQueryModel *model);

// Runs the statement of the model's current selection once more into a forward-only query, so
// an export streams every row however many there are without caching them all in the model.
// A model that holds no selection (never selected, or its select failed) leaves the query
// inactive, with no rows. False (and a warning) only when the statement cannot run.
bool rerunSelection(const QSqlTableModel *model, QSqlQuery &query);

// Why a select of the model failed, in the words of the database: one that cannot be opened or
// read rather than the model's own "Unable to find table".
QString failure(const QSqlTableModel *model);

// The local file a URL names; empty (with a warning) for anything that is not a local file.
QString localFile(const QUrl &url);

} // namespace TableModelHelper
