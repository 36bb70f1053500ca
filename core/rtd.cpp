#include "core/rtd.hpp"

#include <algorithm>
#include <cmath>
#include <string>

namespace kelvora::core {

namespace {

// Callendar–Van Dusen coefficients of IEC 60751 for industrial platinum thermometers.
constexpr double kPtA = 3.9083E-3;   // 1/°C
constexpr double kPtB = -5.775E-7;   // 1/°C²
constexpr double kPtC = -4.183E-12;  // 1/°C⁴, below 0 °C only

// Copper characteristic W = 1 + A·t + B·t² + C·t³.
constexpr double kCuA = 4.28899E-3;  // 1/°C
constexpr double kCuB = -2.133E-7;   // 1/°C²
constexpr double kCuC = 1.233E-9;    // 1/°C³

constexpr double kPtLow = -200.0, kPtHigh = 850.0;  // both included
constexpr double kCuLow = -50.0, kCuHigh = 150.0;   // 150 °C itself is outside

// The characteristics without range test, in the order of evaluation that the display
// values follow: (1 + A·t), then + B·t², then the third-order term.
constexpr double wPt(double t) {
    double w = 1 + kPtA * t;
    w = w + kPtB * t * t;
    if (t < 0) w = w + (t - 100) * kPtC * t * t * t;
    return w;
}

constexpr double wCu(double t) {
    double w = 1 + kCuA * t;
    w = w + kCuB * t * t;
    return w + kCuC * t * t * t;
}

// dW/dt, for Newton's method.
constexpr double dwPt(double t) {
    double d = kPtA + 2 * kPtB * t;
    if (t < 0) d += kPtC * (4 * t - 300) * t * t;
    return d;
}

constexpr double dwCu(double t) {
    return kCuA + 2 * kCuB * t + 3 * kCuC * t * t;
}

constexpr double kPtWLow = wPt(kPtLow), kPtWHigh = wPt(kPtHigh);
constexpr double kCuWLow = wCu(kCuLow), kCuWHigh = wCu(kCuHigh);

double checked(double w) {
    if (!std::isfinite(w)) throw ConversionFault("non-finite resistance ratio");
    return w;
}

// Newton's method on W(t) = w from a start already within a fraction of a degree; the
// characteristics are smooth and monotonic on their ranges, so a handful of steps reach
// the last bit.
template <class W, class DW>
double solve(double w, double t, W wOf, DW dwOf) {
    for (int i = 0; i < 8; ++i) {
        const double step = (wOf(t) - w) / dwOf(t);
        t -= step;
        if (std::fabs(step) <= 1e-13 * (1 + std::fabs(t))) break;
    }
    return checked(t);
}

}  // namespace

double r_Pt(double t) {
    if (!(t >= kPtLow && t <= kPtHigh)) return kOutOfRange;
    return checked(wPt(t));
}

double r_Cu(double t) {
    if (!(t >= kCuLow && t < kCuHigh)) return kOutOfRange;
    return checked(wCu(t));
}

double r_Ohm(double t1, double typ) {
    double r;
    if (typ == 8)
        r = r_Pt(t1) * 100;
    else if (typ == 9)
        r = r_Pt(t1) * 10;
    else if (typ == 10)
        r = r_Cu(t1) * 100;
    else if (typ == 11)
        r = r_Cu(t1) * 50;
    else
        return 0.0;
    // The out-of-range result is scaled by R0 too; every R0 is at least 10 and every
    // resistance in range is positive, so the test still tells them apart.
    return r <= kOutOfRange ? kOutOfRange : r;
}

std::string r_T(double t1, double typ) {
    if (!(typ == 8 || typ == 9 || typ == 10 || typ == 11)) return {};
    const double r = r_Ohm(t1, typ);
    if (r <= kOutOfRange) return "温度超限";
    return formatFixed(r, 2);
}

Limits rtdTemperatureLimits(double typ) {
    if (typ == 10 || typ == 11) return {kCuLow, kCuHigh, false};
    return {kPtLow, kPtHigh, true};
}

Limits rtdResistanceLimits(double typ) {
    const double r0 = typ == 8 || typ == 10 ? 100 : typ == 9 ? 10 : 50;
    if (typ == 10 || typ == 11) return {r0 * kCuWLow, r0 * kCuWHigh, false};
    return {r0 * kPtWLow, r0 * kPtWHigh, true};
}

double t_Pt(double w) {
    if (!(w >= kPtWLow && w <= kPtWHigh)) return kOutOfRange;
    // From 0 °C up the characteristic is a quadratic: closed form, written so that nothing
    // cancels near 0 °C. Below 0 °C the same root is a close start for Newton's method on
    // the full Callendar–Van Dusen equation.
    const double t0 = 2 * (w - 1) / (kPtA + std::sqrt(kPtA * kPtA + 4 * kPtB * (w - 1)));
    const double t = w >= 1 ? checked(t0) : solve(w, t0, wPt, dwPt);
    return std::clamp(t, kPtLow, kPtHigh);
}

double t_Cu(double w) {
    if (!(w >= kCuWLow && w < kCuWHigh)) return kOutOfRange;
    const double t = solve(w, (w - 1) / kCuA, wCu, dwCu);
    return std::clamp(t, kCuLow, std::nextafter(kCuHigh, 0.0));
}

double t_Ohm(double r, double typ) {
    double r0;
    double (*inverse)(double);
    double wLow, wHigh;
    if (typ == 8 || typ == 9) {
        r0 = typ == 8 ? 100 : 10;
        inverse = t_Pt;
        wLow = kPtWLow;
        wHigh = kPtWHigh;
        if (!(r >= r0 * wLow && r <= r0 * wHigh)) return kOutOfRange;
    } else if (typ == 10 || typ == 11) {
        r0 = typ == 10 ? 100 : 50;
        inverse = t_Cu;
        wLow = kCuWLow;
        wHigh = std::nextafter(kCuWHigh, 0.0);
        if (!(r >= r0 * wLow && r < r0 * kCuWHigh)) return kOutOfRange;
    } else {
        return 0.0;
    }
    // The range is tested in ohms, as the resistances R0·W(t) at the limits; dividing by
    // R0 may move a limit resistance by an ulp, so the ratio is held inside the range.
    return inverse(std::clamp(r / r0, wLow, wHigh));
}

}  // namespace kelvora::core
