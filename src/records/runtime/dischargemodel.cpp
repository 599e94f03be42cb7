#include "dischargemodel.h"

#include <QMap>

#include <algorithm>
#include <cmath>

namespace {
constexpr qint64 LongestGapMs = 10 * 60 * 1000;
constexpr double ExponentLow = 1.0;
constexpr double ExponentHigh = 1.7;

} // namespace

double DischargeModel::loadSeconds(const QVector<Point> &points, qint64 untilMs, double exponent)
{
    // Each reading's load holds until the next one.
    double total = 0;
    for (int i = 0; i < points.size(); ++i) {
        const qint64 end = i + 1 < points.size() ? std::min(points[i + 1].ms, untilMs) : untilMs;
        if (end <= points[i].ms)
            continue;
        const double share = std::max(points[i].load, LowestLoad) / 100.0;
        total += std::pow(share, exponent) * double(end - points[i].ms) / 1000.0;
    }
    return total;
}

bool DischargeModel::learn(const Discharge &discharge, QString *why)
{
    QString reason;
    const QVector<Point> &p = discharge.points;
    if (p.size() < 2)
        reason = QStringLiteral("fewer than two readings");
    else if (!discharge.fullStart)
        reason = QStringLiteral("the battery was not full when it began");
    else if (discharge.lowMs - p.first().ms < 30 * 1000)
        reason = QStringLiteral("shorter than half a minute");
    for (int i = 0; reason.isEmpty() && i < p.size(); ++i) {
        const qint64 next = i + 1 < p.size() ? p[i + 1].ms : discharge.lowMs;
        if (next < p[i].ms || next - p[i].ms > LongestGapMs)
            reason = QStringLiteral("a gap or a clock jump in its readings");
        else if (!(p[i].load >= 0 && p[i].load <= 150))
            reason = QStringLiteral("a load of %1 %").arg(p[i].load);
    }
    if (!reason.isEmpty()) {
        if (why)
            *why = reason;
        return false;
    }
    // In time order, whatever order they come in (stored ones may follow a live one).
    const Summary summary = summarize(discharge);
    const auto byLow = [](const Summary &a, const Summary &b) { return a.lowMs < b.lowMs; };
    m_kept.insert(std::upper_bound(m_kept.begin(), m_kept.end(), summary, byLow), summary);
    if (m_kept.size() > Kept)
        m_kept.removeFirst();
    m_law = fit(m_kept);
    m_first.insert(std::upper_bound(m_first.begin(), m_first.end(), summary, byLow), summary);
    if (m_first.size() > 2)
        m_first.removeLast();
    m_firstLaw = fit(m_first);
    return true;
}

DischargeModel::Summary DischargeModel::summarize(const Discharge &discharge)
{
    Summary out;
    out.lowMs = discharge.lowMs;
    QMap<int, double> at;
    double sum = 0, span = 0;
    const QVector<Point> &p = discharge.points;
    for (int i = 0; i < p.size(); ++i) {
        const qint64 end = i + 1 < p.size() ? std::min(p[i + 1].ms, discharge.lowMs) : discharge.lowMs;
        if (end <= p[i].ms)
            continue;
        const double seconds = double(end - p[i].ms) / 1000.0;
        at[int(std::lround(std::max(p[i].load, LowestLoad)))] += seconds;
        sum += p[i].load * seconds;
        span += seconds;
    }
    for (auto it = at.constBegin(); it != at.constEnd(); ++it)
        out.secondsAt.append({it.key(), it.value()});
    out.meanLoad = span > 0 ? sum / span : 0;

    // The voltage against depth: each reading's voltage holds over its share of the
    // load-seconds (by the usual exponent; a steady discharge's depth is its share of the time).
    QVector<double> share(p.size(), 0.0);
    double total = 0, unknown = 0;
    for (int i = 0; i < p.size(); ++i) {
        const qint64 end =
            i + 1 < p.size() ? std::min(p[i + 1].ms, discharge.lowMs) : discharge.lowMs;
        if (end > p[i].ms)
            share[i] = std::pow(std::max(p[i].load, LowestLoad) / 100.0, UsualExponent) *
                double(end - p[i].ms) / 1000.0;
        total += share[i];
        unknown += p[i].volts > 0 ? 0.0 : share[i];
    }
    if (total <= 0 || unknown > 0.05 * total)
        return out;
    QVector<double> volts(CurveBins, 0.0), weight(CurveBins, 0.0);
    double at0 = 0;
    for (int i = 0; i < p.size(); ++i) {
        const double from = at0 / total * CurveBins, to = (at0 + share[i]) / total * CurveBins;
        at0 += share[i];
        if (!(p[i].volts > 0))
            continue;
        for (int b = std::max(0, int(from)); b < CurveBins && b < to; ++b) {
            const double overlap = std::min(to, b + 1.0) - std::max(from, double(b));
            if (overlap > 0) {
                volts[b] += p[i].volts * overlap;
                weight[b] += overlap;
            }
        }
    }
    for (int b = 0; b < CurveBins; ++b) {
        if (weight[b] <= 0) {
            out.curve.clear();
            return out;
        }
        out.curve.append(float(volts[b] / weight[b]));
    }
    return out;
}

