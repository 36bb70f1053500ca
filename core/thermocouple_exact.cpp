// The exact inverse of the ITS-90 reference functions and their derivative, the Seebeck
// coefficient. Both work on the very tables that e_S … e_T evaluate (its90_coefficients.hpp),
// type K's exponential term included.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

#include "core/error_free.hpp"
#include "core/its90_coefficients.hpp"
#include "core/its90_prt.hpp"
#include "core/piecewise.hpp"
#include "core/portable_exp.hpp"
#include "core/rtd_curves.hpp"
#include "core/sensor.hpp"

namespace kelvora::core {

namespace {

// A value of a range's function and its first three derivatives at one temperature, and a
// bound on the rounding error of the value.
struct Taylor {
    double f, d1, d2, d3;
    double fError;
};

// Horner's rule for p together with p', p''/2 and p'''/6: each step for p feeds the next
// step of its derivatives. p itself takes exactly the products and sums of horner(), so f is
// the reference function's value to the bit. Its rounding error is bounded as it goes, by
// the running error bound of Horner's rule (Higham, Accuracy and Stability of Numerical
// Algorithms, algorithm 5.1), at most a few ulps of the largest intermediate value.
template <std::size_t N>
inline Taylor hornerTaylor(const double* c, double x) {
    double p = c[N - 1], q = 0, r = 0, s = 0;
    const double ax = std::fabs(x);
    double mu = std::fabs(p) / 2;
    for (std::size_t i = N - 1; i-- > 0;) {
        s = s * x + r;
        r = r * x + q;
        q = q * x + p;
        p = p * x + c[i];
        mu = mu * ax + std::fabs(p);
    }
    constexpr double kU = 0x1p-53 * 1.01;  // the unit roundoff, with room for the bound's own
    return {p, q, 2 * r, 6 * s, kU * (2 * mu - std::fabs(p))};
}

// Range I of `pieces` at x, without range test. Type K's term g = a0·exp(a1·(x − a2)²) has
// g' = g·u, g'' = g·(u² + 2a1) and g''' = g·(u³ + 6a1·u) with u = 2a1·(x − a2); it is added
// to the polynomial's value as evaluate() adds it.
template <const auto& pieces, std::size_t I>
inline Taylor taylorAt(double x) {
    constexpr const Piece& p = pieces[I];
    Taylor v = hornerTaylor<p.c.size()>(p.c.data(), x);
    if (const Exponential* k = p.exponential) {
        const double d = x - k->a2;
        const double g = k->a0 * portableExp(d * d * k->a1);
        const double u = 2 * k->a1 * d;
        v.f = v.f + g;
        v.fError += 2 * 0x1p-53 * std::fabs(g) + 0x1p-53 * std::fabs(v.f);
        v.d1 += g * u;
        v.d2 += g * (u * u + 2 * k->a1);
        v.d3 += g * (u * u * u + 6 * k->a1 * u);
    }
    return v;
}

// Below this, Halley's estimate of the error left after a step (°C) ends the search: a
// hundredth of the 1e-9 °C promised.
constexpr double kTolerance = 1e-11;
// Above this, the bound on the rounding of the value divided by the slope (°C) calls for the
// compensated value. The root of the value as rounded lies within that quotient of the true
// root, so below it the two are within half of the 1e-9 °C promised, Halley's error
// included.
constexpr double kRoundingTolerance = 4e-10;

// Near −270 °C the polynomials of types E, K, N and T add terms far larger than their value
// (t¹⁴ is 10³⁴ there), and the double's rounding of the value, divided by a Seebeck
// coefficient of about 1 µV/°C, is worth up to 10⁻⁷ °C: the root found on it is then moved
// to the true root of the polynomial by Newton's steps on its compensated value. Elsewhere
// the rounding is worth less than kRoundingTolerance and nothing more is done.
template <const auto& pieces, std::size_t I>
double refined(double e, double t, const Taylor& at) {
    if (at.fError <= kRoundingTolerance * at.d1) return t;
    constexpr const Piece& p = pieces[I];
    for (int i = 0; i < 4; ++i) {
        double v = compensatedHorner(p.c, t) - e;
        if (const Exponential* k = p.exponential) {
            const double d = t - k->a2;
            v += k->a0 * portableExp(d * d * k->a1);
        }
        const double step = v / at.d1;
        const double next = std::clamp(t - step, p.lo, p.hi);
        if (next == t) break;
        t = next;
    }
    return t;
}

// The root of E(t) = e in range I, E increasing on [lo, hi] with E(lo) ≤ e ≤ E(hi), from the
// start t. Halley's method: from the inverse polynomials' start (within 0.06 °C) one step
// leaves an error of about (3E''² − 2E'E''')/(12E'²) times the cube of the step, far below
// the tolerance in most of the ranges, so one evaluation usually ends it. A step that would
// leave the bracket, which shrinks around the root with every evaluation, halves it instead.
template <const auto& pieces, std::size_t I>
double solveIn(double e, double t, double lo, double hi, bool seeded) {
    for (int i = 0; i < 200; ++i) {
        const Taylor d = taylorAt<pieces, I>(t);
        const double f = d.f - e;
        if (f == 0) return refined<pieces, I>(e, t, d);
        (f < 0 ? lo : hi) = t;
        const double step = 2 * f * d.d1 / (2 * d.d1 * d.d1 - f * d.d2);
        const double next = t - step;
        if (d.d1 > 0 && next >= lo && next <= hi) {
            const double a = std::fabs(step);
            if (next == t || (seeded ? a * a * a * std::fabs(3 * d.d2 * d.d2 - 2 * d.d1 * d.d3) <=
                                           12 * d.d1 * d.d1 * kTolerance
                                     : a <= kTolerance + d.fError / d.d1))
                return refined<pieces, I>(e, next, d);
            t = next;
        } else {
            const double mid = lo + (hi - lo) / 2;
            if (mid == lo || mid == hi) return refined<pieces, I>(e, t, d);
            t = mid;
        }
    }
    return refined<pieces, I>(e, t, taylorAt<pieces, I>(t));
}

// The reference function's value at both ends of each range, each end by its own range's
// polynomial (so a gap or an overlap between two ranges shows).
template <std::size_t N>
struct Ends {
    std::array<double, N> lo, hi;
};

template <const auto& pieces, std::size_t... I>
Ends<sizeof...(I)> endsOf(double lowest, std::index_sequence<I...>) {
    return {{taylorAt<pieces, I>(I == 0 ? lowest : pieces[I].lo).f...},
            {taylorAt<pieces, I>(pieces[I].hi).f...}};
}

// The range whose values reach e, and the root there. Where two ranges do not meet exactly at
// their limit, an e between the end of one range's values and the start of the next (a gap,
// or an overlap a few 1e-11 mV wide where both would give a root) gives the limit itself.
template <const auto& emf, const auto& inverse, std::size_t I = 0>
double solveFrom(double e, const Ends<emf.size()>& ends, double lowest) {
    if constexpr (I + 1 < emf.size()) {
        const double a = std::min(ends.hi[I], ends.lo[I + 1]);
        const double b = std::max(ends.hi[I], ends.lo[I + 1]);
        if (e >= a && e <= b) return emf[I].hi;
        if (e > b) return solveFrom<emf, inverse, I + 1>(e, ends, lowest);
    }
    const double lo = I == 0 ? lowest : emf[I].lo, hi = emf[I].hi;
    if (e <= ends.lo[I]) return lo;
    if (e >= ends.hi[I]) return hi;
    double seed = evaluate<inverse>(e);
    const bool seeded = seed >= lo && seed <= hi;
    if (!seeded) seed = lo + (hi - lo) * ((e - ends.lo[I]) / (ends.hi[I] - ends.lo[I]));
    return solveIn<emf, I>(e, seed, lo, hi, seeded);
}

// The table that makes the exact inverse fast. A type's EMFs are cut into kSegments equal
// segments; across each, the quintic (Hermite) through the general solver's roots at its ends,
// with the first and second derivatives of t(E) there (dt/dE = 1/E′, d²t/dE² = −E″/E′³), is the
// root itself: its error falls with the sixth power of the segment's width, to about 1e-13 °C
// over most of the range, and a call costs one look-up and a polynomial of degree 5, no
// evaluation of E (whose rounding therefore does not count either). Each segment is checked when
// the table is made: at seven points of it the quintic must lie within 5e-11 °C of the general
// solver's root. Where it does not (the cold ends, where the Seebeck coefficient falls and t(E)
// bends fast), the segment is cut into kParts, each with its own quintic and check; a part that
// fails, or that holds a limit between two ranges, is left to the general solver, and so is
// a segment beyond the kSubdivided cut finer.
constexpr int kSegments = 1024;
constexpr int kParts = 16, kSubdivided = 48;  // up to 48 segments a type cut into 16 each
constexpr double kSegmentTolerance = 5e-11;

struct Segment {
    std::array<double, 6> c;  // t = c0 + x·(c1 + x·(c2 + …)), x from 0 to 1 across it
    int piece;                // the range that holds its roots; -1 for the general solver
};

template <const auto& emf, const auto& inverse>
struct ExactInverse {
    double lowest;  // the lowest temperature from which E is single-valued
    Ends<emf.size()> ends;
    // The EMFs taken: those at the ends widened by the rounding of E there, so that every EMF
    // that E gives inside the range is taken, also where its rounding puts it a hair beyond
    // the value at the end (it gives the end).
    double lowestEmf, highestEmf;
    double e0, scale;  // segment k covers (e − e0)·scale from k to k + 1
    std::array<Segment, kSegments> segments;
    // The segments cut finer (piece −2 − i: the i-th kParts of them).
    std::array<Segment, kSubdivided * kParts> parts{};

