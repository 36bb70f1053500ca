// A piecewise polynomial characteristic as data: a list of ranges, each with its limits and
// its coefficient table, evaluated by one Horner evaluator.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <utility>

#include "core/conversion.hpp"
#include "core/portable_exp.hpp"

namespace kelvora::core {

// The extra term of type K above 0 °C: a0 · exp(a1 · (t - a2)²), with the core's own
// exponential (portableExp), so the term has the same bits on every platform.
struct Exponential {
    double a0;  // mV
    double a1;  // 1/°C²
    double a2;  // °C
};

// One range of a characteristic. A limit is either included or excluded; the range test
// uses exactly these comparisons, so a NaN argument matches no range.
struct Piece {
    double lo;
    bool loIncluded;
    double hi;
    bool hiIncluded;
    std::span<const double> c;  // c[0] + c[1]·x + … + c[n]·xⁿ
    const Exponential* exponential = nullptr;

    constexpr bool contains(double x) const {
        return (loIncluded ? x >= lo : x > lo) && (hiIncluded ? x <= hi : x < hi);
    }
};

// Horner's rule from the top coefficient down, every product and sum rounded to double
// (the core is built with -ffp-contract=off, so no multiply-add is fused). The length of
// the table is a constant, so the compiler writes the steps out one after the other: no
// loop, no branch, the same products and sums in the same order.
template <std::size_t N, std::size_t... I>
inline double hornerSteps(const double* c, double x, std::index_sequence<I...>) {
    double r = c[N - 1];
    ((r = r * x + c[N - 2 - I]), ...);  // I = 0, 1, …: c[N-2] down to c[0]
    return r;
}

template <std::size_t N>
inline double horner(const double* c, double x) {
    static_assert(N > 0);
    return hornerSteps<N>(c, x, std::make_index_sequence<N - 1>{});
}

// A non-finite value inside a range is a fault, never a result. Once an intermediate of
// Horner's rule is infinite or NaN it stays non-finite to the end, so testing the result
// is enough.
inline double finiteOrThrow(double v, const char* what) {
    if (!std::isfinite(v)) throw ConversionFault(what);
    return v;
}

// A bound on every value Horner's rule takes on c for lo ≤ x ≤ hi: each intermediate is a
// polynomial in x over some of the coefficients, so none exceeds Σ|c[i]|·max(1, |x|)^i.
constexpr double hornerBound(std::span<const double> c, double lo, double hi) {
    const double m = std::max({1.0, lo < 0 ? -lo : lo, hi < 0 ? -hi : hi});
    double bound = 0, power = 1;
    for (double ci : c) {
        bound += (ci < 0 ? -ci : ci) * power;
        power *= m;
    }
    return bound;
}

// A range whose bound stays this far below the largest double (about 1.8e308) cannot give
// a non-finite polynomial value, rounding and all; the test of the value is left out there.
inline constexpr double kSafeBound = 1e300;

// The characteristic `pieces` (a constant table of ranges) at x: the first range from
// pieces[I] on that contains x, or kOutOfRange when none does. Every range's limits,
// coefficient count and exponential term are constants here, so each range test compiles
// to plain comparisons and each polynomial to straight-line code.
template <const auto& pieces, std::size_t I = 0>
inline double evaluate(double x) {
    if constexpr (I == pieces.size()) {
        return kOutOfRange;
    } else {
        constexpr const Piece& p = pieces[I];
        if (!p.contains(x)) return evaluate<pieces, I + 1>(x);
        double v = horner<p.c.size()>(p.c.data(), x);
        if constexpr (hornerBound(p.c, p.lo, p.hi) >= kSafeBound)
            v = finiteOrThrow(v, "non-finite polynomial value");
        // A plain `if`: under -fsanitize=null GCC 12 does not take a constant's address
        // compared with nullptr as a constant expression. The optimiser folds it all the same.
        if (const Exponential* k = p.exponential) {
            const double d = x - k->a2;
            const double arg = finiteOrThrow(d * d * k->a1, "non-finite exponent");
            v = finiteOrThrow(v + k->a0 * portableExp(arg), "non-finite exponential term");
        }
        return v;
    }
}

}  // namespace kelvora::core
