#include "selftestlog.h"

#include "clock.h"
#include "database.h"
#include "logcategories.h"
#include "paths.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <climits>

void SelfTestLog::start()
{
    qCDebug(lcDevice) << "start self-test log";
    startTime = Clock::secsSinceEpoch();
    // A new recording takes its first sample even in the second the last one ended.
    lastSampleSecond = 0;
    samples.clear();
    running = true;
}

void SelfTestLog::sample(quint16 load, float capacity)
{
    const qint64 now = Clock::secsSinceEpoch();
    if (now == lastSampleSecond)
        return;
    lastSampleSecond = now;
    const quint16 whole = capacity > 0.0f ? quint16(std::min(capacity, 65535.0f)) : 0;
    samples.append({now - startTime, load, whole});
}

QString SelfTestLog::fileName() const
{
    const QString stamp =
        QLocale(QLocale::English)
            .toString(QDateTime::fromSecsSinceEpoch(startTime), QStringLiteral("yyyyMMddhhmmss"));
    return Paths::file(QStringLiteral("/data/self_test/") + stamp + QStringLiteral(".txt"));
}

void SelfTestLog::stop()
{
    if (!running)
        return;
    qCDebug(lcDevice) << "stop self-test log";

    const QString path = fileName();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcDevice) << "Cannot write the self-test recording" << path << ":"
                            << file.errorString();
        return;
    }
    QByteArray text;
    for (const Sample &entry : qAsConst(samples)) {
        text += QByteArray::number(entry.elapsed) + ',' + QByteArray::number(entry.load) + ',' +
            QByteArray::number(entry.capacity) + '\n';
    }
    file.write(text);
    if (!file.commit()) {
        qCWarning(lcDevice) << "Cannot write the self-test recording" << path << ":"
                            << file.errorString();
        return;
    }

    const qint64 duration = std::max<qint64>(0, Clock::secsSinceEpoch() - startTime);
    QSqlQuery query;
    const QString sql = QStringLiteral("insert into %1(dateTime, duration, count) values(?, ?, ?)")
                            .arg(Database::tableName(Database::TableLogSelfTest));
    const QString started = QLocale(QLocale::English)
                                .toString(QDateTime::fromSecsSinceEpoch(startTime),
                                          QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (query.prepare(sql)) {
        query.addBindValue(started);
        query.addBindValue(uint(std::min<qint64>(duration, UINT_MAX)));
        query.addBindValue(samples.size());
        if (!query.exec())
            qCWarning(lcDevice) << "Cannot store the self-test row:" << query.lastError().text();
    } else {
        qCWarning(lcDevice) << "Cannot store the self-test row:" << query.lastError().text();
    }
    running = false;
}