double DischargeModel::Summary::voltsAt(double depth) const
{
    // Between the bins' middles, straight on past the first and the last.
    const double x = std::clamp(depth, 0.0, 1.0) * CurveBins - 0.5;
    const int i = std::clamp(int(std::floor(x)), 0, CurveBins - 2);
    return curve[i] + (x - i) * (curve[i + 1] - curve[i]);
}

int DischargeModel::curves() const
{
    return int(std::count_if(m_kept.begin(), m_kept.end(),
                             [](const Summary &d) { return !d.curve.isEmpty(); }));
}

double DischargeModel::curvesSag() const
{
    // Each depth's voltage against the curves' loads, over the steady middle of the curves.
    double total = 0;
    int depths = 0;
    for (double depth = 0.1; depth < 0.65; depth += 0.1) {
        double w = 0, sl = 0, sv = 0, sll = 0, slv = 0;
        for (const Summary &d : m_kept) {
            if (d.curve.isEmpty())
                continue;
            const double v = d.voltsAt(depth);
            w += 1;
            sl += d.meanLoad;
            sv += v;
            sll += d.meanLoad * d.meanLoad;
            slv += d.meanLoad * v;
        }
        const double cll = sll / std::max(1.0, w) - std::pow(sl / std::max(1.0, w), 2);
        if (w < 2 || cll < 25)
            return -1;
        total -= (slv / w - sl / w * sv / w) / cll;
        ++depths;
    }
    return depths > 0 ? total / depths : -1;
}

double DischargeModel::learnedSlope(const QVector<QPair<double, double>> &readings,
                                     double rate, double startUsed, double load,
                                     double perLoad) const
{
    // Each curve read at the readings' depths stretched by `rate`, and its fall against the
    // law's depth by the same weighing as the readings' own: a curve that is not straight is
    // compared like for like. With two loads or more, a straight line through their falls
    // against the load (a heavier load sags more as the voltage falls), held near their range.
    double sw = 0, sl = 0, ss = 0, sll = 0, sls = 0, lo = 1e9, hi = 0;
    for (const Summary &d : m_kept) {
        if (d.curve.isEmpty())
            continue;
        double w = 0, sx = 0, sv = 0, sxx = 0, sxv = 0;
        for (const QPair<double, double> &r : readings) {
            const double v = d.voltsAt(startUsed + rate * (r.first - startUsed));
            w += r.second;
            sx += r.second * r.first;
            sv += r.second * v;
            sxx += r.second * r.first * r.first;
            sxv += r.second * r.first * v;
        }
        const double cxx = sxx / w - (sx / w) * (sx / w);
        if (!(cxx > 0))
            continue;
        double mean = 0;
        for (float v : d.curve)
            mean += v / CurveBins;
        const double slope = (sxv / w - (sx / w) * (sv / w)) / cxx *
            std::max(0.7, 1.0 - perLoad * d.meanLoad / mean);
        sw += 1;
        sl += d.meanLoad;
        ss += slope;
        sll += d.meanLoad * d.meanLoad;
        sls += d.meanLoad * slope;
        lo = std::min(lo, d.meanLoad);
        hi = std::max(hi, d.meanLoad);
    }
    if (sw == 0)
        return 0;
    const double mean = ss / sw;
    if (hi < lo * 1.15)
        return mean;
    const double per = (sw * sls - sl * ss) / (sw * sll - sl * sl);
    const double at = std::clamp(load, lo - 0.5 * (hi - lo), hi + 0.5 * (hi - lo));
    const double slope = mean + per * (at - sl / sw);
    // A line that would turn the fall into a rise is no better than the mean.
    return slope < 0 ? slope : mean;
}

