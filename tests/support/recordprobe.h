#pragma once

#include <QSignalSpy>
#include <QStringList>
#include <QUrl>
#include <QVariant>

class Alarm;

// What the tests read back from the records: the texts of the current alarms, a count from the
// database, and what an export wrote.
namespace RecordProbe {

QStringList currentAlarmTexts(const Alarm *alarm);
// The first column of the first row as a number (-1 when no row), with one optional bound value.
int sqlCount(const QString &sql, const QVariant &bound = QVariant());
// The first column of every row, as text.
QStringList sqlColumn(const QString &sql);
// The first column of the first row from the database file of another process, read on a
// read-only connection of the test's own (invalid when no row).
QVariant sqlValueIn(const QString &databaseFile, const QString &sql);

// A record model's export to `path`, which runs on the history reader's thread: whether the
// file was written, once that is over.
template<typename Model> bool exported(Model &model, const QString &path)
{
    QSignalSpy finished(&model, &Model::exportFinished);
    if (!model.saveAs(QUrl::fromLocalFile(path)))
        return false;
    return (!finished.isEmpty() || finished.wait(300000)) && finished.at(0).at(0).toBool();
}

} // namespace RecordProbe
