#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>
#include <string_view>

#include "ui/box_value.hpp"

using kelvora::ui::boxValue;

namespace {

struct Reading {
    const char* name;
    std::string_view text;
    double value;
};

constexpr double kInf = std::numeric_limits<double>::infinity();

const Reading kReadings[] = {
    {"plain integer", "100", 100},
    {"negative fraction", "-6.458", -6.458},
    {"explicit plus", "+20", 20},
    {"leading point", ".5", 0.5},
    {"trailing point", "5.", 5},
    {"negative leading point", "-.25", -0.25},
    {"exponent", "1.5e2", 150},
    {"capital exponent with sign", "2E-3", 0.002},
    {"D exponent", "1D3", 1000},
    {"lower-case d exponent", "2.5d-1", 0.25},
    {"exponent letter without digits", "1e", 1},
    {"exponent sign without digits", "1e+", 1},
    {"exponent letter then text", "7eV", 7},
    {"stops at letters", "12abc", 12},
    {"comma is no decimal point", "1,5", 1},
    {"second point stops", "1.2.3", 1.2},
    {"second sign stops", "5-3", 5},
    {"spaces inside", " 1 2 . 5 ", 12.5},
    {"space after the sign", "- 5", -5},
    {"tab and line feed", "\t3\n4", 34},
    {"spaces in the exponent", "1 e 2", 100},
    {"empty", "", 0},
    {"lone minus", "-", 0},
    {"lone point", ".", 0},
    {"sign then point", "-.", 0},
    {"letters", "abc", 0},
    {"double sign", "--5", 0},
    {"carriage return stops", "\r5", 0},
    {"message t0", "t0超限", 0},
    {"message temperature", "温度超限", 0},
    {"message EMF", "mV超限", 0},
    {"full-width digits are no digits", "１２", 0},
    {"leading zeros", "000012", 12},
    {"many fraction zeros", "0.0000000000000000000000000001", 1e-28},
    {"long mantissa rounds correctly", "0.1000000000000000055511151231257827", 0.1},
    {"too large", "1e999", kInf},
    {"too large negative", "-1e999", -kInf},
    {"huge exponent", "1e99999999999999999999", kInf},
    {"too small", "1e-999", 0},
    {"largest double", "1.7976931348623157e308", std::numeric_limits<double>::max()},
    {"beyond the largest double", "1.8e308", kInf},
    {"zero with a huge exponent", "0e99999", 0},
};

}  // namespace

TEST(BoxValue, ReadsTheNumberTheTextBeginsWith) {
    for (const Reading& r : kReadings) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(boxValue(r.text), r.value) << '"' << r.text << '"';
    }
}

TEST(BoxValue, NegativeZeroAndTinyValuesAreZero) {
    EXPECT_EQ(boxValue("-0"), 0.0);
    EXPECT_EQ(boxValue("-1e-999"), 0.0);
}

namespace {
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};
}  // namespace

TEST(BoxValue, IgnoresTheGlobalLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale(), new CommaDecimal));
    EXPECT_EQ(boxValue("1,5"), 1);
    EXPECT_EQ(boxValue("1.5"), 1.5);
    std::locale::global(previous);
}

TEST(BoxValue, IgnoresTheCLocaleDecimalComma) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8 locale";
    EXPECT_EQ(boxValue("1,5"), 1);
    EXPECT_EQ(boxValue("1.5"), 1.5);
    std::setlocale(LC_ALL, previous.c_str());
}

// A pasted text of a million characters: the exponent's digits must all count, however
// many digits the mantissa has.
TEST(BoxValue, LongMantissaWithALongExponent) {
    const std::string zeros(999700, '0');
    EXPECT_DOUBLE_EQ(boxValue("1" + zeros + "e-1000000"), 1e-300);
    EXPECT_DOUBLE_EQ(boxValue("0." + zeros + "1e1000000"), 1e299);
    // 1 + 2^-53 lies halfway between 1 and the next double: it rounds to even, while a
    // non-zero digit two thousand places on tips it up.
    const std::string half = "1.00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(boxValue(half + std::string(2000, '0')), 1.0);
    EXPECT_EQ(boxValue(half + std::string(2000, '0') + "1"), std::nextafter(1.0, 2.0));
}