double DischargeModel::Summary::loadSeconds(double exponent) const
{
    double total = 0;
    for (const QPair<int, double> &a : secondsAt)
        total += std::pow(a.first / 100.0, exponent) * a.second;
    return total;
}

DischargeModel::Law DischargeModel::fit(const QVector<Summary> &discharges)
{
    Law law;
    law.minLoad = 1e9;
    for (const Summary &d : discharges) {
        const double load = std::max(d.meanLoad, LowestLoad);
        law.minLoad = std::min(law.minLoad, load);
        law.maxLoad = std::max(law.maxLoad, load);
    }
    // The exponent that makes the discharges agree best on a; loads too close together cannot
    // tell it, so it is drawn gently to the usual one.
    const auto spreadAt = [&discharges](double n, double *mean) {
        QVector<double> logs;
        for (const Summary &d : discharges)
            logs.append(std::log(std::max(1e-9, d.loadSeconds(n))));
        double m = 0;
        for (double v : logs)
            m += v;
        m /= logs.size();
        double s = 0;
        for (double v : logs)
            s += (v - m) * (v - m);
        *mean = m;
        return s / logs.size();
    };
    double best = UsualExponent, bestCost = 1e300, bestMean = 0;
    const bool spread = discharges.size() >= 2 && law.maxLoad / law.minLoad > 1.15;
    for (double n = ExponentLow; n <= ExponentHigh + 1e-9; n += 0.005) {
        if (!spread && std::abs(n - UsualExponent) > 1e-9)
            continue;
        double mean = 0;
        const double cost = spreadAt(n, &mean) + 1e-4 * (n - UsualExponent) * (n - UsualExponent);
        if (cost < bestCost) {
            bestCost = cost;
            best = n;
            bestMean = mean;
        }
    }
    law.exponent = best;
    law.scale = std::exp(bestMean);
    law.spread = std::sqrt(std::max(0.0, spreadAt(best, &bestMean)));
    return law;
}

double DischargeModel::lawWidth(double l, bool *outside) const
{
    // What the learned discharges disagree by, wider from one alone (its exponent is assumed)
    // and the further the load lies outside them.
    double width = m_kept.size() == 1 ? 0.2 : std::max(0.06, 2.0 * m_law.spread + 0.03);
    const double edge = l < m_law.minLoad * 0.85   ? m_law.minLoad
                        : l > m_law.maxLoad * 1.15 ? m_law.maxLoad
                                                   : 0;
    if (outside)
        *outside = edge > 0;
    if (edge > 0)
        width += 0.1 + 0.3 * std::abs(std::log(l / edge));
    return width;
}

double DischargeModel::lawRateSigma(double l) const
{
    // One load alone leaves the exponent to a guess (lead-acid's lie from about 1.05 to 1.5);
    // two loads or more fix it, to the spread they leave and a little past their range.
    if (m_kept.size() == 1 || m_law.maxLoad < m_law.minLoad * 1.15)
        return 0.02 + 0.25 * std::abs(std::log(l / std::sqrt(m_law.minLoad * m_law.maxLoad)));
    const double edge = std::clamp(l, m_law.minLoad, m_law.maxLoad);
    return 0.015 + m_law.spread + 0.05 * std::abs(std::log(l / edge));
}

