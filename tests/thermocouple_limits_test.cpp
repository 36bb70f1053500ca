// Range limits and range owners of the thermocouple functions, the dispatchers e and t, and
// arguments that are no temperature or EMF at all. Expected values are NIST Monograph 175
// table values and the ITS-90 inverse polynomials at the given EMFs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iomanip>
#include <limits>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "core/thermocouple.hpp"

namespace {

using namespace kelvora::core;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr const char* kOut = "-999";  // exactly kOutOfRange
constexpr const char* kZero = "0";    // exactly 0

struct Type {
    char letter;
    double typ;  // sensor index for e and t
    double (*emf)(double);
    double (*temperature)(double);
};
const Type kTypes[] = {{'S', 0, e_S, t_S}, {'R', 1, e_R, t_R}, {'B', 2, e_B, t_B},
                       {'K', 3, e_K, t_K}, {'N', 4, e_N, t_N}, {'E', 5, e_E, t_E},
                       {'J', 6, e_J, t_J}, {'T', 7, e_T, t_T}};

const Type& type(char letter) {
    return *std::find_if(std::begin(kTypes), std::end(kTypes),
                         [&](const Type& k) { return k.letter == letter; });
}

const auto below = [](double x) { return std::nextafter(x, -kInf); };
const auto above = [](double x) { return std::nextafter(x, kInf); };

// Per type, points of one function: the argument and the "#0.000" text of the result, or
// kOut / kZero for an exact result.
struct Points {
    char letter;
    std::vector<std::pair<double, std::string_view>> at;
};

void check(const char* fn, const std::vector<Points>& table, bool inverse) {
    for (const Points& row : table) {
        const Type& k = type(row.letter);
        for (const auto& [x, want] : row.at) {
            SCOPED_TRACE(testing::Message()
                         << fn << row.letter << '(' << std::setprecision(12) << x << ')');
            const double got = inverse ? k.temperature(x) : k.emf(x);
            if (want == kOut || want == kZero)
                EXPECT_EQ(got, want == kOut ? kOutOfRange : 0.0);
            else
                EXPECT_EQ(formatFixed(got, 3), want);
        }
    }
}

TEST(ThermocoupleEmf, TableValuesAndLimits) {
    // clang-format off
    check("e_", {
        {'K', {{-270, "-6.458"}, {-270.0001, kOut}, {0, "0.000"}, {100, "4.096"}, {1000, "41.276"},
               {1372, "54.886"}, {1372.0001, kOut}}},
        {'S', {{-50, "-0.236"}, {-50.01, kOut}, {0, kZero}, {1000, "9.587"}, {1064.18, "10.334"},
               {1664.5, "17.536"}, {1768.1, "18.694"}, {1768.2, kOut}}},
        {'R', {{-50, "-0.226"}, {0, kZero}, {1000, "10.506"}, {1064.18, "11.364"},
               {1664.5, "19.739"}, {1768.1, "21.103"}}},
        {'B', {{-0.001, kOut}, {0, kZero}, {630.615, "1.978"}, {1000, "4.834"}, {1820, "13.820"},
               {1820.01, kOut}}},
        {'N', {{-270, "-4.345"}, {0, kZero}, {1000, "36.256"}, {1300, "47.513"}}},
        {'E', {{-270, "-9.835"}, {0, kZero}, {1000, "76.373"}}},
        {'J', {{-210, "-8.095"}, {0, kZero}, {760, "42.919"}, {1000, "57.953"}, {1200, "69.553"}}},
        {'T', {{-270, "-6.258"}, {0, kZero}, {100, "4.279"}, {400, "20.872"}}}}, false);
    // clang-format on
    // Type K's exponential term starts at 0 °C, where it does not quite cancel the constant.
    EXPECT_NE(e_K(0), 0.0);
}

TEST(ThermocoupleTemperature, InversePolynomialsAndRangeOwners) {
    // clang-format off
    check("t_", {
        {'K', {{-5.8911, kOut}, {-5.891, "-199.933"}, {0, kZero}, {4.096, "99.963"},
               {20.644, "499.980"}, {20.6441, "499.950"}, {41.276, "999.987"},
               {54.886, "1372.043"}, {54.8861, kOut}}},
        {'B', {{0, kOut}, {0.29, kOut}, {0.291, "249.916"}, {2.4309, "700.026"}, {2.431, "700.067"},
               {4.834, "999.959"}, {13.82, "1819.964"}, {13.8201, kOut}}},
        {'S', {{-0.236, kOut}, {-0.235, "-49.841"}, {0, kZero}, {1.874, "250.054"},
               {9.587, "999.988"}, {11.9499, "1199.956"}, {11.95, "1199.954"},
               {17.536, "1664.505"}, {18.693, "1768.046"}, {18.6931, kOut}}},
        {'R', {{-0.2261, kOut}, {-0.226, "-49.857"}, {0, kZero}, {10.506, "1000.002"},
               {13.2279, "1200.000"}, {13.228, "1200.003"}, {19.739, "1664.513"},
               {21.1029, "1768.115"}, {21.103, kOut}}},
        {'N', {{-3.9901, kOut}, {-3.99, "-199.936"}, {0, kZero}, {20.613, "599.984"},
               {20.6131, "599.998"}, {36.256, "1000.019"}, {47.513, "1299.968"}, {47.5131, kOut}}},
        {'E', {{-8.8251, kOut}, {-8.825, "-199.995"}, {0, kZero}, {76.373, "1000.018"},
               {76.3731, kOut}}},
        {'J', {{-8.0951, kOut}, {-8.095, "-209.955"}, {0, kZero}, {42.9189, "760.042"},
               {42.919, "759.976"}, {50, "870.153"}, {57.953, "1000.008"}, {69.553, "1199.960"},
               {69.5531, kOut}}},
        {'T', {{-5.6031, kOut}, {-5.603, "-199.964"}, {0, kZero}, {4.279, "100.015"},
               {20.872, "399.975"}, {20.8721, kOut}}}}, true);
    // clang-format on
}

// Both ends of every temperature range are included, the ulp beyond them is not. (The EMF
// limits of the inverse are checked to the ulp with the NIST coefficients.)
TEST(ThermocoupleEmf, RangeEndsToTheUlp) {
    const std::tuple<char, double, double> ranges[] = {
        {'S', -50, 1768.1}, {'R', -50, 1768.1}, {'B', 0, 1820},    {'K', -270, 1372},
        {'N', -270, 1300},  {'E', -270, 1000},  {'J', -210, 1200}, {'T', -270, 400}};
    for (const auto& [letter, lo, hi] : ranges) {
        const Type& k = type(letter);
        for (const double x : {lo, hi}) EXPECT_NE(k.emf(x), kOutOfRange) << letter << ' ' << x;
        for (const double x : {below(lo), above(hi)})
            EXPECT_EQ(k.emf(x), kOutOfRange) << letter << ' ' << x;
    }
}

// Where two reference functions meet they agree far below the table resolution.
TEST(ThermocoupleEmf, NeighbouringRangesMeet) {
    const std::pair<char, double> limits[] = {
        {'S', 1064.18}, {'S', 1664.5}, {'R', 1064.18}, {'R', 1664.5}, {'B', 630.615},
        {'K', 0},       {'N', 0},      {'E', 0},       {'T', 0},      {'J', 760}};
    for (const auto& [letter, t] : limits)
        EXPECT_LT(std::fabs(type(letter).emf(t) - type(letter).emf(below(t))), 1e-6)
            << letter << " at " << t;
}

TEST(Dispatch, ThermocoupleIndexSelectsType) {
    EXPECT_EQ(e(2000, 3), kOutOfRange);
    EXPECT_EQ(t(60, 3), kOutOfRange);
    EXPECT_EQ(formatFixed(t(4.096, 3), 3), "99.963");
    for (const Type& k : kTypes) {
        for (const double x : {-100.0, 0.5, 5.0, 100.0, 1000.0, 1500.0}) {
            EXPECT_EQ(e(x, k.typ), k.emf(x)) << k.letter << " at " << x << " °C";
            EXPECT_EQ(t(x, k.typ), k.temperature(x)) << k.letter << " at " << x << " mV";
        }
    }
}

TEST(Dispatch, OtherIndexGivesZero) {
    for (const double typ : {8.0, 9.0, 10.0, 11.0, -1.0, 2.5, kNaN, kInf}) {
        for (const double x : {0.0, 4.096, 100.0, -300.0, kNaN, kInf, -kInf}) {
            EXPECT_EQ(e(x, typ), 0.0) << "typ " << typ << ", x " << x;
            EXPECT_EQ(t(x, typ), 0.0) << "typ " << typ << ", x " << x;
        }
    }
}

// Non-finite and huge arguments are out of range, never a fault. The subnormals around 0
// are in range but for B's inverse (from 0.291 mV) and B below 0 °C.
TEST(ThermocoupleOddInput, OutOfRangeWithoutThrowing) {
    constexpr double tiny = std::numeric_limits<double>::denorm_min();
    for (const Type& k : kTypes) {
        for (const double x : {kNaN, kInf, -kInf, DBL_MAX, -DBL_MAX, tiny, -tiny}) {
            SCOPED_TRACE(testing::Message() << k.letter << " at " << x);
            const bool small = std::fabs(x) < 1;
            double v = 0;
            EXPECT_NO_THROW(v = k.emf(x));
            if (small && !(k.letter == 'B' && x < 0))
                EXPECT_NEAR(v, 0.0, 1e-6);
            else
                EXPECT_EQ(v, kOutOfRange);
            EXPECT_NO_THROW(v = k.temperature(x));
            if (small && k.letter != 'B')
                EXPECT_NEAR(v, 0.0, 1e-6);
            else
                EXPECT_EQ(v, kOutOfRange);
        }
    }
}

}  // namespace
