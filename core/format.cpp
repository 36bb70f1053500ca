#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/bit_cast.hpp"
#include "core/conversion.hpp"

namespace kelvora::core {

namespace {

// Significant decimal digits a double holds reliably (DBL_DIG).
constexpr int kSignificantDigits = 15;

constexpr std::uint64_t kPow10[] = {
    1ULL,
    10ULL,
    100ULL,
    1000ULL,
    10000ULL,
    100000ULL,
    1000000ULL,
    10000000ULL,
    100000000ULL,
    1000000000ULL,
    10000000000ULL,
    100000000000ULL,
    1000000000000ULL,
    10000000000000ULL,
    100000000000000ULL,
    1000000000000000ULL,
    10000000000000000ULL,
    100000000000000000ULL,
    1000000000000000000ULL,
    10000000000000000000ULL,
};
constexpr int kMaxPow10 = 19;

__extension__ typedef unsigned __int128 Uint128;  // GCC and Clang, on every target here

// a > 0 as n × 10^(exp10 - 14) with 10^14 ≤ n < 10^15, n the exact value rounded to the
// nearest whole number and ties to even, as a correctly rounding printf("%.14e") does.
// Exact in integers: a = m · 2^-s with m < 2^53, so a · 10^k = m · 10^k / 2^s, whose
// numerator fits 128 bits for k ≤ 19. That covers 10^-5 ≤ a < 2^53 and every value a
// sensor gives; false for the others.
bool significantDigits(double a, std::uint64_t& n, int& exp10) {
    const auto bits = bitCast<std::uint64_t>(a);
    const int biased = static_cast<int>(bits >> 52);
    if (biased == 0) return false;  // subnormal
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int s = 1075 - biased;  // a = m · 2^-s
    if (s < 0) return false;      // a ≥ 2^53

    // floor(log10 a) is floor(log10 2^e2) or one more, e2 = floor(log2 a); 78913 / 2^18 is
    // log10 2 closely enough for every e2 here.
    const int e2 = 52 - s;
    exp10 = static_cast<int>(std::floor(e2 * 78913 / 262144.0));
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int k = kSignificantDigits - 1 - exp10;
        if (k < 0 || k > kMaxPow10 || s > 127) return false;
        const Uint128 p = static_cast<Uint128>(m) * kPow10[k];
        const Uint128 whole = p >> s;
        if (whole >= kPow10[kSignificantDigits]) {
            ++exp10;  // the estimate was one short
            continue;
        }
        if (whole < kPow10[kSignificantDigits - 1]) return false;
        n = static_cast<std::uint64_t>(whole);
        if (s > 0) {
            const Uint128 rest = p - (whole << s);
            const Uint128 half = Uint128{1} << (s - 1);
            if (rest > half || (rest == half && (n & 1) != 0)) ++n;
        }
        if (n == kPow10[kSignificantDigits]) {  // 9.99…95 rounded up to 10
            n = kPow10[kSignificantDigits - 1];
            ++exp10;
        }
        return true;
    }
    return false;
}

}  // namespace

std::string formatFixed(double v, int decimals) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
    if (decimals < 0) decimals = 0;

    // |v| as d.dddddddddddddd × 10^exp10, correctly rounded to 15 significant digits: in
    // integers where that is exact, else by the C library's printf (glibc, MinGW-w64's own
    // stdio and musl all round exactly), whose digits and exponent alone are taken, so the
    // locale's decimal point does not matter. Both ways give the same digits.
    std::string digits;
    digits.reserve(kSignificantDigits);
    int exp10 = 0;
    std::uint64_t n = 0;
    if (v == 0) {
        digits.assign(kSignificantDigits, '0');
    } else if (significantDigits(std::fabs(v), n, exp10)) {
        digits.resize(kSignificantDigits);
        for (int i = kSignificantDigits - 1; i >= 0; --i, n /= 10)
            digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + n % 10);
    } else {
        char buf[48];
        const int len =
            std::snprintf(buf, sizeof buf, "%.*e", kSignificantDigits - 1, std::fabs(v));
        const std::string_view sci(buf, len > 0 ? static_cast<std::size_t>(len) : 0);
        std::size_t pos = 0;
        for (; pos < sci.size() && sci[pos] != 'e'; ++pos) {
            if (sci[pos] >= '0' && sci[pos] <= '9') digits.push_back(sci[pos]);
        }
        exp10 = 0;
        bool expNegative = false;
        if (++pos < sci.size() && (sci[pos] == '+' || sci[pos] == '-'))
            expNegative = sci[pos++] == '-';
        for (; pos < sci.size(); ++pos) exp10 = exp10 * 10 + (sci[pos] - '0');
        if (expNegative) exp10 = -exp10;
    }

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

std::string formatTrimmed(double v, int decimals) {
    std::string s = formatFixed(v, decimals);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

std::string formatSignificant(double v, int significant) {
    if (v == 0 || !std::isfinite(v)) return formatTrimmed(v, 0);
    significant = significant < 1                    ? 1
                  : significant > kSignificantDigits ? kSignificantDigits
                                                     : significant;
    // The decimals that leave `significant` digits: from the position of the first digit,
    // taken from the value rounded to its 15 digits (99.99999999999999 counts as 100).
    const std::string whole = formatFixed(std::fabs(v), 0);
    int firstDigit = static_cast<int>(whole.size()) - 1;  // 10^firstDigit ≤ |v|
    if (whole == "0") {
        const std::string small = formatFixed(std::fabs(v), 330);
        firstDigit = -static_cast<int>(small.find_first_not_of("0.") - 1);
    }
    const int decimals = significant - 1 - firstDigit;
    return formatTrimmed(v, decimals < 0 ? 0 : decimals);
}

}  // namespace kelvora::core
