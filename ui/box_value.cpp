#include "ui/box_value.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace kelvora::ui {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

double boxValue(std::string_view text) {
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i])) ++i;
    };
    const auto peek = [&]() -> char {
        skipBlanks();
        return i < text.size() ? text[i] : '\0';
    };

    bool negative = false;
    if (peek() == '+' || peek() == '-') negative = text[i++] == '-';

    // Mantissa digits without leading zeros, and the decimal exponent of the digit after
    // the last one: value = 0.digits × 10^pointPosition.
    std::string digits;
    long pointPosition = 0;
    bool anyDigit = false;
    while (isDigit(peek())) {
        anyDigit = true;
        if (!digits.empty() || text[i] != '0') {
            digits.push_back(text[i]);
            ++pointPosition;
        }
        ++i;
    }
    if (peek() == '.') {
        ++i;
        while (isDigit(peek())) {
            anyDigit = true;
            if (!digits.empty() || text[i] != '0')
                digits.push_back(text[i]);
            else
                --pointPosition;
            ++i;
        }
    }
    if (!anyDigit) return 0.0;

    // The exponent counts only with at least one digit after the letter and its sign. It is
    // held at a cap beyond anything that could still give a finite, non-zero value: the
    // position of the first digit is at most the text's length away from the point, and a
    // double spans about 10^-324 to 10^308.
    const long exponentCap = static_cast<long>(text.size()) + 1000;
    long exponent = 0;
    if (const char c = peek(); c == 'e' || c == 'E' || c == 'd' || c == 'D') {
        const std::size_t letter = i++;
        bool expNegative = false;
        if (peek() == '+' || peek() == '-') expNegative = text[i++] == '-';
        if (isDigit(peek())) {
            while (isDigit(peek())) {
                if (exponent < exponentCap) exponent = exponent * 10 + (text[i] - '0');
                ++i;
            }
            if (expNegative) exponent = -exponent;
        } else {
            i = letter;
        }
    }

    const double sign = negative ? -1.0 : 1.0;
    if (digits.empty()) return sign * 0.0;
    const long magnitude = pointPosition + exponent;  // value lies in [0.1, 1) × 10^magnitude
    if (magnitude > 400) return sign * std::numeric_limits<double>::infinity();
    if (magnitude < -400) return sign * 0.0;

    // Hand the clean number to from_chars, which reads "." whatever the locale and rounds
    // correctly.
    std::string clean = "0." + digits + "e" + std::to_string(magnitude);
    double value = 0.0;
    const auto res = std::from_chars(clean.data(), clean.data() + clean.size(), value);
    if (res.ec == std::errc::result_out_of_range)
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return sign * value;
}

}  // namespace kelvora::ui