    explicit ExactInverse(double lowestC)
        : lowest(lowestC), ends(endsOf<emf>(lowestC, std::make_index_sequence<emf.size()>{})) {
        lowestEmf = ends.lo.front() - taylorIn(0, lowest).fError;
        highestEmf = ends.hi.back() + taylorIn(static_cast<int>(kPieces) - 1, emf.back().hi).fError;
        e0 = ends.lo.front();
        scale = kSegments / (ends.hi.back() - e0);
        int subdivided = 0;
        for (int k = 0; k < kSegments; ++k) {
            Segment& s = segments[static_cast<std::size_t>(k)];
            s = quintic(emfAt(k, 0), 1 / scale);
            if (s.piece >= 0 || subdivided == kSubdivided) continue;
            // Where t(E) bends too fast for one quintic (the cold ends, where the Seebeck
            // coefficient falls), kParts of a sixteenth of the width each: 16⁶ times closer.
            Segment* part = &parts[static_cast<std::size_t>(subdivided * kParts)];
            bool any = false;
            for (int j = 0; j < kParts; ++j) {
                part[j] = quintic(emfAt(k, static_cast<double>(j) / kParts), 1 / (scale * kParts));
                any = any || part[j].piece >= 0;
            }
            if (any) s.piece = -2 - subdivided++;
        }
    }

