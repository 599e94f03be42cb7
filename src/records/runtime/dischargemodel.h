#pragma once

#include <QString>
#include <QVector>

// What one UPS's battery gives, learned from its own discharges to battery low: the time from a
// full battery to battery low at a steady load L (a share of the rating) is T(L) = a · L^−n, and
// a changing load uses the charge at the rate L^n / a. Each finished discharge gives one equation
// ∫ L^n dt = a; two at different loads fix the exponent, one alone takes a usual lead-acid one.
// Where the UPS reports the battery voltage, each learned discharge also keeps how the voltage
// fell against its depth, and a discharge under way is read against that: the pace its voltage
// falls at says how much faster or slower than the law the charge goes (pace()), which corrects
// the law the more the discharge has shown. Pure: no clock, no file; the learner feeds it.
class DischargeModel
{
public:
    // A reading of the load while on battery; `ms` on a steady clock from any origin.
    struct Point
    {
        qint64 ms = 0;
        double load = 0; // percent
        double volts = 0; // the battery's, 0 where the UPS reports none
    };
    struct Discharge
    {
        QVector<Point> points; // the first at the start of the discharge
        qint64 lowMs = 0; // when battery low came
        bool fullStart = true; // the battery was charged when it began
    };
    struct Prediction
    {
        bool valid = false;
        double seconds = 0; // to battery low
        double low = 0;
        double high = 0;
        bool outside = false; // at a load or a depth the learned discharges never showed
        QString why; // in English, when none
    };
    // What the voltage of a discharge under way says: the charge goes exp(logRate) times as
    // fast as the law has it, known to about `sigma` (in the log); sigma < 0: nothing known.
    struct Pace
    {
        double logRate = 0;
        double sigma = -1;
        double startUsed = 0; // the share gone before the discharge began
    };

    static constexpr double UsualExponent = 1.2;
    static constexpr double LowestLoad = 5.0; // percent: below it the UPS's own draw dominates
    static constexpr int Kept = 8; // the newest discharges the fit uses
    // A battery below this share of its first capacity is worn; one whose trend reaches it
    // within the days after is wearing (the notice, the history page).
    static constexpr double WornHealth = 0.8;
    static constexpr double WearingWithinDays = 92;

    // One learned discharge with the health it showed.
    struct Measured
    {
        qint64 startMs = 0;
        qint64 lowMs = 0;
        double load = 0; // mean, percent
        double health = 0;
    };
    // Learns `discharges` (oldest first) into `model` and gives, for each it took, the health
    // measured as health() measures the newest, so the last one is `model`'s own figure.
    static QVector<Measured> measure(const QVector<Discharge> &discharges, DischargeModel *model);

    // Takes a finished discharge into the fit; false with the reason when it cannot teach
    // anything (too short, a gap in its readings, a nonsense load, not from a full battery).
    bool learn(const Discharge &discharge, QString *why = nullptr);
    int learned() const { return m_kept.size(); }
    double exponent() const { return m_law.exponent; }
    // Seconds from full to battery low at the rated load (a share of 1).
    double scale() const { return m_law.scale; }

    // ∫ max(L, LowestLoad)^n dt over the points up to `untilMs`, L as a share, in seconds.
    static double loadSeconds(const QVector<Point> &points, qint64 untilMs, double exponent);
    // The time to battery low at `load` percent once `used` (a share of a full battery, by the
    // law) is gone, corrected by the pace of the discharge under way where one is known.
    Prediction predict(double load, double used, const Pace &pace) const;
    Prediction predict(double load, double used) const { return predict(load, used, Pace()); }
    // The pace of a discharge under way (`points` from its start, `startUsed` gone before it)
    // against the voltage curves of the learned discharges; none without voltages or curves.
    Pace pace(const QVector<Point> &points, double startUsed, qint64 untilMs) const;
    // Voltage curves learned (discharges that reported the battery voltage throughout).
    int curves() const;
    // The capacity the newest discharge showed as a share of what the first ones showed, each
    // by the law fitted to the first ones (so a later exponent cannot move it); 0 while none.
    double health() const;
    // Days until the health falls to `share`, from its trend over the kept discharges (at least
    // three over two weeks or more); -1 while it does not fall or too little is known.
    double daysUntilHealth(double share) const;
    // Below WornHealth by two discharges or more.
    bool worn() const;
    // Not worn yet, but its trend reaches WornHealth within WearingWithinDays.
    bool wearing() const;

private:
    // A learned discharge as the fit needs it: the seconds spent at each whole percent of
    // load, so that a fit costs the same however long or busy the discharge was.
    struct Summary
    {
        qint64 lowMs = 0;
        double meanLoad = 0;
        QVector<QPair<int, double>> secondsAt; // load percent, seconds
        // The mean voltage in each of CurveBins equal steps of depth (its share of the
        // discharge's load-seconds); empty where the voltage was not reported throughout.
        QVector<float> curve;
        double loadSeconds(double exponent) const;
        double voltsAt(double depth) const;
    };
    static constexpr int CurveBins = 20;
    static Summary summarize(const Discharge &discharge);

    struct Law
    {
        double exponent = UsualExponent;
        double scale = 0;
        double spread = 0; // root mean square of the log residuals
        double minLoad = 0;
        double maxLoad = 0;
    };
    static Law fit(const QVector<Summary> &discharges);
    // The fall of the learned voltage per unit of the law's depth at `readings` (depth,
    // weight) when the true depth goes `rate` times as fast, at `load`, from the kept curves
    // (by their loads where two or more tell apart the steeper sag of a heavier load); 0
    // where none is known.
    // `perLoad`: the sag per percent of load, whose growth as the voltage falls is taken out.
    double learnedSlope(const QVector<QPair<double, double>> &readings, double rate,
                        double startUsed, double load, double perLoad) const;
    // The sag per percent of load the kept curves show between their loads; -1 where they
    // do not tell (fewer than two loads far enough apart).
    double curvesSag() const;
    // The band's half-width (a share of the figure) the law alone gives at `load`.
    double lawWidth(double load, bool *outside) const;
    // How far off the law's pace may be at `load` (in the log), to weigh it against the
    // voltage's.
    double lawRateSigma(double load) const;
    double healthOf(const Summary &discharge) const;

    QVector<Summary> m_kept; // oldest first, by their battery low
    QVector<Summary> m_first; // the two oldest ever learned: the new battery
    Law m_law;
    Law m_firstLaw;
};
