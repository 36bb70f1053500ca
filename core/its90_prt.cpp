#include "core/its90_prt.hpp"

#include <algorithm>
#include <cmath>

#include "core/piecewise.hpp"
#include "core/rtd_curves.hpp"

namespace kelvora::core::its90::prt {

namespace {

// The largest |dΔW/dW| a deviation function may reach. Certificates' functions stay near 1e-4;
// below this bound W − ΔW(W) has a slope of 0.8 to 1.2, so it rises, and the W that gives
// any Wr of the sub-range lies within 1.25 times Wr's own distance from 1 (kReach).
constexpr double kSteepest = 0.2;
constexpr double kReach = 1 / (1 - kSteepest);

// A polynomial's value and derivative by Horner's rule, ascending powers.
template <std::size_t N>
std::pair<double, double> withDerivative(const std::array<double, N>& c, double x) {
    double v = c[N - 1], d = 0;
    for (std::size_t i = N - 1; i-- > 0;) {
        d = d * x + v;
        v = v * x + c[i];
    }
    return {v, d};
}

// Below 0.01 °C: x = (ln(T90/273.16 K) + 1.5)/1.5 with T90/273.16 K = 1 + (t − 0.01)/273.16,
// so x is exactly 1 at the triple point; ln Wr = P(x) − P(1).
double lowX(double t) {
    return (std::log1p((t - kTriplePointC) / 273.16) + 1.5) / 1.5;
}
double lowLn(double t) {
    return horner<kA.size()>(kA.data(), lowX(t)) - horner<kA.size()>(kA.data(), 1.0);
}
double lowLnSlope(double t) {
    return withDerivative(kA, lowX(t)).second / (1.5 * (t + 273.15));
}

// From 0.01 °C up: y = (T90/K − 754.15)/481 = (t − 481)/481; Wr = Q(y) − Q(y_tpw) + 1.
constexpr double kYTriple = (kTriplePointC - 481) / 481;
double highW(double t) {
    return (horner<kC.size()>(kC.data(), (t - 481) / 481) -
            horner<kC.size()>(kC.data(), kYTriple)) +
           1;
}
double highSlope(double t) {
    return withDerivative(kC, (t - 481) / 481).second / 481;
}

// The sub-range a temperature or a W belongs to: the one below for t < 0.01 °C (W < 1), else
// the one above; at 0.01 °C itself (W = 1) whichever the thermometer has.
const Its90Deviation& sideOf(const Sensor& s, bool below) {
    const Its90Certificate& k = s.its90;
    if (below) return k.below.subrange != 0 ? k.below : k.above;
    return k.above.subrange != 0 ? k.above : k.below;
}

bool logarithmic(int number) {
    return number == 4 || number == 5;
}

// The interval of W within which the W of every Wr of sub-range r lies (see kReach).
std::pair<double, double> reachOf(const Subrange& r) {
    const double wr = referenceRatio(r.fixedPointC);
    return r.below ? std::pair{1 - kReach * (1 - wr), 1.0} : std::pair{1.0, 1 + kReach * (wr - 1)};
}

}  // namespace

double referenceRatio(double t) {
    if (t >= kTriplePointC && t <= kHighestC) return rtd::checked(highW(t));
    if (t >= kLowestC && t < kTriplePointC) return rtd::checked(std::exp(lowLn(t)));
    return kOutOfRange;
}

double referenceRatioSlope(double t) {
    if (t >= kTriplePointC && t <= kHighestC) return rtd::checked(highSlope(t));
    if (t >= kLowestC && t < kTriplePointC) return rtd::checked(std::exp(lowLn(t)) * lowLnSlope(t));
    return kOutOfRange;
}

double approximateTemperature(double wr) {
    if (wr < 1) {
        const double u = (std::cbrt(std::sqrt(wr)) - 0.65) / 0.35;
        return 273.16 * horner<kB.size()>(kB.data(), u) - 273.15;
    }
    return horner<kD.size()>(kD.data(), (wr - 2.64) / 1.64);
}

double referenceTemperature(double wr) {
    static const double lowest = referenceRatio(kLowestC), highest = referenceRatio(kHighestC);
    if (!(wr >= lowest && wr <= highest)) return kOutOfRange;
    if (wr == 1) return kTriplePointC;
    const double seed = approximateTemperature(wr);
    // Below, Newton's method on ln Wr, which is nearly linear in ln T90 there.
    if (wr < 1)
        return rtd::solveIncreasing(std::log(wr), std::clamp(seed, kLowestC, kTriplePointC),
                                    kLowestC, kTriplePointC, lowLn, lowLnSlope);
    return rtd::solveIncreasing(wr, std::clamp(seed, kTriplePointC, kHighestC), kTriplePointC,
                                kHighestC, highW, highSlope);
}

const Subrange* subrangeOf(int number) {
    for (const Subrange& r : kSubranges)
        if (r.number == number) return &r;
    return nullptr;
}

Limits subrangeLimits(const Subrange& r) {
    return r.below ? Limits{r.fixedPointC, kTriplePointC, true}
                   : Limits{kTriplePointC, r.fixedPointC, true};
}

double deviationTerm(int number, int k, double w) {
    const double x = w - 1;
    if (logarithmic(number)) return k == 0 ? x : x * std::log(w);
    return k == 0 ? x : k == 1 ? x * x : x * x * x;
}

double deviation(const Its90Deviation& d, double w) {
    const double x = w - 1;
    const auto& [a, b, c] = d.c;
    if (logarithmic(d.subrange)) return x * (a + b * std::log(w));
    return x * (a + x * (b + x * c));
}

double deviationSlope(const Its90Deviation& d, double w) {
    const double x = w - 1;
    const auto& [a, b, c] = d.c;
    if (logarithmic(d.subrange)) return a + b * (std::log(w) + x / w);
    return a + x * (2 * b + x * 3 * c);
}

Limits temperaturesOf(const Sensor& s) {
    const Its90Certificate& k = s.its90;
    const Subrange* below = subrangeOf(k.below.subrange);
    const Subrange* above = subrangeOf(k.above.subrange);
    return {below ? below->fixedPointC : kTriplePointC, above ? above->fixedPointC : kTriplePointC,
            true};
}

Limits resistancesOf(const Sensor& s) {
    return {s.its90.rLow, s.its90.rHigh, true};
}

double ratioAt(const Sensor& s, double t) {
    if (!temperaturesOf(s).contains(t)) return kOutOfRange;
    const Its90Deviation& d = sideOf(s, t < kTriplePointC);
    const double wr = referenceRatio(t);
    const auto [lo, hi] = reachOf(*subrangeOf(d.subrange));
    return rtd::solveIncreasing(
        wr, wr, lo, hi, [&d](double w) { return w - deviation(d, w); },
        [&d](double w) { return 1 - deviationSlope(d, w); });
}

double resistanceAt(const Sensor& s, double t) {
    const double w = ratioAt(s, t);
    return w == kOutOfRange ? kOutOfRange : rtd::checked(s.its90.rtpwOhm * w);
}

double temperatureAt(const Sensor& s, double r) {
    const Limits range = resistancesOf(s);
    const Limits t = temperaturesOf(s);
    if (!range.contains(r)) return kOutOfRange;
    // The resistances at the ends give the ends themselves, not a root an ulp inside.
    if (r == range.lo) return t.lo;
    if (r == range.hi) return t.hi;
    // R/R_tpw may fall an ulp beyond W at an end: held inside, as is the temperature found.
    const double rtpw = s.its90.rtpwOhm;
    const double w = std::clamp(r / rtpw, range.lo / rtpw, range.hi / rtpw);
    const Its90Deviation& d = sideOf(s, w < 1);
    const double wr = w - deviation(d, w);
    const double found =
        referenceTemperature(std::clamp(wr, referenceRatio(kLowestC), referenceRatio(kHighestC)));
    const Limits side = subrangeLimits(*subrangeOf(d.subrange));
    return std::clamp(found, std::max(t.lo, side.lo), std::min(t.hi, side.hi));
}

double slopeAt(const Sensor& s, double t) {
    const double w = ratioAt(s, t);
    if (w == kOutOfRange) return kOutOfRange;
    // The side's own reference function, at 0.01 °C too.
    const Its90Deviation& d = sideOf(s, t < kTriplePointC);
    const double dwr =
        subrangeOf(d.subrange)->below ? std::exp(lowLn(t)) * lowLnSlope(t) : highSlope(t);
    return rtd::checked(s.its90.rtpwOhm * dwr / (1 - deviationSlope(d, w)));
}

}  // namespace kelvora::core::its90::prt