    Limits readings() const { return {lowestEmf, highestEmf, true}; }

    ExactTemperature operator()(double e) const {
        if (!(e >= lowestEmf && e <= highestEmf)) return {kOutOfRange, ExactStatus::outOfRange};
        if (e <= ends.lo.front()) return {lowest, ExactStatus::ok};
        if (e >= ends.hi.back()) return {emf.back().hi, ExactStatus::ok};
        const double u = (e - e0) * scale;
        const int k = std::min(static_cast<int>(u), kSegments - 1);
        const Segment* s = &segments[static_cast<std::size_t>(k)];
        double x = u - k;
        if (s->piece < 0) {
            if (s->piece == -1) return {general(e), ExactStatus::ok};
            const double v = x * kParts;  // exact: kParts is a power of two
            const int j = std::min(static_cast<int>(v), kParts - 1);
            s = &parts[static_cast<std::size_t>((-2 - s->piece) * kParts + j)];
            if (s->piece < 0) return {general(e), ExactStatus::ok};
            x = v - j;
        }
        return {fast(*s, x), ExactStatus::ok};
    }

  private:
    static constexpr std::size_t kPieces = emf.size();

    double emfAt(int k, double x) const { return e0 + (k + x) / scale; }

    // The quintic of t(E) across the EMFs from ea to ea + h, checked at seven points against
    // the general solver; piece -1 where it fails or the roots at its ends lie in two ranges.
    Segment quintic(double ea, double h) const {
        std::array<double, 2> root{}, dtde{}, d2tde2{};
        std::array<int, 2> piece{};
        for (int i = 0; i < 2; ++i) {
            root[i] = general(i == 0 ? ea : ea + h);
            piece[i] = pieceOf(root[i]);
            const Taylor at = piece[i] < 0 ? Taylor{} : taylorIn(piece[i], root[i]);
            dtde[i] = at.d1 > 0 ? 1 / at.d1 : 0;
            d2tde2[i] = -at.d2 * dtde[i] * dtde[i] * dtde[i];
        }
        const double dt = root[1] - root[0];
        const double m0 = dtde[0] * h, m1 = dtde[1] * h;
        const double s0 = d2tde2[0] * h * h, s1 = d2tde2[1] * h * h;
        Segment s{{root[0], m0, s0 / 2, 10 * dt - 6 * m0 - 4 * m1 - (3 * s0 - s1) / 2,
                   -15 * dt + 8 * m0 + 7 * m1 + (3 * s0 - 2 * s1) / 2,
                   6 * dt - 3 * (m0 + m1) - (s0 - s1) / 2},
                  piece[0] == piece[1] && dtde[0] > 0 && dtde[1] > 0 ? piece[0] : -1};
        for (const double x : {0.125, 0.25, 0.375, 0.5, 0.625, 0.75, 0.875}) {
            if (s.piece < 0) break;
            if (!(std::fabs(fast(s, x) - general(ea + x * h)) <= kSegmentTolerance)) s.piece = -1;
        }
        return s;
    }
    // Out of line: the fast path then needs no stack frame.
    [[gnu::noinline]] double general(double e) const {
        return solveFrom<emf, inverse>(e, ends, lowest);
    }

