// Resistance thermometers (Callendar–Van Dusen platinum to IEC 60751, copper) and the
// display formatter. Resistances are IEC 60751 table values for Pt100 and the copper
// characteristic W = 1 + A·t + B·t² + C·t³ with R0 = 100 Ω and 50 Ω.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <iomanip>
#include <limits>
#include <locale>
#include <string>
#include <string_view>

#include "core/rtd.hpp"

namespace {

using namespace kelvora::core;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const std::u8string_view kOutOfRangeU8 = u8"\u6E29\u5EA6\u8D85\u9650";  // 温度超限

TEST(RtdResistance, DisplayTexts) {
    struct Case {
        double t, typ;
        std::string want;
    };
    const std::string x(reinterpret_cast<const char*>(kOutOfRangeU8.data()), kOutOfRangeU8.size());
    const Case cases[] = {
        {0, 8, "100.00"},   {0, 9, "10.00"},    {0, 10, "100.00"},   {0, 11, "50.00"},
        {-200, 8, "18.52"}, {-100, 8, "60.26"}, {100, 8, "138.51"},  {850, 8, "390.48"},
        {-200.01, 8, x},    {850.01, 8, x},     {1000, 8, x},        {-200, 9, "1.85"},
        {850, 9, "39.05"},  {-50, 10, "78.49"}, {100, 10, "142.80"}, {149.99, 10, "164.27"},
        {150, 10, x},       {-50.01, 10, x},    {-50, 11, "39.24"},  {100, 11, "71.40"},
        {150, 11, x},       {-100, 11, x},      {kNaN, 8, x},        {kInf, 9, x},
        {-kInf, 10, x},     {kNaN, 11, x},      {kInf, 11, x},       {-kInf, 8, x},
        {100, 0, ""},       {100, 7, ""},       {0, -1, ""},         {0, 2.5, ""},
        {0, 12, ""},        {kNaN, 3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "r_T(" << std::setprecision(12) << c.t << ", " << c.typ << ")");
        EXPECT_NO_THROW(EXPECT_EQ(r_T(c.t, c.typ), c.want));
    }
    EXPECT_EQ(r_Pt(0), 1.0);
    EXPECT_EQ(r_Cu(0), 1.0);
    for (const double odd : {kNaN, kInf, -kInf}) {
        EXPECT_EQ(r_Pt(odd), kOutOfRange);
        EXPECT_EQ(r_Cu(odd), kOutOfRange);
        EXPECT_EQ(t_Pt(odd), kOutOfRange);
        EXPECT_EQ(t_Cu(odd), kOutOfRange);
    }
}

// The characteristics themselves, evaluated here in long double: Callendar–Van Dusen with
// the IEC 60751 constants (the C term below 0 °C only) and the copper cubic.
TEST(RtdResistance, RatiosFollowTheirEquations) {
    for (double t = -200; t <= 850; t += 0.7) {
        const long double x = t, c = t < 0 ? -4.183e-12L * (x - 100) * x * x * x : 0;
        ASSERT_NEAR(r_Pt(t), 1 + 3.9083e-3L * x - 5.775e-7L * x * x + c, 1e-14) << t;
    }
    for (double t = -50; t < 150; t += 0.3) {
        const long double x = t,
                          w = 1 + 4.28899e-3L * x - 2.133e-7L * x * x + 1.233e-9L * x * x * x;
        ASSERT_NEAR(r_Cu(t), w, 1e-14) << t;
    }
}

struct Rtd {
    double typ, r0;
    double (*w)(double);
    double tLo, tHi;  // the top limit is outside for copper
};
constexpr Rtd kRtds[] = {{8, 100, r_Pt, -200, 850},
                         {9, 10, r_Pt, -200, 850},
                         {10, 100, r_Cu, -50, 150},
                         {11, 50, r_Cu, -50, 150}};

// The copper ratio at 150 °C, which r_Cu no longer gives.
constexpr double kCuW150 =
    1 + 4.28899e-3 * 150 + -2.133e-7 * 150 * 150 + 1.233e-9 * 150 * 150 * 150;

TEST(RtdTemperature, RangeInOhmsToTheUlp) {
    for (const Rtd& s : kRtds) {
        SCOPED_TRACE(testing::Message() << "typ " << s.typ);
        const bool copper = s.w == r_Cu;
        const double lo = s.r0 * s.w(s.tLo), hi = copper ? s.r0 * kCuW150 : s.r0 * s.w(s.tHi);
        const double last = copper ? std::nextafter(hi, 0.0) : hi;
        EXPECT_NEAR(t_Ohm(lo, s.typ), s.tLo, 1e-9);
        EXPECT_NEAR(t_Ohm(last, s.typ), s.tHi, 1e-9);
        EXPECT_TRUE(!copper || t_Ohm(last, s.typ) < s.tHi) << "150 °C is outside";
        for (const double r :
             {std::nextafter(lo, 0.0), std::nextafter(last, kInf), kNaN, kInf, -kInf})
            EXPECT_NO_THROW(EXPECT_EQ(t_Ohm(r, s.typ), kOutOfRange)) << r;
    }
    for (const double typ : {0.0, 3.0, 7.0, -1.0, 2.5, 12.0})
        for (const double r : {100.0, 138.5055, kNaN})
            EXPECT_EQ(t_Ohm(r, typ), 0.0) << "typ " << typ << ", " << r << " ohm";
    EXPECT_NEAR(t_Ohm(138.5055, 8), 100.0, 1e-9);
}

TEST(RtdTemperature, RoundTripsOverWholeRange) {
    for (const Rtd& s : kRtds) {
        SCOPED_TRACE(testing::Message() << "typ " << s.typ);
        for (double t = s.tLo; t < s.tHi; t += 0.37) {
            ASSERT_NEAR(t_Ohm(s.r0 * s.w(t), s.typ), t, 1e-6) << "t = " << t;
        }
        const double lo = s.r0 * s.w(s.tLo), hi = s.r0 * s.w(std::nextafter(s.tHi, 0.0));
        for (double r = lo; r < hi; r += (hi - lo) / 2999) {
            ASSERT_NEAR(s.r0 * s.w(t_Ohm(r, s.typ)), r, 1e-9 * s.r0) << "r = " << r;
        }
    }
}

TEST(FormatFixed, RoundsHalfAwayFromZeroAtFifteenDigits) {
    struct Case {
        double v;
        int decimals;
        const char* want;
    };
    // clang-format off
    const Case cases[] = {
        {3.2981105, 3, "3.298"}, {0, 3, "0.000"}, {-6.458, 3, "-6.458"},
        {246.221956, 2, "246.22"}, {100, 2, "100.00"}, {138.5055, 2, "138.51"},
        {-0.0004, 3, "0.000"}, {-0.0, 2, "0.00"}, {0.005, 2, "0.01"}, {-0.005, 2, "-0.01"},
        {9.995, 2, "10.00"}, {99999.9999, 2, "100000.00"}, {1e20, 2, "100000000000000000000.00"},
        {1e-300, 2, "0.00"}, {0.125, 2, "0.13"}, {2.675, 2, "2.68"},
        // At the fifteenth digit an exact tie goes to even, as printf rounds; a carry there
        // adds a digit. Then 1.5e-5 and 9.5e-6, held a hair below, are halves again.
        {100000000000000.5, 1, "100000000000000.0"}, {100000000000001.5, 1, "100000000000002.0"},
        {9.999999999999996, 14, "10.00000000000000"}, {1000000000000000.5, 1, "1000000000000000.0"},
        {0.000015, 5, "0.00002"}, {0.0000095, 5, "0.00001"}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "formatFixed(" << std::setprecision(12) << c.v << ", "
                                        << c.decimals << ")");
        EXPECT_EQ(formatFixed(c.v, c.decimals), c.want);
    }
}

// "." whatever the global C++ locale or the C locale (where one with a decimal comma exists).
TEST(FormatFixed, IgnoresGlobalLocale) {
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale old = std::locale::global(std::locale(std::locale::classic(), new Comma));
    EXPECT_EQ(formatFixed(-1234567.125, 2), "-1234567.13");
    std::locale::global(old);
}

TEST(FormatFixed, IgnoresCLocale) {
    const std::string old = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8 locale";
    EXPECT_EQ(formatFixed(-1234567.125, 2), "-1234567.13");
    std::setlocale(LC_ALL, old.c_str());
}

}  // namespace
