// Reading a number from an edit box: any bytes at all go to boxValue, whose result must be
// exactly what a second, deliberately plain reading of the same grammar gives.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.hpp"
#include "ui/box_value.hpp"

namespace {

using kelvora::fuzz::fail;
using kelvora::fuzz::isDigit;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// The reference reading, one step at a time and without any arithmetic of its own:
//  1. Blanks may stand anywhere, so drop them all first; what remains reads the same.
//  2. Walk the grammar: [sign] digits ["." digits] [letter [sign] digits], taking each part
//     only when it is complete, and stop at the first character that continues nothing.
//  3. Write what was taken as a plain C number ("-12.5e-3", D turned into e) and let strtod
//     round it: correctly rounded, ±HUGE_VAL beyond the largest double, 0 or a subnormal
//     below the smallest normal one. The process runs in the "C" locale, so "." is the
//     decimal point.
double referenceValue(std::string_view text) {
    std::string s;
    for (const char c : text)
        if (!isBlank(c)) s.push_back(c);

    std::size_t i = 0;
    std::string sign;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) sign = s[i++];
    std::string whole, fraction;
    while (i < s.size() && isDigit(s[i])) whole.push_back(s[i++]);
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) fraction.push_back(s[i++]);
    }
    if (whole.empty() && fraction.empty()) return 0.0;  // no number at all

    std::string exponent;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string expSign;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) expSign = s[j++];
        std::string expDigits;
        while (j < s.size() && isDigit(s[j])) expDigits.push_back(s[j++]);
        if (!expDigits.empty()) exponent = "e" + expSign + expDigits;  // else not part of it
    }

    const std::string clean =
        sign + (whole.empty() ? "0" : whole) + "." + (fraction.empty() ? "0" : fraction) + exponent;
    char* end = nullptr;
    const double value = std::strtod(clean.c_str(), &end);
    if (end != clean.c_str() + clean.size())
        fail("reference: strtod stopped early in %s", clean.c_str());
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    double value = 0, expected = 0;
    try {
        value = kelvora::ui::boxValue(text);
    } catch (const std::exception& ex) {
        fail("boxValue threw: %s", ex.what());
    } catch (...) {
        fail("boxValue threw");
    }
    expected = referenceValue(text);
    // NaN is never a reading; +0 and -0 count as the same reading.
    if (std::isnan(value) || value != expected)
        fail("boxValue gave %a (%.17g), the grammar reads %a (%.17g); text of %zu bytes", value,
             value, expected, expected, size);
    return 0;
}
