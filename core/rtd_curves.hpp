// The characteristics W(t) = R(t)/R0 of the resistance thermometers, their slopes and their
// inverses, for the window's functions (core/rtd.cpp) and the sensor library alike, so the
// window's four sensors give the same bits through both. Internal to the core.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/bit_cast.hpp"
#include "core/conversion.hpp"
#include "core/sensor.hpp"

namespace kelvora::core::rtd {

// Copper characteristic W = 1 + A·t + B·t² + C·t³.
inline constexpr double kCuA = 4.28899E-3;  // 1/°C
inline constexpr double kCuB = -2.133E-7;   // 1/°C²
inline constexpr double kCuC = 1.233E-9;    // 1/°C³

// Nickel, DIN 43760: W = 1 + A·t + B·t² + D·t⁴ + F·t⁶ (W(100 °C) = 1.6178).
inline constexpr double kNiA = 5.485E-3;    // 1/°C
inline constexpr double kNiB = 6.650E-6;    // 1/°C²
inline constexpr double kNiD = 2.805E-11;   // 1/°C⁴
inline constexpr double kNiF = -2.000E-17;  // 1/°C⁶

// Temperature ranges: platinum and nickel include both ends, copper excludes 150 °C.
inline constexpr Limits kPtRange{-200.0, 850.0, true};
inline constexpr Limits kCuRange{-50.0, 150.0, false};
inline constexpr Limits kNiRange{-60.0, 250.0, true};

// The characteristics without range test, in the order of evaluation that the display
// values follow: (1 + A·t), then + B·t², then the higher-order terms.
constexpr double wPt(double t, const CvdCoefficients& k) {
    double w = 1 + k.a * t;
    w = w + k.b * t * t;
    if (t < 0) w = w + (t - 100) * k.c * t * t * t;
    return w;
}

constexpr double wCu(double t) {
    double w = 1 + kCuA * t;
    w = w + kCuB * t * t;
    return w + kCuC * t * t * t;
}

constexpr double wNi(double t) {
    const double t2 = t * t, t4 = t2 * t2;
    double w = 1 + kNiA * t;
    w = w + kNiB * t2;
    w = w + kNiD * t4;
    return w + kNiF * t4 * t2;
}

// dW/dt.
constexpr double dwPt(double t, const CvdCoefficients& k) {
    double d = k.a + 2 * k.b * t;
    if (t < 0) d += k.c * (4 * t - 300) * t * t;
    return d;
}

constexpr double dwCu(double t) {
    return kCuA + 2 * kCuB * t + 3 * kCuC * t * t;
}

constexpr double dwNi(double t) {
    const double t2 = t * t;
    return kNiA + 2 * kNiB * t + (4 * kNiD + 6 * kNiF * t2) * t2 * t;
}

// A resistance thermometer's range, W(t) and dW/dt by its material, without range test.
constexpr const Limits& rangeOf(RtdMaterial m) {
    return m == RtdMaterial::platinum ? kPtRange : m == RtdMaterial::copper ? kCuRange : kNiRange;
}

inline double ratioOf(const Sensor& s, double t) {
    switch (s.material) {
        case RtdMaterial::platinum:
            return wPt(t, s.cvd);
        case RtdMaterial::copper:
            return wCu(t);
        case RtdMaterial::nickel:
            return wNi(t);
    }
    return 0;
}

inline double ratioSlopeOf(const Sensor& s, double t) {
    switch (s.material) {
        case RtdMaterial::platinum:
            return dwPt(t, s.cvd);
        case RtdMaterial::copper:
            return dwCu(t);
        case RtdMaterial::nickel:
            return dwNi(t);
    }
    return 0;
}

// The resistances R0·W(t) at a range's ends: the window's own limits for its resistance
// thermometers (t_Ohm, rtdResistanceLimits), which it keeps to the bit. Copper's top is the
// resistance at 150 °C, itself excluded.
inline Limits endResistances(const Sensor& s) {
    const Limits& t = rangeOf(s.material);
    return {s.r0Ohm * ratioOf(s, t.lo), s.r0Ohm * ratioOf(s, t.hi), t.hiIncluded};
}

// How far beyond an included end of the range a resistance is still taken, as that end: 4 mK.
// R0·W(t) in doubles may fall an ulp either side of the exact resistance, which would then be
// refused, and so would the decimals of a table that round an end's value outwards: IEC
// 60751's 18.52 Ω for a Pt100 at −200 °C (0.2 mK beyond), DIN 43760's 289.16 Ω for a Ni100 at
// 250 °C (3.6 mK), 1952.41 Ω for a Pt500 at 850 °C (3.0 mK). Under half the 0.01 °C that the
// window and kelvora-cli show, so the end shown is the one the temperature would round to.
inline constexpr double kEndMarginC = 4e-3;

// W just below 150 °C, copper's excluded top: the largest W that the 16 doubles below 150 give.
// W(t) in doubles rounds within about two ulps, while the exact W falls by half an ulp from one
// of those doubles to the next; so no temperature below them gives a larger W either.
inline constexpr double kCuWLast = [] {
    double w = 0;
    for (int k = 1; k <= 16; ++k) w = std::max(w, wCu(kCuRange.hi - k * 0x1p-45));  // ulp(150)
    return w;
}();

// The resistances that the sensor library's `temperature` takes: at an included end, the
// resistance kEndMarginC beyond it (or the end's own, should the curve turn there, as an odd
// certificate's might; or should the margin take platinum's resistance to 0 Ω); at copper's
// excluded top, every resistance that R0·W gives below 150 °C (which may be that of 150 °C
// itself, where the doubles cannot tell them apart), and nothing beyond.
inline Limits takenResistances(const Sensor& s) {
    const Limits& t = rangeOf(s.material);
    const Limits ends = endResistances(s);
    const double below = s.r0Ohm * ratioOf(s, t.lo - kEndMarginC);
    const double lo = below > 0 ? std::min(below, ends.lo) : ends.lo;
    if (!t.hiIncluded) {
        const double last = std::max(s.r0Ohm * kCuWLast, std::nextafter(ends.hi, 0.0));
        return {lo, std::nextafter(last, HUGE_VAL), false};
    }
    return {lo, std::max(s.r0Ohm * ratioOf(s, t.hi + kEndMarginC), ends.hi), true};
}

inline double checked(double v) {
    if (!std::isfinite(v)) throw ConversionFault("non-finite resistance ratio");
    return v;
}

// The root of W(t) = w for an increasing W on [lo, hi] with W(lo) ≤ w ≤ W(hi). Newton's
// method from a start already close (a handful of steps reach the last bit on the standard
// curves); should it not settle, or leave the range, as it may on an odd certificate's
// curve, the root is kept in a shrinking bracket and Newton's steps that would leave it are
// replaced by halving it.
template <class W, class DW>
double solveIncreasing(double w, double t, double lo, double hi, W wOf, DW dwOf) {
    for (int i = 0; i < 8; ++i) {
        const double step = (wOf(t) - w) / dwOf(t);
        t -= step;
        if (std::fabs(step) <= 1e-13 * (1 + std::fabs(t))) {
            if (t >= lo && t <= hi) return checked(t);
            break;
        }
    }
    t = std::clamp(std::isfinite(t) ? t : lo, lo, hi);
    for (int i = 0; i < 200 && lo < hi; ++i) {
        const double f = wOf(t) - w;
        if (f == 0) break;
        (f < 0 ? lo : hi) = t;
        const double d = dwOf(t);
        double next = t - f / d;
        if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
        if (next == t || next == lo || next == hi) break;
        t = next;
    }
    return checked(t);
}

// Platinum: from 0 °C up the characteristic is a quadratic, solved in closed form, written so
// that nothing cancels near 0 °C. Below 0 °C the same root is a close start for Newton's
// method on the full Callendar–Van Dusen equation.
inline double tPt(double w, const CvdCoefficients& k) {
    const double radicand = std::max(0.0, k.a * k.a + 4 * k.b * (w - 1));
    double t0 = 2 * (w - 1) / (k.a + std::sqrt(radicand));
    if (w >= 1) return std::clamp(checked(t0), 0.0, kPtRange.hi);
    if (!std::isfinite(t0)) t0 = (w - 1) / k.a;
    return solveIncreasing(
        w, t0, kPtRange.lo, 0.0, [&k](double t) { return wPt(t, k); },
        [&k](double t) { return dwPt(t, k); });
}

inline double tCu(double w) {
    return solveIncreasing(w, (w - 1) / kCuA, kCuRange.lo, kCuRange.hi, wCu, dwCu);
}

inline double tNi(double w) {
    return solveIncreasing(w, (w - 1) / kNiA, kNiRange.lo, kNiRange.hi, wNi, dwNi);
}

// A certificate's inverse made ahead (PlatinumInverse): on each of the pieces, Chebyshev
// interpolation of the careful inverse tPt (above 0 °C its closed form, unclamped, where the last
// piece reaches beyond 850 °C) at kTerms points, turned into ascending powers of u. The curve's
// nearest turning point is thousands of degrees beyond its range, and a piece a tenth of R0 or
// less, so the interpolant's error falls some fiftyfold a term: below 1e-13 °C with eight. Checked
// when made: at three points between each pair of interpolation points of every piece the fast
// inverse must agree with tPt to 1e-12 °C; where it does not (an odd certificate's curve), the fit
// is dropped and tPt serves.
PlatinumInverse fitPlatinumInverse(double r0, const CvdCoefficients& k);

// The temperature at a resistance r (Ω, within rLow…rHigh) from a fitted inverse: the piece's
// polynomial, no more. The piece is found without a search or a conversion: adding 1.5·2⁵² to x
// (held within the pieces) rounds it to the nearest whole number, which the low bits of the sum
// hold, and subtracting it again gives that number as a double. The chain from r to the
// polynomial's first step is short, and Estrin's scheme overlaps the steps.
inline double tPtFitted(double r, const PlatinumInverse& f) {
    constexpr double kRound = 0x1.8p52;
    const double x = r * f.perOhm - f.bias;
    // Held within the first and last pieces, short of their outer halves' ends so that it
    // rounds to them: only the outer few eighths of those two pieces, and the resistances beyond
    // the ends, are held, so the branches are all but always the same.
    const double held = x < -0.375 ? -0.375 : x > f.top ? f.top : x;
    const double sum = held + kRound;
    const double u = x - (sum - kRound);
    const auto& c = f.c[bitCast<std::uint64_t>(sum) & 0xff];
    static_assert(PlatinumInverse::kTerms == 8 && PlatinumInverse::kPieces <= 0x100);
    const double u2 = u * u, u4 = u2 * u2;
    const double p01 = c[0] + c[1] * u, p23 = c[2] + c[3] * u, p45 = c[4] + c[5] * u,
                 p67 = c[6] + c[7] * u;
    return (p01 + p23 * u2) + (p45 + p67 * u2) * u4;
}

}  // namespace kelvora::core::rtd
