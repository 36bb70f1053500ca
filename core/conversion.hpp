// What every conversion function of the core shares: the out-of-range result, the
// exception for a floating-point fault, and the display formatter.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvora::core {

// Returned by every conversion function for an argument outside all of its ranges
// (NaN and ±infinity included), before any arithmetic. Callers test for r <= -999.
inline constexpr double kOutOfRange = -999.0;

// A non-finite intermediate result inside a conversion (invalid operation, division by
// zero, overflow). The range tests keep every input away from this; should it happen all
// the same it is thrown to the caller, never returned as a value.
class ConversionFault : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The limits of a range: lo ≤ x ≤ hi, or lo ≤ x < hi when hi is not included (and lo < x
// when lo is not).
struct Limits {
    double lo;
    double hi;
    bool hiIncluded;
    bool loIncluded = true;

    constexpr bool contains(double x) const {
        return (loIncluded ? x >= lo : x > lo) && (hiIncluded ? x <= hi : x < hi);
    }
};

// Fixed-point display text of v with `decimals` digits after the point ("#0.00" is
// formatFixed(v, 2), "#0.000" is formatFixed(v, 3)): "." as decimal point whatever the
// locale, at least one digit before it, no grouping, no exponent. The value is taken to
// the 15 significant digits a double carries and then rounded half away from zero, so
// 138.5055 (held as 138.50549999999998) shows as 138.51. A value that rounds to zero shows
// without a minus sign. NaN and infinities show as "nan", "inf" and "-inf".
std::string formatFixed(double v, int decimals);

// formatFixed(v, decimals) without the zeros at the end of its decimals, and without the point
// when none is left: 1768.1, -5.891, 1000, 0.
std::string formatTrimmed(double v, int decimals);

// v with `significant` significant digits (1 to 15) and no zeros at the end, in fixed point
// whatever its size: 0.0039083, -0.000000000004183, 1000. NaN and infinities as formatFixed.
std::string formatSignificant(double v, int significant = 15);

// A number written as digits with at most one point and nothing else ("1000", "100.05", ".5";
// no sign, exponent or blank), read the same whatever the locale; none otherwise, or when its
// whole part has 40 digits or more.
std::optional<double> plainNumber(std::string_view s);

}  // namespace kelvora::core
