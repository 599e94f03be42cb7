#include "runtimelearner.h"

#include "clock.h"
#include "dischargehistory.h"
#include "logcategories.h"
#include "threadinbox.h"
#include "upsdirectory.h"

#include <cmath>

RuntimeLearner::RuntimeLearner(UpsDirectory *directory, QObject *parent)
    : QObject(parent), m_directory(directory), m_answers(new ThreadInbox(this)), m_pool(1)
{
}

void RuntimeLearner::offThread(std::function<void()> job)
{
    m_pool.post(std::move(job));
}

RuntimeLearner::~RuntimeLearner()
{
    m_pool.waitForDone();
}

void RuntimeLearner::start()
{
    connect(m_directory, &UpsDirectory::entryChanged, this, &RuntimeLearner::onEntry);
    const QVector<UpsEntry> entries = m_directory->entries();
    for (const UpsEntry &entry : entries)
        onEntry(entry);
}

const DischargeModel *RuntimeLearner::model(const QString &name) const
{
    const auto it = m_units.constFind(name);
    return it == m_units.constEnd() ? nullptr : &it->model;
}

void RuntimeLearner::reportSent()
{
    for (auto it = m_units.constBegin(); it != m_units.constEnd(); ++it)
        handNote(it.key());
}

void RuntimeLearner::handNote(const QString &name)
{
    const DischargeModel &model = m_units[name].model;
    if (model.health() <= 0)
        return;
    emit mailNote(QStringLiteral("runtime/") + name,
                  tr("Battery of %1, measured by its discharges: %2 % of its first capacity (%3 "
                     "discharges to battery low learned).")
                      .arg(name)
                      .arg(qRound(model.health() * 100))
                      .arg(model.learned()));
}

void RuntimeLearner::onEntry(const UpsEntry &entry)
{
    Unit &unit = m_units[entry.name];
    if (!unit.historyAsked && !entry.recordFile.isEmpty()) {
        unit.historyAsked = true;
        readHistory(entry.name, entry.recordFile, entry.recordUps);
    }
    const UpsState &s = entry.state;
    const qint64 now = Clock::msecsSinceEpoch();
    if (s.online()) {
        const bool discharging = s.onBattery || s.selfTest;
        std::optional<double> charge;
        if (s.batteryCharge && !s.chargeEstimated)
            charge = *s.batteryCharge;
        std::optional<double> load;
        if (s.load)
            load = *s.load;
        std::optional<double> volts;
        if (s.batteryVoltage)
            volts = *s.batteryVoltage;
        const DischargeTracker::Event event =
            unit.tracker.update(now, discharging, s.batteryLow, load, charge, volts);
        if (event == DischargeTracker::Event::ReachedLow)
            teach(entry.name, {{unit.tracker.discharge(), false}});
    }
    publish(entry.name, entry);
}

void RuntimeLearner::publish(const QString &name, const UpsEntry &entry)
{
    Unit &unit = m_units[name];
    const UpsState &s = entry.state;
    UpsEntry::Learned out;
    if (unit.model.health() > 0) {
        out.health = unit.model.health();
        if (unit.model.worn() && !unit.healthTold) {
            unit.healthTold = true;
            emit healthLow(tr("Battery worn: %1").arg(name),
                           tr("The battery now holds %1 % of what its first discharges showed: "
                              "plan its replacement.")
                               .arg(qRound(*out.health * 100)));
        }
        if (unit.model.wearing() && !unit.trendTold) {
            const double days = unit.model.daysUntilHealth(DischargeModel::WornHealth);
            unit.trendTold = true;
            emit healthLow(tr("Battery wearing: %1").arg(name),
                           tr("The battery holds %1 % of what its first discharges showed and "
                              "is on course to fall below 80 % in about %2 days: plan its "
                              "replacement.")
                               .arg(qRound(*out.health * 100))
                               .arg(qRound(days)));
        }
    }
    if (!s.online()) {
        out.why = QStringLiteral("the UPS does not answer");
    } else if (!s.load) {
        out.why = QStringLiteral("the UPS reports no load");
    } else if (unit.tracker.discharging() && unit.tracker.lowReached()) {
        out.predicted = out.low = out.high = 0;
    } else if ((!unit.historyRead || unit.learning) && unit.model.learned() == 0 &&
               unit.historyAsked) {
        out.why = QStringLiteral("reading the stored discharges");
    } else {
        const qint64 now = Clock::msecsSinceEpoch();
        // On battery: the share used so far and the pace its voltage shows. On mains: what a
        // discharge starting now would give, from the charge where known.
        double used = 0;
        if (!unit.tracker.discharging() && s.batteryCharge && !s.chargeEstimated &&
            *s.batteryCharge >= 0 && *s.batteryCharge <= 100)
            used = 1.0 - *s.batteryCharge / 100.0;
        const DischargeModel::Prediction p = unit.tracker.discharging()
            ? unit.tracker.predict(unit.model, *s.load, now)
            : unit.model.predict(*s.load, used);
        if (p.valid) {
            out.predicted = int(std::lround(p.seconds));
            out.low = int(std::lround(p.low));
            out.high = int(std::lround(p.high));
            out.outside = p.outside;
        } else {
            out.why = p.why;
        }
    }
    m_directory->setLearned(name, out);
}

