#include "batteryage.h"

#include "clock.h"
#include "logcategories.h"
#include "settings.h"
#include "upsstate.h"

#include <QLocale>

namespace {

const QString dayFormat = QStringLiteral("yyyy-MM-dd");

QDate dayOf(const QVariant &value)
{
    return QDate::fromString(value.toString(), dayFormat);
}

QString textOf(const QDate &day)
{
    return day.isValid() ? QLocale::c().toString(day, dayFormat) : QString();
}

} // namespace

BatteryAge::BatteryAge(Settings *settings, QObject *parent) : QObject(parent), m_settings(settings)
{
    m_timer.setInterval(60 * 1000);
    connect(&m_timer, &QTimer::timeout, this, &BatteryAge::check);
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        for (int type : {Settings::BatteryInstalled, Settings::BatteryReplaceMonths,
                         Settings::BatteryFirstSeen}) {
            if (key == m_settings->keyName(type))
                emit changed();
        }
        if (key == m_settings->keyName(Settings::BatteryFirstSeen))
            m_firstSeenStored = false; // looked at again with the next data set
    });
}

BatteryAge::~BatteryAge() = default;

void BatteryAge::start()
{
    QTimer::singleShot(0, this, &BatteryAge::check);
    m_timer.start();
}

QDate BatteryAge::installed() const
{
    const QDate set = dayOf(m_settings->getSettings(Settings::BatteryInstalled));
    return set.isValid() ? set : dayOf(m_settings->getSettings(Settings::BatteryFirstSeen));
}

QDate BatteryAge::dueDay() const
{
    const QDate from = installed();
    return from.isValid() ? from.addMonths(m_settings->number(Settings::BatteryReplaceMonths))
                          : QDate();
}

QString BatteryAge::installedDate() const
{
    return textOf(installed());
}

void BatteryAge::setInstalledDate(const QString &date)
{
    const QDate day = QDate::fromString(date, dayFormat);
    if (!day.isValid()) {
        qCWarning(lcServices) << "Not a battery installation day:" << date;
        return;
    }
    if (day == installed() && m_settings->getSettings(Settings::BatteryInstalled).isValid())
        return;
    m_settings->setSettings(Settings::BatteryInstalled, textOf(day));
    check();
}

QString BatteryAge::dueDate() const
{
    return textOf(dueDay());
}

bool BatteryAge::due() const
{
    const QDate day = dueDay();
    return day.isValid() && Clock::now().date() >= day;
}

QString BatteryAge::noticeTitle() const
{
    return tr("Battery replacement due");
}

QString BatteryAge::noticeText() const
{
    return tr("The UPS battery was installed on %1 and is due for replacement since %2. An old "
              "battery may not carry the computer through the next mains failure.")
        .arg(installedDate(), dueDate());
}

void BatteryAge::updateState(const UpsState &state)
{
    // Once the day is stored, a data set (several a second) costs no look at the settings.
    if (!state.online() || m_firstSeenStored)
        return;
    if (m_settings->getSettings(Settings::BatteryFirstSeen).isValid()) {
        m_firstSeenStored = true;
        return;
    }
    const QDate today = Clock::now().date();
    qCInfo(lcServices) << "First answer of a UPS; its battery counts from" << textOf(today)
                       << "until another day is set";
    m_settings->setSettings(Settings::BatteryFirstSeen, textOf(today));
    check();
}

void BatteryAge::check()
{
    const bool isDue = due();
    if (isDue != m_wasDue) {
        m_wasDue = isDue;
        emit changed();
    }
    if (!isDue)
        return;
    const QString day = dueDate();
    if (m_settings->text(Settings::BatteryNoticeGiven) != day) {
        m_settings->setSettings(Settings::BatteryNoticeGiven, day);
        qCWarning(lcServices).noquote() << "Battery replacement due since" << day;
        emit replacementDue(noticeTitle(), noticeText());
    }
    if (m_settings->text(Settings::BatteryNoticeMailed) != day &&
        m_noteHanded != dueDay()) {
        m_noteHanded = dueDay();
        emit mailNote(QLatin1String(noteKey), noticeText());
    }
}

void BatteryAge::reportSent(const QStringList &keys)
{
    if (!keys.contains(QLatin1String(noteKey)) || !m_noteHanded.isValid())
        return;
    m_settings->setSettings(Settings::BatteryNoticeMailed, textOf(m_noteHanded));
}
