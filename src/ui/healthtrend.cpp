#include "healthtrend.h"

#include "batteryhealthhistory.h"
#include "database.h"
#include "historyreader.h"
#include "logcategories.h"

class HealthTrendPrivate
{
public:
    HealthTrend *q = nullptr;
    BatteryHealthHistory::Result result;
    HistoryReader reader;
    bool running = false;
    bool pending = false; // asked again while a read ran: the newest choice follows
    QString ups;

    void start();
};

void HealthTrendPrivate::start()
{
    running = true;
    const QString file = Database::openedFile();
    const QString rowsOf = ups;
    auto read = std::make_shared<BatteryHealthHistory::Result>();
    reader.run([file, rowsOf, read] { *read = BatteryHealthHistory::read(file, rowsOf); },
               [this, read] {
                   running = false;
                   if (pending) {
                       pending = false;
                       start();
                       return;
                   }
                   if (!read->error.isEmpty())
                       qCWarning(lcRecords)
                           << "The battery's health cannot be read:" << read->error;
                   result = std::move(*read);
                   emit q->busyChanged();
                   emit q->loaded();
               });
}

HealthTrend::HealthTrend(QObject *parent) : QObject(parent), d(new HealthTrendPrivate)
{
    d->q = this;
}

HealthTrend::~HealthTrend() = default;

bool HealthTrend::busy() const
{
    return d->running;
}

QVariantList HealthTrend::points() const
{
    QVariantList list;
    for (const DischargeModel::Measured &m : d->result.points) {
        list.append(
            QVariantMap {{QStringLiteral("time"), double(m.lowMs)},
                         {QStringLiteral("health"), m.health},
                         {QStringLiteral("load"), m.load},
                         {QStringLiteral("seconds"), double(m.lowMs - m.startMs) / 1000.0}});
    }
    return list;
}

double HealthTrend::wornBelow() const
{
    return DischargeModel::WornHealth;
}

bool HealthTrend::worn() const
{
    return d->result.worn;
}

bool HealthTrend::wearing() const
{
    return d->result.wearing;
}

double HealthTrend::wornMsecs() const
{
    return d->result.wornMs >= 0 ? double(d->result.wornMs) : 0;
}

QString HealthTrend::error() const
{
    return d->result.error;
}

QString HealthTrend::ups() const
{
    return d->ups;
}

void HealthTrend::setUps(const QString &ups)
{
    d->ups = ups;
}

void HealthTrend::select()
{
    if (d->running) {
        d->pending = true;
        return;
    }
    d->start();
    emit busyChanged();
}
