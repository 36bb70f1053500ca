// A piecewise polynomial characteristic as data: a list of ranges, each with its limits and
// its coefficient table, evaluated by one Horner evaluator.
#pragma once

#include <cmath>
#include <span>

#include "core/conversion.hpp"

namespace kelvora::core {

// The extra term of type K above 0 °C: a0 · exp(a1 · (t - a2)²).
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
// (the core is built with -ffp-contract=off, so no multiply-add is fused).
inline double horner(std::span<const double> c, double x) {
    double r = c.back();
    for (std::size_t i = c.size() - 1; i-- > 0;) r = r * x + c[i];
    return r;
}

// A non-finite value inside a range is a fault, never a result. Once an intermediate of
// Horner's rule is infinite or NaN it stays non-finite to the end, so testing the result
// is enough.
inline double finiteOrThrow(double v, const char* what) {
    if (!std::isfinite(v)) throw ConversionFault(what);
    return v;
}

// The characteristic at x: the first range that contains x, or kOutOfRange when none does.
inline double evaluate(std::span<const Piece> pieces, double x) {
    for (const Piece& p : pieces) {
        if (!p.contains(x)) continue;
        double v = finiteOrThrow(horner(p.c, x), "non-finite polynomial value");
        if (p.exponential != nullptr) {
            const Exponential& k = *p.exponential;
            const double d = x - k.a2;
            const double arg = finiteOrThrow(d * d * k.a1, "non-finite exponent");
            v = finiteOrThrow(v + k.a0 * std::exp(arg), "non-finite exponential term");
        }
        return v;
    }
    return kOutOfRange;
}

}  // namespace kelvora::core
