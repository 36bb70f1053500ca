#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/conversion.hpp"

namespace kelvora::core {

namespace {

// Significant decimal digits a double holds reliably (DBL_DIG).
constexpr int kSignificantDigits = 15;

}  // namespace

std::string formatFixed(double v, int decimals) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
    if (decimals < 0) decimals = 0;

    // v as d.dddddddddddddd × 10^exp10, correctly rounded to 15 significant digits by the C
    // library's printf (glibc, MinGW-w64's own stdio and musl all round exactly). Only the
    // digits and the exponent are taken from its text, so the locale's decimal point, which
    // printf follows, does not matter.
    char buf[48];
    const int len = std::snprintf(buf, sizeof buf, "%.*e", kSignificantDigits - 1, std::fabs(v));
    const std::string_view sci(buf, len > 0 ? static_cast<std::size_t>(len) : 0);
    std::string digits;
    digits.reserve(kSignificantDigits);
    std::size_t pos = 0;
    for (; pos < sci.size() && sci[pos] != 'e'; ++pos) {
        if (sci[pos] >= '0' && sci[pos] <= '9') digits.push_back(sci[pos]);
    }
    int exp10 = 0;
    bool expNegative = false;
    if (++pos < sci.size() && (sci[pos] == '+' || sci[pos] == '-')) expNegative = sci[pos++] == '-';
    for (; pos < sci.size(); ++pos) exp10 = exp10 * 10 + (sci[pos] - '0');
    if (expNegative) exp10 = -exp10;

    // Keep the digits down to the requested decimal, then round half away from zero on the
    // first dropped digit. `kept` is then |v| · 10^decimals as a whole number in decimal.
    const int keep = exp10 + 1 + decimals;
    std::string kept;
    bool roundUp = false;
    if (keep >= static_cast<int>(digits.size())) {
        kept = digits + std::string(static_cast<std::size_t>(keep) - digits.size(), '0');
    } else if (keep >= 0) {
        kept = digits.substr(0, static_cast<std::size_t>(keep));
        roundUp = digits[static_cast<std::size_t>(keep)] >= '5';
    }
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0 && kept[static_cast<std::size_t>(i)] == '9'; --i)
            kept[static_cast<std::size_t>(i)] = '0';
        if (i >= 0)
            ++kept[static_cast<std::size_t>(i)];
        else
            kept.insert(kept.begin(), '1');
    }

    // At least one digit before the point.
    if (kept.size() < static_cast<std::size_t>(decimals) + 1)
        kept.insert(0, static_cast<std::size_t>(decimals) + 1 - kept.size(), '0');
    const bool zero = kept.find_first_not_of('0') == std::string::npos;

    std::string out;
    out.reserve(kept.size() + 2);
    if (v < 0 && !zero) out.push_back('-');
    out.append(kept, 0, kept.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0) {
        out.push_back('.');
        out.append(kept, kept.size() - static_cast<std::size_t>(decimals));
    }
    return out;
}

}  // namespace kelvora::core
