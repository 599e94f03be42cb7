#include "alarm.h"

#include "alarmcatalogue.h"
#include "clock.h"
#include "logcategories.h"
#include "recordwriter.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMap>
#include <QTimer>
#include <QVector>

#include <algorithm>

namespace {

// A timed event stays listed for this many seconds after it was last raised.
constexpr quint32 eventLifetime = 11;

struct CurrentAlarm
{
    QString time;
    int code;
    QString detail;
};

} // namespace

class AlarmPrivate
{
public:
    explicit AlarmPrivate(Alarm *owner) : timer(owner) { }

    RecordWriter *writer = nullptr;
    QString ups;
    QVector<CurrentAlarm> current;
    QMap<int, quint32> expiry;
    QTimer timer; // runs only while a timed event waits to expire

    bool isListed(int code) const
    {
        for (const CurrentAlarm &entry : current) {
            if (entry.code == code)
                return true;
        }
        return false;
    }
};

Alarm::Alarm(RecordWriter *writer, QObject *parent) : QObject(parent), d(new AlarmPrivate(this))
{
    d->writer = writer;
    d->timer.setObjectName(QStringLiteral("expiryTimer"));
    d->timer.setInterval(1000);
    connect(&d->timer, &QTimer::timeout, this, &Alarm::onTimerEvent);
}

Alarm::~Alarm() = default;

void Alarm::setUps(const QString &name)
{
    d->ups = name;
}

QString Alarm::ups() const
{
    return d->ups;
}

int Alarm::alarmNum() const
{
    return d->current.size();
}

QVariantList Alarm::allAlarm() const
{
    QVariantList list;
    list.reserve(d->current.size());
    for (const CurrentAlarm &entry : qAsConst(d->current)) {
        QVariantMap item;
        item.insert(QStringLiteral("time"), entry.time);
        item.insert(QStringLiteral("alarm"), withDetail(alarmText(entry.code), entry.detail));
        list.append(item);
    }
    return list;
}

void Alarm::clearAlarms()
{
    d->current.clear();
    emit alarmNumChanged();
}

QVector<Alarm::Current> Alarm::current() const
{
    QVector<Current> list;
    list.reserve(d->current.size());
    for (const CurrentAlarm &entry : qAsConst(d->current))
        list.append({entry.time, entry.code, d->expiry.contains(entry.code), entry.detail});
    return list;
}

QString Alarm::alarmText(int code, bool translated)
{
    return alarmTextIn(code, [translated](const char *source) {
        return translated ? QCoreApplication::translate("Alarm", source)
                          : QString::fromUtf8(source);
    });
}

QString Alarm::alarmTextIn(int code, const std::function<QString(const char *)> &text)
{
    if (code < AlarmCatalogue::familyOneBase) {
        const char *source = AlarmCatalogue::eventSource(code);
        return source ? text(source) : QString();
    }
    int family = 1;
    int offset = code - AlarmCatalogue::familyOneBase;
    if (code >= AlarmCatalogue::familyTwoBase) {
        family = 2;
        offset = code - AlarmCatalogue::familyTwoBase;
    }
    bool isReturn = false;
    if (offset >= AlarmCatalogue::returnOffset) {
        isReturn = true;
        offset -= AlarmCatalogue::returnOffset;
    }
    const char *source = AlarmCatalogue::faultSource(family, offset);
    if (!source)
        return QString();
    const QString fault = text(source);
    if (fault.isEmpty())
        return QString();
    if (!isReturn)
        return fault;
    return text(AlarmCatalogue::returnedFromSource()) + fault;
}

int Alarm::faultCode(int family, int offset)
{
    return (family == 2 ? AlarmCatalogue::familyTwoBase : AlarmCatalogue::familyOneBase) + offset;
}

int Alarm::returnCode(int faultCode)
{
    return faultCode + AlarmCatalogue::returnOffset;
}

bool Alarm::isFault(int code)
{
    using namespace AlarmCatalogue;
    if (code < familyOneBase || code >= familyTwoBase + familyOneBase)
        return false;
    const int offset = code >= familyTwoBase ? code - familyTwoBase : code - familyOneBase;
    return offset < faultOffsets;
}

bool Alarm::isLasting(int code)
{
    return code == CommLost || code == MainsFault || code == BattVolLow || code == UPSFault ||
        isFault(code);
}

QStringList Alarm::standingAlarmTexts() const
{
    QStringList texts;
    for (const CurrentAlarm &entry : qAsConst(d->current)) {
        const int code = entry.code;
        // The UPS's own faults only: a mains failure, a low battery, bypass or a self-test are
        // told by the status flags, and a fault's return is none.
        const bool fault = code == UPSFault || isFault(code);
        if (fault && !d->expiry.contains(code))
            texts.append(alarmText(code, false));
    }
    return texts;
}

QString Alarm::withDetail(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : text + QStringLiteral(" (") + detail + QLatin1Char(')');
}

bool Alarm::raise(int code, const QString &detail)
{
    const QString plain = alarmText(code);
    if (plain.isEmpty())
        return false;
    if (d->isListed(code)) {
        // A second cancel within the event's lifetime is someone else's act: stored too.
        if (detail.isEmpty())
            return true;
        d->current.erase(std::remove_if(d->current.begin(), d->current.end(),
                                        [code](const CurrentAlarm &e) { return e.code == code; }),
                         d->current.end());
    }
    const QString text = withDetail(plain, detail);
    const QString time = QLocale::c().toString(Clock::now(), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    d->current.append({time, code, detail});
    const QString told = d->ups.isEmpty() ? text : d->ups + QStringLiteral(": ") + text;
    qCInfo(lcRecords) << "Alarm raised:" << code << told;
    d->writer->insertAlarm(code, d->ups, detail);
    emit alarmRaised(code, told);
    emit alarmNumChanged();
    return true;
}

void Alarm::delAlarm(int code)
{
    const auto end =
        std::remove_if(d->current.begin(), d->current.end(),
                       [code](const CurrentAlarm &entry) { return entry.code == code; });
    if (end == d->current.end())
        return;
    d->current.erase(end, d->current.end());
    emit alarmNumChanged();
}

void Alarm::addEvent(int code, const QString &detail)
{
    // Timed before the list announces it, so a listener never takes it for a standing alarm.
    d->expiry.insert(code, quint32(Clock::secsSinceEpoch()));
    if (!raise(code, detail))
        d->expiry.remove(code);
    else if (!d->timer.isActive())
        d->timer.start();
}

void Alarm::onTimerEvent()
{
    const quint32 now = quint32(Clock::secsSinceEpoch());
    for (auto it = d->expiry.begin(); it != d->expiry.end();) {
        if (quint32(now - it.value()) >= eventLifetime) {
            delAlarm(it.key());
            it = d->expiry.erase(it);
        } else {
            ++it;
        }
    }
    if (d->expiry.isEmpty())
        d->timer.stop();
}