DischargeModel::Prediction DischargeModel::predict(double load, double used, const Pace &pace) const
{
    Prediction out;
    if (m_kept.isEmpty()) {
        out.why = QStringLiteral("no discharge to battery low learned yet");
        return out;
    }
    if (!(load >= 0 && load <= 150)) {
        out.why = QStringLiteral("the load reads %1 %").arg(load);
        return out;
    }
    // Past the time the law gives and still no battery low: this battery outlasts what was
    // learned (a charge read too low, a cooler room); no figure rather than a false zero.
    if (used >= 1.0) {
        out.why = QStringLiteral("the battery has lasted longer than the learned discharges allow");
        return out;
    }
    const double l = std::max(load, LowestLoad);
    double width = lawWidth(l, &out.outside);
    // The pace the voltage shows, weighed against the law by how sure each is; the band
    // narrows by as much as the two together are surer than the law alone.
    double rate = 1.0;
    if (pace.sigma > 0) {
        const double sigma = lawRateSigma(l);
        const double law = 1.0 / (sigma * sigma), seen = 1.0 / (pace.sigma * pace.sigma);
        rate = std::exp(pace.logRate * seen / (law + seen));
        width *= 1.0 / std::sqrt(law + seen) / sigma;
        // The share gone since the discharge began goes at that pace; a battery that is
        // still not low when the pace says it should be keeps a sliver of its time.
        used = std::min(pace.startUsed + rate * (used - pace.startUsed), std::max(used, 0.98));
    }
    out.valid = true;
    out.seconds = (1.0 - used) * m_law.scale * std::pow(l / 100.0, -m_law.exponent) / rate;
    // Deeper than nearly all of a learned discharge: the law's last stretch is the least sure.
    if (used > 0.9) {
        out.outside = true;
        width += 0.1;
    }
    out.low = out.seconds * std::max(0.0, 1.0 - width);
    out.high = out.seconds * (1.0 + width);
    return out;
}

DischargeModel::Pace DischargeModel::pace(const QVector<Point> &points, double startUsed,
                                          qint64 untilMs) const
{
    Pace out;
    out.startUsed = startUsed;
    if (m_law.scale <= 0 || points.isEmpty() || curves() == 0)
        return out;
    // Each reading's voltage against the depth by the law (the middle of the time it held),
    // weighed by that time; the first seconds are left out, where a battery just off its
    // charger still shows its surface charge.
    constexpr qint64 SettleMs = 15 * 1000;
    double w = 0, sx = 0, sl = 0, sv = 0, sxx = 0, sxl = 0, sll = 0, sxv = 0, slv = 0, svv = 0;
    double depth = startUsed, first = -1, last = 0, lastLoad = 0;
    QVector<QPair<double, double>> readings; // depth by the law, seconds held
    readings.reserve(points.size());
    for (int i = 0; i < points.size(); ++i) {
        const Point &pt = points[i];
        const qint64 end = i + 1 < points.size() ? std::min(points[i + 1].ms, untilMs) : untilMs;
        if (end <= pt.ms)
            continue;
        const double seconds = double(end - pt.ms) / 1000.0;
        const double step = std::pow(std::max(pt.load, LowestLoad) / 100.0, m_law.exponent) *
            seconds / m_law.scale;
        if (pt.volts > 0 && pt.ms - points.first().ms >= SettleMs) {
            const double x = depth + step / 2, l = pt.load, v = pt.volts;
            readings.append({x, seconds});
            w += seconds;
            sx += seconds * x;
            sl += seconds * l;
            sv += seconds * v;
            sxx += seconds * x * x;
            sxl += seconds * x * l;
            sll += seconds * l * l;
            sxv += seconds * x * v;
            slv += seconds * l * v;
            svv += seconds * v * v;
            first = first < 0 ? depth : first;
            last = depth + step;
            lastLoad = l;
        }
        depth += step;
    }
    if (w < 30 || last - first < 0.02)
        return out;
    // Centred: the fall per unit of depth, and where the load moved, the sag per percent.
    const double mx = sx / w, ml = sl / w, mv = sv / w;
    const double cxx = sxx / w - mx * mx, cxl = sxl / w - mx * ml, cll = sll / w - ml * ml;
    const double cxv = sxv / w - mx * mv, clv = slv / w - ml * mv, cvv = svv / w - mv * mv;
    double fall = 0, sag = 0;
    if (cll > 4.0 && cxx * cll - cxl * cxl > 1e-12) {
        const double det = cxx * cll - cxl * cxl;
        fall = (cxv * cll - clv * cxl) / det;
        sag = (clv * cxx - cxv * cxl) / det;
    } else if (cxx > 0) {
        fall = cxv / cxx;
    }
    const double residual = std::max(0.0, cvv - fall * cxv - sag * clv);
    // Known to the noise (the readings' own scatter, at least their rounding) against the fall
    // seen so far; a fall still within the noise tells nothing.
    const double noise = std::sqrt(residual + std::pow(0.0015 * mv, 2));
    const double seen = -fall * (last - first);
    if (!(seen > noise))
        return out;
    // The sag per percent of load: from these readings where the load moved, else from the
    // learned curves at different loads, else from where this discharge began against where
    // the learned one did. Under load the terminals fall faster than the charge alone makes
    // them (the current grows as the voltage falls), the more so the heavier the load: the
    // falls are compared with that taken out.
    double perLoad = sag < 0 ? -sag : curvesSag();
    if (perLoad < 0 && curves() == 1) {
        for (const Summary &d : m_kept) {
            if (!d.curve.isEmpty() && std::abs(lastLoad - d.meanLoad) >= 5)
                perLoad = (d.voltsAt(first) - (mv + fall * (first - mx))) / (lastLoad - d.meanLoad);
        }
    }
    perLoad = std::max(0.0, perLoad);
    const double steeper = std::max(0.7, 1.0 - perLoad * lastLoad / mv);
    // The pace that makes the learned curves fall as these readings do: the law's depth
    // stretched by it, found in a few rounds as the span moves along the curves.
    double rate = 1.0;
    for (int round = 0; round < 4; ++round) {
        const double learned = learnedSlope(readings, rate, startUsed, lastLoad, perLoad);
        if (!(learned < 0))
            return out;
        rate = std::clamp(rate * fall * steeper / learned, 0.4, 2.5);
    }
    // Never closer than the curves' own likeness to this battery.
    out.logRate = std::log(rate);
    out.sigma = std::sqrt(std::pow(2.0 * noise / seen, 2) + 0.04 * 0.04);
    return out;
}

