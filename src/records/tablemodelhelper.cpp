#include "tablemodelhelper.h"

#include "logcategories.h"
#include "readconnection.h"
#include "workbook.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QUrl>

#include <algorithm>

namespace TableModelHelper {

QHash<int, QByteArray> fieldRoleNames(const QSqlRecord &record)
{
    QHash<int, QByteArray> roles;
    for (int i = 0; i < record.count(); ++i)
        roles.insert(Qt::UserRole + i, record.fieldName(i).toUtf8());
    return roles;
}

QDate parseDay(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!form.match(text).hasMatch())
        return QDate();
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

QString dayStart(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
}

QString dayEnd(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 23:59:59");
}

namespace {

// The time a row stores ("yyyy-MM-dd hh:mm:ss") as a date for its cell; invalid (the text is
// written) when it is none. Read by hand and kept in UTC: the cell takes the stored clock as it
// is, where a local time would look the time zone up again for every row.
QDateTime dateCell(const QVariant &value)
{
    if (value.isNull())
        return QDateTime();
    const QString text = value.toString();
    static const char form[] = "0000-00-00 00:00:00";
    if (text.size() != int(sizeof(form)) - 1)
        return QDateTime();
    int parts[6] = {};
    int part = 0;
    for (int i = 0; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        if (form[i] != '0') {
            if (c != ushort(form[i]))
                return QDateTime();
            ++part;
        } else if (c >= '0' && c <= '9') {
            parts[part] = parts[part] * 10 + (c - '0');
        } else {
            return QDateTime();
        }
    }
    const QDate date(parts[0], parts[1], parts[2]);
    const QTime time(parts[3], parts[4], parts[5]);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

QString dateFilter(const QString &dateS, const QString &dateE)
{
    const QDate start = parseDay(dateS);
    const QDate end = parseDay(dateE);
    if (!start.isValid() || !end.isValid()) {
        qCWarning(lcRecords) << "Refusing a date range that is not two yyyy-MM-dd dates:" << dateS
                             << dateE;
        return QStringLiteral("0");
    }
    // The filter must be text; it is made from the parsed dates, never from the caller's text.
    // The id breaks ties between rows of the same second, and the date index covers both.
    return QLatin1String("dateTime >= Datetime('") + dayStart(start) +
        QLatin1String("') and dateTime <= Datetime('") + dayEnd(end) +
        QLatin1String("') order by dateTime desc, id desc");
}

void selectDays(QSqlTableModel *model, const QString &dateS, const QString &dateE)
{
    // A selection not read to its end holds the connection on the file as it was then; let it go
    // first, so the new one sees every row the record writer committed since.
    QSqlQuery previous = model->query();
    previous.finish();
    // The UPS name is quoted as SQL quotes text: the filter must be text.
    QString ups = model->property("ups").toString();
    ups.replace(QLatin1Char('\''), QStringLiteral("''"));
    model->setFilter(QStringLiteral("ups = '%1' and ").arg(ups) + dateFilter(dateS, dateE));
    if (!model->select())
        qCWarning(lcRecords) << "Cannot select from" << model->tableName() << ":"
                             << model->lastError().text();
}

void fetchAll(QSqlQueryModel *model)
{
    while (model->canFetchMore())
        model->fetchMore();
}

QString selectionStatement(const QSqlTableModel *model)
{
    const QSqlQuery selection = model->query();
    if (!selection.isActive() || !selection.isSelect())
        return QString();
    return selection.lastQuery();
}

bool writeWorkbook(const WorkbookRows &rows, const QString &fileName, const char *what,
                   QSqlError *readError)
{
    Workbook book(fileName, rows.rowsPerSheet, rows.sheetName);
    book.setTitles(rows.titles);
    int written = 0;
    if (!rows.statement.isEmpty()) {
        const ReadConnection connection(rows.databaseFile);
        QSqlQuery query(connection.database());
        query.setForwardOnly(true);
        bool ran = query.prepare(rows.statement);
        for (const QVariant &value : rows.values)
            query.addBindValue(value);
        ran = ran && query.exec();
        if (!ran) {
            qCWarning(lcRecords) << "Cannot read the selection for" << fileName << ":"
                                 << query.lastError().text();
            if (readError)
                *readError = query.lastError();
            return false;
        }
        // Columns beyond the titles (the UPS name of a row) stay out of the sheet.
        const int fields = std::min(query.record().count(), int(rows.titles.size()) + 1);
        // The time of a row goes in as a date, not as its text.
        const int dateField = query.record().indexOf(QStringLiteral("dateTime"));
        QDateTime when;
        while (query.next()) {
            ++written;
            for (int j = 1; j < fields; ++j) {
                const QVariant value = query.value(j);
                const int places = rows.decimals && !value.isNull() ? rows.decimals(j) : -1;
                if (places >= 0)
                    book.writeNumber(written + 1, j, rows.cell(j, value, query).toDouble(), places);
                else if (j == dateField && (when = dateCell(value)).isValid())
                    book.write(written + 1, j, when);
                else
                    book.write(written + 1, j, value.isNull() ? QVariant() : rows.cell(j, value, query));
            }
        }
        if (query.lastError().isValid()) {
            qCWarning(lcRecords) << "Export to" << fileName << "stopped after" << written << what
                                 << ":" << query.lastError().text();
            if (readError)
                *readError = query.lastError();
            return false;
        }
    }
    if (!book.save())
        return false;
    qCInfo(lcRecords) << "Exported" << written << what << "to" << fileName;
    return true;
}

QString failure(const QSqlTableModel *model)
{
    QSqlDatabase db = model->database();
    if (!db.isOpen())
        return QStringLiteral("the database %1 cannot be opened: %2")
            .arg(db.databaseName(), db.lastError().text());
    if (!model->record().isEmpty())
        return model->lastError().text();
    // The columns could not be read: ask the table itself for the reason.
    QSqlQuery probe(db);
    if (probe.exec(QStringLiteral("select * from %1 limit 0").arg(model->tableName())))
        return model->lastError().text();
    return QStringLiteral("the table %1 of %2 cannot be read: %3")
        .arg(model->tableName(), db.databaseName(), probe.lastError().text());
}

QString localFile(const QUrl &url)
{
    if (url.isLocalFile())
        return url.toLocalFile();
    if (url.scheme().isEmpty() && !url.path().isEmpty())
        return url.path(QUrl::FullyDecoded); // a bare path handed over as a URL
    qCWarning(lcRecords) << "Not a local file:" << url.toString();
    return QString();
}

} // namespace TableModelHelper
