#include "core/thermocouple_deviation.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/least_squares.hpp"

namespace kelvora::core {

namespace {

// The slope of E + ΔE is sampled at least this closely (°C) where it must be positive. The
// reference functions' slopes and a cubic's change by far less than their size over a degree.
constexpr double kSampleStep = 1.0;

// E + ΔE rises at t (its slope in µV/°C positive).
bool risesAt(const ThermocoupleDeviation& d, double t) {
    return correctedSlope(d, t) > 0;
}

}  // namespace

double deviationUv(const ThermocoupleDeviation& d, double t) {
    const double x = (t - d.mid) * d.scale;
    double v = 0;
    for (int k = d.degree; k >= 0; --k) v = v * x + d.c[static_cast<std::size_t>(k)];
    return v;
}

double deviationSlopeUv(const ThermocoupleDeviation& d, double t) {
    const double x = (t - d.mid) * d.scale;
    double v = 0;
    for (int k = d.degree; k >= 1; --k) v = v * x + k * d.c[static_cast<std::size_t>(k)];
    return v * d.scale;
}

double correctedEmf(const ThermocoupleDeviation& d, double t) {
    const double e = reading(thermocoupleSensor(d.type), t);
    if (e == kOutOfRange) return kOutOfRange;
    return e + deviationUv(d, t) / 1000;
}

double correctedSlope(const ThermocoupleDeviation& d, double t) {
    const double s = slope(thermocoupleSensor(d.type), t);
    if (s == kOutOfRange) return kOutOfRange;
    return s + deviationSlopeUv(d, t);
}

DeviationOrError fitDeviation(ThermocoupleType type, std::span<const DeviationPoint> points,
                              std::optional<int> degree) {
    DeviationOrError out;
    ThermocoupleDeviation& d = out.deviation;
    d.type = type;
    const auto fail = [&out](DeviationError e, std::size_t point = 0) {
        out.error = e;
        out.point = point;
        return out;
    };
    if (points.empty()) return fail(DeviationError::noPoints);
    const Limits range = temperatureLimits(thermocoupleSensor(type));
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!range.contains(points[i].temperatureC))
            return fail(DeviationError::temperatureOutOfRange, i);
        if (!(std::fabs(points[i].deviationUv) <= kDeviationMostUv))
            return fail(DeviationError::deviationNotValid, i);
    }
    std::vector<double> ts;
    for (const DeviationPoint& p : points) ts.push_back(p.temperatureC);
    std::sort(ts.begin(), ts.end());
    const auto temperatures = static_cast<int>(std::unique(ts.begin(), ts.end()) - ts.begin());
    d.degree = degree.value_or(std::min(temperatures - 1, kMaxDeviationDegree));
    if (d.degree < 0 || d.degree > kMaxDeviationDegree)
        return fail(DeviationError::degreeOutOfRange);
    out.needed = d.degree + 1;
    if (temperatures < out.needed) return fail(DeviationError::tooFewTemperatures);

    d.points = points.size();
    d.calibratedLo = ts.front();
    d.calibratedHi = ts[static_cast<std::size_t>(temperatures - 1)];
    d.mid = d.calibratedLo + (d.calibratedHi - d.calibratedLo) / 2;
    d.scale = d.calibratedHi > d.calibratedLo ? 2 / (d.calibratedHi - d.calibratedLo) : 1.0;
    const auto n = static_cast<std::size_t>(d.degree + 1);
    std::vector<double> a, b;
    for (const DeviationPoint& p : points) {
        const double x = (p.temperatureC - d.mid) * d.scale;
        double power = 1;
        for (std::size_t k = 0; k < n; ++k, power *= x) a.push_back(power);
        b.push_back(p.deviationUv);
    }
    const LeastSquaresSolution s = solveLeastSquares(a, b, n);
    if (!s.ok()) return fail(DeviationError::singular);
    std::copy_n(s.x.begin(), n, d.c.begin());

    // Rising over the calibrated temperatures that the exact inverse takes, then as far
    // beyond them, towards the ends of that range, as it goes on rising.
    const Limits exact = exactTemperatureLimits(type);
    const double lo = std::clamp(d.calibratedLo, exact.lo, exact.hi);
    const double hi = std::clamp(d.calibratedHi, exact.lo, exact.hi);
    const auto steps = static_cast<int>(std::ceil((hi - lo) / kSampleStep));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps == 0 ? lo : lo + (hi - lo) * i / steps;
        if (!risesAt(d, t)) {
            out.temperatureC = t;
            return fail(DeviationError::notIncreasing);
        }
    }
    d.risingLo = lo;
    while (d.risingLo > exact.lo && risesAt(d, std::max(exact.lo, d.risingLo - kSampleStep)))
        d.risingLo = std::max(exact.lo, d.risingLo - kSampleStep);
    d.risingHi = hi;
    while (d.risingHi < exact.hi && risesAt(d, std::min(exact.hi, d.risingHi + kSampleStep)))
        d.risingHi = std::min(exact.hi, d.risingHi + kSampleStep);
    return out;
}

Limits correctedTemperatureLimits(const ThermocoupleDeviation& d) {
    return {d.risingLo, d.risingHi, true};
}

Limits correctedReadingLimits(const ThermocoupleDeviation& d) {
    return {correctedEmf(d, d.risingLo), correctedEmf(d, d.risingHi), true,
            d.type != ThermocoupleType::B || d.risingLo > exactTemperatureLimits(d.type).lo};
}

ExactTemperature correctedTemperature(const ThermocoupleDeviation& d, double emfMv) {
    const Limits readings = correctedReadingLimits(d);
    if (!readings.contains(emfMv)) return {kOutOfRange, ExactStatus::outOfRange};
    double lo = d.risingLo, hi = d.risingHi;
    if (emfMv == readings.lo) return {lo, ExactStatus::ok};
    if (emfMv == readings.hi) return {hi, ExactStatus::ok};
    // The start: the reference function's own root at the EMF less the deviation there,
    // within a few ΔE'/E' of the root sought.
    double t = lo + (hi - lo) / 2;
    const ExactTemperature plain = exactTemperature(d.type, emfMv);
    if (plain.status == ExactStatus::ok) {
        const ExactTemperature moved =
            exactTemperature(d.type, emfMv - deviationUv(d, plain.temperatureC) / 1000);
        t = moved.status == ExactStatus::ok ? moved.temperatureC : plain.temperatureC;
    }
    t = std::clamp(t, lo, hi);
    // Newton's method on E + ΔE, rising on [lo, hi]; a step that would leave the bracket,
    // which shrinks around the root with every evaluation, halves it instead.
    for (int i = 0; i < 200; ++i) {
        const double f = correctedEmf(d, t) - emfMv;
        if (f == 0) break;
        (f < 0 ? lo : hi) = t;
        double next = t - f / (correctedSlope(d, t) / 1000);
        if (!(next > lo && next < hi)) {
            next = lo + (hi - lo) / 2;
            if (next == lo || next == hi) break;  // the bracket is two neighbouring doubles
        }
        const bool settled = std::fabs(next - t) <= 1e-12;
        t = next;
        if (settled) break;
    }
    return {t, ExactStatus::ok};
}

}  // namespace kelvora::core