    // The range that holds t, as evaluate() chooses it; -1 outside them all.
    static int pieceOf(double t) {
        for (std::size_t i = 0; i < kPieces; ++i)
            if (emf[i].contains(t)) return static_cast<int>(i);
        return -1;
    }

    template <std::size_t... I>
    static Taylor taylorIn(int piece, double t, std::index_sequence<I...>) {
        Taylor v{};
        (void)((piece == static_cast<int>(I) ? (v = taylorAt<emf, I>(t), true) : false) || ...);
        return v;
    }
    static Taylor taylorIn(int piece, double t) {
        return taylorIn(piece, t, std::make_index_sequence<kPieces>{});
    }

    // The root from the segment's quintic, by Estrin's scheme: pairs of coefficients with x,
    // then with x², so that the products overlap instead of waiting each for the one before.
    static double fast(const Segment& s, double x) {
        const auto& c = s.c;
        const double x2 = x * x;
        return (c[0] + c[1] * x) + x2 * ((c[2] + c[3] * x) + x2 * (c[4] + c[5] * x));
    }
};

// Type B: E falls from 0 mV at 0 °C to its minimum near 21 °C, where E' = 0, and is back at
// 0 mV near 42.13 °C. Both temperatures are found once by halving, to the last bit: the
// minimum as the root of E', the return as the highest temperature with E ≤ 0.
struct TypeB {
    double minimumC, minimumMv, zeroC;
};

const TypeB& typeB() {
    static const TypeB b = [] {
        const auto bisect = [](double lo, double hi, auto below) {
            for (;;) {
                const double mid = lo + (hi - lo) / 2;
                if (mid == lo || mid == hi) return lo;
                (below(mid) ? lo : hi) = mid;
            }
        };
        const auto at = [](double t) { return taylorAt<its90::kEmfB, 0>(t); };
        const double tMin = bisect(0.0, 42.0, [&](double t) { return at(t).d1 < 0; });
        const double tZero = bisect(tMin, 100.0, [&](double t) { return at(t).f <= 0; });
        return TypeB{tMin, at(tMin).f, tZero};
    }();
    return b;
}

template <const auto& emf, const auto& inverse>
const ExactInverse<emf, inverse>& exactInverse() {
    const bool b = static_cast<const void*>(&emf) == static_cast<const void*>(&its90::kEmfB);
    static const ExactInverse<emf, inverse> solver(b ? typeB().zeroC : emf.front().lo);
    return solver;
}

ExactTemperature exactB(double e) {
    if (e <= 0) {
        if (e >= typeB().minimumMv) return {kOutOfRange, ExactStatus::twoTemperatures};
        return {kOutOfRange, ExactStatus::outOfRange};
    }
    return exactInverse<its90::kEmfB, its90::kTemperatureB>()(e);
}

// dE/dt in mV/°C in the range that holds t, chosen as evaluate() chooses it.
template <const auto& pieces, std::size_t I = 0>
double derivative(double t) {
    if constexpr (I == pieces.size()) {
        return kOutOfRange;
    } else {
        if (!pieces[I].contains(t)) return derivative<pieces, I + 1>(t);
        const double d = taylorAt<pieces, I>(t).d1;
        if (!std::isfinite(d)) throw ConversionFault("non-finite slope");
        return d;
    }
}

// f.template operator()<E, T>() with type's reference function E and inverse polynomials T.
template <class F>
auto withTables(ThermocoupleType type, F f) {
    using namespace its90;
    switch (type) {
        case ThermocoupleType::S:
            return f.template operator()<kEmfS, kTemperatureS>();
        case ThermocoupleType::R:
            return f.template operator()<kEmfR, kTemperatureR>();
        case ThermocoupleType::B:
            return f.template operator()<kEmfB, kTemperatureB>();
        case ThermocoupleType::N:
            return f.template operator()<kEmfN, kTemperatureN>();
        case ThermocoupleType::E:
            return f.template operator()<kEmfE, kTemperatureE>();
        case ThermocoupleType::J:
            return f.template operator()<kEmfJ, kTemperatureJ>();
        case ThermocoupleType::T:
            return f.template operator()<kEmfT, kTemperatureT>();
        case ThermocoupleType::K:
            break;
    }
    return f.template operator()<kEmfK, kTemperatureK>();
}

}  // namespace

ExactTemperature exactTemperature(ThermocoupleType type, double emfMv) {
    if (type == ThermocoupleType::B) return exactB(emfMv);
    return withTables(
        type, [emfMv]<const auto & emf, const auto & inverse>() {
            return exactInverse<emf, inverse>()(emfMv);
        });
}

Limits exactTemperatureLimits(ThermocoupleType type) {
    const Limits l = temperatureLimits(thermocoupleSensor(type));
    if (type == ThermocoupleType::B) return {typeB().zeroC, l.hi, l.hiIncluded};
    return l;
}

Limits exactReadingLimits(ThermocoupleType type) {
    Limits l = withTables(
        type, []<const auto & emf, const auto & inverse>() {
            return exactInverse<emf, inverse>().readings();
        });
    if (type == ThermocoupleType::B) {  // above 0 mV only
        l.lo = 0;
        l.loIncluded = false;
    }
    return l;
}

double slope(const Sensor& s, double t) {
    if (s.isIts90()) return its90::prt::slopeAt(s, t);
    if (!s.isThermocouple()) {
        if (!rtd::rangeOf(s.material).contains(t)) return kOutOfRange;
        return rtd::checked(rtd::ratioSlopeOf(s, t) * s.r0Ohm);
    }
    const double d = withTables(
        s.type, [t]<const auto & emf, const auto&>() { return derivative<emf>(t); });
    return d == kOutOfRange ? kOutOfRange : d * 1000;  // mV/°C to µV/°C
}

}  // namespace kelvora::core