namespace kelvora::core {

SensorOrError its90Sensor(double rtpwOhm, std::span<const Its90Given> deviations) {
    using namespace its90::prt;
    Sensor s{Sensor::Kind::its90, ThermocoupleType::K, RtdMaterial::platinum, 0, kIec60751, {}, {}};
    s.its90.rtpwOhm = rtpwOhm;
    if (!(std::isfinite(rtpwOhm) && rtpwOhm >= 1e-200 && rtpwOhm <= 1e200))
        return {s, SensorError::rtpwOutOfReach};
    if (deviations.empty()) return {s, SensorError::noSubrange};
    for (const Its90Given& g : deviations) {
        const Subrange* r = subrangeOf(g.subrange);
        if (r == nullptr) return {s, SensorError::unknownSubrange};
        if (g.coefficients.size() != static_cast<std::size_t>(r->coefficients))
            return {s, SensorError::coefficientCount};
        Its90Deviation& d = r->below ? s.its90.below : s.its90.above;
        if (d.subrange != 0) return {s, SensorError::subrangeTwice};
        d.subrange = static_cast<std::uint8_t>(g.subrange);
        for (std::size_t k = 0; k < g.coefficients.size(); ++k) {
            if (!std::isfinite(g.coefficients[k])) return {s, SensorError::deviationNotFinite};
            d.c[k] = g.coefficients[k];
        }
    }
    for (const Its90Deviation* d : {&s.its90.below, &s.its90.above}) {
        if (d->subrange == 0) continue;
        // |dΔW/dW| is largest at an end of the reach, or (sub-range 7) where its quadratic in
        // W − 1 turns; below, a + b·(ln W + 1 − 1/W) is monotonic.
        const auto [lo, hi] = reachOf(*subrangeOf(d->subrange));
        double steepest =
            std::max(std::fabs(deviationSlope(*d, lo)), std::fabs(deviationSlope(*d, hi)));
        if (d->c[2] != 0) {
            const double turn = 1 - d->c[1] / (3 * d->c[2]);
            if (turn > lo && turn < hi)
                steepest = std::max(steepest, std::fabs(deviationSlope(*d, turn)));
        }
        if (!(steepest < kSteepest)) return {s, SensorError::deviationTooSteep};
    }
    const Limits t = temperaturesOf(s);
    s.its90.rLow = resistanceAt(s, t.lo);
    s.its90.rHigh = resistanceAt(s, t.hi);
    return {s, SensorError::none};
}

}  // namespace kelvora::core