double DischargeModel::healthOf(const Summary &d) const
{
    return m_firstLaw.scale > 0 ? d.loadSeconds(m_firstLaw.exponent) / m_firstLaw.scale : 0;
}

double DischargeModel::health() const
{
    return m_kept.isEmpty() ? 0 : healthOf(m_kept.last());
}

double DischargeModel::daysUntilHealth(double share) const
{
    if (m_kept.size() < 3)
        return -1;
    const double day = 86400000.0;
    const double t0 = double(m_kept.first().lowMs);
    if ((double(m_kept.last().lowMs) - t0) / day < 14)
        return -1;
    // A straight line through health against time.
    double st = 0, sh = 0, stt = 0, sth = 0;
    const int n = m_kept.size();
    for (const Summary &d : m_kept) {
        const double t = (double(d.lowMs) - t0) / day, h = healthOf(d);
        st += t;
        sh += h;
        stt += t * t;
        sth += t * h;
    }
    const double slope = (n * sth - st * sh) / (n * stt - st * st);
    if (!(slope < 0))
        return -1;
    const double now = (double(m_kept.last().lowMs) - t0) / day;
    const double at = (share - (sh - slope * st) / n) / slope;
    return std::max(0.0, at - now);
}

bool DischargeModel::worn() const
{
    return health() > 0 && health() < WornHealth && learned() >= 2;
}

bool DischargeModel::wearing() const
{
    if (!(health() >= WornHealth))
        return false;
    const double days = daysUntilHealth(WornHealth);
    return days >= 0 && days <= WearingWithinDays;
}

QVector<DischargeModel::Measured> DischargeModel::measure(const QVector<Discharge> &discharges,
                                                          DischargeModel *model)
{
    QVector<QPair<qint64, Summary>> taken;
    for (const Discharge &d : discharges) {
        if (model->learn(d))
            taken.append({d.points.first().ms, summarize(d)});
    }
    // Each by the law of the first two, known only once all are in.
    QVector<Measured> out;
    for (const auto &t : qAsConst(taken))
        out.append({t.first, t.second.lowMs, t.second.meanLoad, model->healthOf(t.second)});
    return out;
}
