// Error-free transformations of double arithmetic, for compensated Horner's rule (Graillat,
// Langlois and Louvet 2005): a product or a sum and its exact rounding error. Without a fused
// multiply-add (the core is built with -ffp-contract=off) the product's error comes from
// Dekker's splitting. Internal to the core.
#pragma once

#include <span>

namespace kelvora::core {

// a = hi + lo, each with at most 26 significant bits.
struct Split {
    double hi, lo;
};
inline Split split(double a) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    const double hi = c - (c - a);
    return {hi, a - hi};
}

// A rounded result and its rounding error: the exact result is value + error.
struct Exact {
    double value, error;
};

// a·b, b given already split.
inline Exact twoProduct(double a, double b, Split bs) {
    const double p = a * b;
    const Split as = split(a);
    return {p, as.lo * bs.lo - (((p - as.hi * bs.hi) - as.lo * bs.hi) - as.hi * bs.lo)};
}

inline Exact twoSum(double a, double b) {
    const double s = a + b;
    const double z = s - a;
    return {s, (a - (s - z)) + (b - z)};
}

// c[0] + c[1]·x + … + c[n]·xⁿ by Horner's rule with the error of every product and sum carried
// along and added back at the end: as accurate as Horner's rule in twice the double's precision.
inline double compensatedHorner(std::span<const double> c, double x) {
    const Split xs = split(x);
    double s = c.back(), r = 0;
    for (std::size_t i = c.size() - 1; i-- > 0;) {
        const Exact p = twoProduct(s, x, xs);
        const Exact sum = twoSum(p.value, c[i]);
        s = sum.value;
        r = r * x + (p.error + sum.error);
    }
    return s + r;
}

}  // namespace kelvora::core