void RuntimeLearner::readHistory(const QString &name, const QString &file, const QString &ups)
{
    offThread([this, name, file, ups] {
        const DischargeHistory::Result result = DischargeHistory::read(file, ups);
        m_answers->post([this, name, result] {
            Unit &unit = m_units[name];
            unit.historyRead = true;
            unit.cutShort = result.cutShort;
            if (!result.error.isEmpty())
                qCWarning(lcServices).noquote()
                    << QStringLiteral("Runtime of %1: the stored discharges cannot be read "
                                      "(%2)")
                           .arg(name, result.error);
            QVector<Lesson> lessons;
            for (const DischargeModel::Discharge &d : result.discharges)
                lessons.append({d, true});
            if (lessons.isEmpty()) {
                qCInfo(lcServices).noquote()
                    << QStringLiteral("Runtime of %1: no stored discharge to battery low, %2 "
                                      "cut short by the mains")
                           .arg(name)
                           .arg(result.cutShort);
                emit historyRead(name, 0);
            }
            teach(name, lessons);
            UpsEntry entry;
            if (m_directory->find(name, &entry))
                publish(name, entry);
        });
    });
}

void RuntimeLearner::teach(const QString &name, const QVector<Lesson> &lessons)
{
    m_units[name].pending += lessons;
    learnNext(name);
}

void RuntimeLearner::learnNext(const QString &name)
{
    Unit &unit = m_units[name];
    if (unit.learning || unit.pending.isEmpty())
        return;
    unit.learning = true;
    const QVector<Lesson> lessons = unit.pending;
    unit.pending.clear();
    offThread([this, name, model = unit.model, lessons]() mutable {
        QStringList refused;
        int stored = 0, storedTaken = 0, liveTaken = 0;
        for (const Lesson &lesson : lessons) {
            QString why;
            const bool taken = model.learn(lesson.discharge, &why);
            stored += lesson.stored ? 1 : 0;
            (lesson.stored ? storedTaken : liveTaken) += taken ? 1 : 0;
            if (!taken)
                refused << why;
        }
        m_answers->post([this, name, model, refused, stored, storedTaken, liveTaken] {
            Unit &unit = m_units[name];
            unit.model = model;
            unit.learning = false;
            UpsEntry entry;
            if (m_directory->find(name, &entry))
                publish(name, entry);
            for (const QString &why : refused)
                qCInfo(lcServices).noquote()
                    << QStringLiteral("Runtime of %1: a discharge to battery low teaches "
                                      "nothing: %2")
                           .arg(name, why);
            if (stored > 0) {
                qCInfo(lcServices).noquote()
                    << QStringLiteral("Runtime of %1: %2 of %3 stored discharges to battery "
                                      "low learned, %4 cut short by the mains")
                           .arg(name)
                           .arg(storedTaken)
                           .arg(stored)
                           .arg(unit.cutShort);
                emit historyRead(name, storedTaken);
            }
            if (storedTaken + liveTaken > 0) {
                qCInfo(lcServices).noquote()
                    << QStringLiteral("Runtime of %1: %2 discharges learned, exponent %3")
                           .arg(name)
                           .arg(unit.model.learned())
                           .arg(unit.model.exponent(), 0, 'f', 2);
                emit learned(name, unit.model.learned());
                handNote(name);
            }
            learnNext(name);
        });
    });
}
