#include "ui/box_value.hpp"

#include <cmath>
#include <cstdlib>
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

// Significant digits of a mantissa that can decide how it rounds to a double.
constexpr std::size_t kEnoughDigits = 800;

}  // namespace

bool isNumberText(std::string_view text) {
    std::size_t i = 0, digits = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    for (; i < text.size() && isDigit(text[i]); ++i) ++digits;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && isDigit(text[i]); ++i) ++digits;
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i) ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == text.size();
}

std::optional<double> numberValue(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (!isNumberText(text)) return std::nullopt;
    return boxValue(text);
}

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

    // Past its 767th significant digit a decimal number can no longer move a double's
    // rounding, save for whether any digit beyond is non-zero; keep a little more and mark
    // the rest with one non-zero digit. Some C libraries (MinGW-w64's) misread mantissas of
    // a million digits, which a pasted text can hold.
    if (digits.size() > kEnoughDigits) {
        const bool nonZeroBeyond =
            digits.find_first_not_of('0', kEnoughDigits) != std::string::npos;
        digits.resize(kEnoughDigits);
        if (nonZeroBeyond) digits.push_back('1');
    }
    // Hand the clean number to strtod, which rounds correctly (glibc, MinGW-w64's own stdio
    // and musl alike), written as whole digits and an exponent: with no decimal point in it,
    // the locale's decimal point cannot change the reading. Beyond the largest double strtod
    // gives infinity, below the smallest subnormal 0.
    const std::string clean =
        digits + "e" + std::to_string(magnitude - static_cast<long>(digits.size()));
    const double value = std::strtod(clean.c_str(), nullptr);
    return sign * value;
}

}  // namespace kelvora::ui
