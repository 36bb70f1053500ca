// ITS-90 platinum thermometers: the reference functions against the defining fixed points'
// Wr of the scale's text, their exact inverse against the approximate inverse functions'
// published 0.1 mK, the deviation functions against their closed forms, an ITS-90 thermometer
// both ways and its refusals, and the fit of a sub-range's deviation coefficients.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/its90_fit.hpp"
#include "core/its90_prt.hpp"
#include "core/sensor.hpp"

namespace {

using namespace kelvora::core;
namespace prt = kelvora::core::its90::prt;

// The defining fixed points and their Wr(T90): "The International Temperature Scale of 1990",
// Metrologia 27, 3–10 (1990), Tables 1 and 4.
struct FixedPoint {
    const char* name;
    double t90C, wr;
};
constexpr FixedPoint kFixedPoints[] = {
    {"argon", -189.3442, 0.21585975}, {"mercury", -38.8344, 0.84414211},
    {"water", 0.01, 1.00000000},      {"gallium", 29.7646, 1.11813889},
    {"indium", 156.5985, 1.60980185}, {"tin", 231.928, 1.89279768},
    {"zinc", 419.527, 2.56891730},    {"aluminium", 660.323, 3.37600860},
    {"silver", 961.78, 4.28642053},
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double ulp(double v) {
    return std::nextafter(std::fabs(v), INFINITY) - std::fabs(v);
}

Sensor its90(double rtpw, std::vector<Its90Given> given) {
    const SensorOrError s = its90Sensor(rtpw, given);
    EXPECT_TRUE(s.ok()) << describe(s.error);
    return s.sensor;
}

// Deviation coefficients of the size a certificate gives.
constexpr double kDev4[] = {-1.2e-4, -2.5e-5}, kDev5[] = {-1.1e-4, 1.5e-5};
constexpr double kDev7[] = {-1.6e-4, 1.2e-5, -2.0e-6}, kDev8[] = {-1.5e-4, 1.0e-5};
constexpr double kDev9[] = {-1.4e-4, 8.0e-6}, kDev10[] = {-1.3e-4}, kDev11[] = {2.0e-5};
constexpr double kZero1[] = {0}, kZero2[] = {0, 0}, kZero3[] = {0, 0, 0};

// Every sub-range, each paired with one of the other side.
std::vector<Sensor> certificates() {
    return {its90(25.5, {{4, kDev4}, {7, kDev7}}),
            its90(25.49, {{5, kDev5}, {8, kDev8}}),
            its90(100.02, {{4, kDev4}, {9, kDev9}}),
            its90(0.25, {{5, kDev5}, {10, kDev10}}),
            its90(25.5, {{11, kDev11}}),
            its90(2.5, {{4, kDev4}})};
}

// With no deviation, W is Wr: each fixed point's table value to the text's 1e-8.
TEST(Its90Prt, FixedPointsGiveTheirTableWr) {
    const Sensor zero = its90(25, {{4, kZero2}, {7, kZero3}});
    for (const FixedPoint& p : kFixedPoints) {
        EXPECT_NEAR(prt::referenceRatio(p.t90C), p.wr, 1e-8) << p.name;
        if (p.t90C <= 660.323) {
            EXPECT_NEAR(reading(zero, p.t90C) / 25, p.wr, 1e-8) << p.name;
        }
    }
    EXPECT_EQ(prt::referenceRatio(0.01), 1.0);
    EXPECT_EQ(prt::referenceRatio(std::nextafter(prt::kLowestC, -300)), kOutOfRange);
    EXPECT_EQ(prt::referenceRatio(std::nextafter(961.78, 1e4)), kOutOfRange);
    EXPECT_EQ(prt::referenceRatio(kNaN), kOutOfRange);
}

// The exact inverse: the root within 1e-6 K, Wr on either side of it; the approximate
// inverse functions within the scale's 0.1 mK of it below 0.01 °C, and above within 0.14 mK,
// all their rounded coefficients reach near 860 °C.
TEST(Its90Prt, ExactInverseOfTheReferenceFunction) {
    for (double t = prt::kLowestC; t <= 961.78; t += 0.0731) {
        const double wr = prt::referenceRatio(t);
        const double found = prt::referenceTemperature(wr);
        if (found - 1e-6 >= prt::kLowestC) {
            EXPECT_LT(prt::referenceRatio(found - 1e-6), wr) << t;
        }
        if (found + 1e-6 <= 961.78) {
            EXPECT_GT(prt::referenceRatio(found + 1e-6), wr) << t;
        }
        EXPECT_NEAR(prt::approximateTemperature(wr), found, t < 0.01 ? 1.0e-4 : 1.4e-4) << t;
    }
    for (const FixedPoint& p : kFixedPoints)  // Wr to 1e-8 is 3 µK at most
        EXPECT_NEAR(prt::referenceTemperature(p.wr), p.t90C, 3e-6) << p.name;
    EXPECT_EQ(prt::referenceTemperature(1.0), 0.01);
    EXPECT_EQ(prt::referenceTemperature(prt::referenceRatio(prt::kLowestC) * (1 - 1e-15)),
              kOutOfRange);
    EXPECT_EQ(prt::referenceTemperature(4.3), kOutOfRange);
    EXPECT_EQ(prt::referenceTemperature(kNaN), kOutOfRange);
}

// W from t solves W − ΔW(W) = Wr(t); for the deviation functions that are linear or quadratic
// in W − 1 the root has a closed form, here from the table's Wr at the fixed points.
TEST(Its90Prt, DeviationFunctionsClosedForms) {
    const Sensor s10 = its90(1, {{10, kDev10}});
    const Sensor s8 = its90(1, {{8, kDev8}});
    const double a10 = kDev10[0], a8 = kDev8[0], b8 = kDev8[1];
    const double in = 1.60980185, zn = 2.56891730, sn = 1.89279768;
    // (1 − a)·x = Wr − 1
    EXPECT_NEAR(reading(s10, 156.5985), 1 + (in - 1) / (1 - a10), 1.1e-8);
    // b·x² + (a − 1)·x + (Wr − 1) = 0, the root near Wr − 1
    const auto quadratic = [&](double wr) {
        return 1 + 2 * (wr - 1) / ((1 - a8) + std::sqrt((1 - a8) * (1 - a8) - 4 * b8 * (wr - 1)));
    };
    EXPECT_NEAR(reading(s8, 419.527), quadratic(zn), 1.1e-8);
    EXPECT_NEAR(reading(s8, 231.928), quadratic(sn), 1.1e-8);
    // Sub-range 4 at the argon point: W − Wr = a·(W − 1) + b·(W − 1)·ln W at the W found.
    const Sensor s4 = its90(1, {{4, kDev4}});
    const double w = reading(s4, -189.3442);
    EXPECT_NEAR(w - 0.21585975, kDev4[0] * (w - 1) + kDev4[1] * (w - 1) * std::log(w), 1e-8);
}

// At the triple point R = R_tpw exactly, and R_tpw gives 0.01 °C; t → R → t and R → t → R
// round trips over every sub-range, ends included (R back to a few ulps: Wr and ln Wr carry
// their polynomials' rounding); the slope is the resistance's.
TEST(Its90Prt, RoundTripsAndTheTriplePoint) {
    for (const Sensor& s : certificates()) {
        const double rtpw = s.its90.rtpwOhm;
        const std::string name = sensorDescription(s);
        EXPECT_EQ(reading(s, 0.01), rtpw) << name;
        EXPECT_EQ(temperature(s, rtpw), 0.01) << name;
        const Limits l = temperatureLimits(s);
        for (double t = l.lo;; t = std::min(t + 0.419, l.hi)) {
            const double r = reading(s, t);
            const double back = temperature(s, r);
            EXPECT_NEAR(back, t, 1e-9) << name << " at " << t;
            EXPECT_NEAR(reading(s, back), r, 16 * ulp(r) + slope(s, back) * ulp(back)) << name;
            const double h = 1e-4;
            if (t - h >= l.lo && t + h <= l.hi && std::fabs(t - 0.01) > h) {
                EXPECT_NEAR(slope(s, t), (reading(s, t + h) - reading(s, t - h)) / (2 * h),
                            1e-6 * slope(s, t))
                    << name << " at " << t;
            }
            if (t == l.hi) break;
        }
        const Limits r = readingLimits(s);
        EXPECT_EQ(temperature(s, r.lo), l.lo) << name;
        EXPECT_EQ(temperature(s, r.hi), l.hi) << name;
        EXPECT_EQ(temperature(s, std::nextafter(r.lo, 0.0)), kOutOfRange) << name;
        EXPECT_EQ(temperature(s, std::nextafter(r.hi, 1e9)), kOutOfRange) << name;
        EXPECT_EQ(reading(s, std::nextafter(l.lo, -1e9)), kOutOfRange) << name;
        EXPECT_EQ(reading(s, std::nextafter(l.hi, 1e9)), kOutOfRange) << name;
        EXPECT_EQ(slope(s, kNaN), kOutOfRange);
        EXPECT_EQ(temperature(s, kNaN), kOutOfRange);
    }
}

// The range is the sub-ranges given: fixed point to 0.01 °C, 0.01 °C to fixed point.
TEST(Its90Prt, RangeOfTheSubrangesGiven) {
    const struct {
        std::vector<Its90Given> given;
        double lo, hi;
    } cases[] = {{{{4, kZero2}, {7, kZero3}}, -189.3442, 660.323},
                 {{{5, kZero2}, {8, kZero2}}, -38.8344, 419.527},
                 {{{9, kZero2}}, 0.01, 231.928},
                 {{{10, kZero1}}, 0.01, 156.5985},
                 {{{11, kZero1}}, 0.01, 29.7646},
                 {{{4, kZero2}}, -189.3442, 0.01}};
    for (const auto& c : cases) {
        const Limits l = temperatureLimits(its90(10, c.given));
        EXPECT_EQ(l.lo, c.lo) << c.given.front().subrange;
        EXPECT_EQ(l.hi, c.hi) << c.given.front().subrange;
    }
}

TEST(Its90Prt, RefusedCertificates) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const double steep[] = {0.25, 0}, steepAtEnd[] = {0, 0, 0.2}, bad[] = {1e-4, kNaN};
    const double infinite[] = {kInf};
    struct Case {
        const char* name;
        double rtpw;
        std::vector<Its90Given> given;
        SensorError error;
    };
    const Case cases[] = {
        {"R_tpw 0", 0, {{8, kDev8}}, SensorError::rtpwOutOfReach},
        {"R_tpw NaN", kNaN, {{8, kDev8}}, SensorError::rtpwOutOfReach},
        {"R_tpw huge", 2e200, {{8, kDev8}}, SensorError::rtpwOutOfReach},
        {"nothing", 25, {}, SensorError::noSubrange},
        {"sub-range 6", 25, {{6, kDev8}}, SensorError::unknownSubrange},
        {"two below", 25, {{4, kDev4}, {5, kDev5}}, SensorError::subrangeTwice},
        {"two above", 25, {{8, kDev8}, {9, kDev9}}, SensorError::subrangeTwice},
        {"the same twice", 25, {{8, kDev8}, {8, kDev8}}, SensorError::subrangeTwice},
        {"7 with two", 25, {{7, kDev8}}, SensorError::coefficientCount},
        {"10 with two", 25, {{10, kDev8}}, SensorError::coefficientCount},
        {"NaN", 25, {{8, bad}}, SensorError::deviationNotFinite},
        {"infinite", 25, {{11, infinite}}, SensorError::deviationNotFinite},
        {"steep", 25, {{9, steep}}, SensorError::deviationTooSteep},
        {"steep at the far end", 25, {{7, steepAtEnd}}, SensorError::deviationTooSteep},
    };
    for (const Case& c : cases) {
        const SensorOrError s = its90Sensor(c.rtpw, c.given);
        EXPECT_EQ(s.error, c.error) << c.name;
        EXPECT_FALSE(describe(s.error).empty()) << c.name;
        EXPECT_FALSE(describeInChinese(s.error).empty()) << c.name;
    }
}

// Sub-range 8 from the tin and zinc points: a thermometer whose W − Wr = a·x + b·x², x = W − 1,
// read at the table's Wr of both points (the quadratic's root, worked here). The fit passes
// through both points and finds a and b to within what the table's 1e-8 in Wr allows.
TEST(Its90Fit, SubrangeEightFromTinAndZinc) {
    const double a = -1.5e-4, b = 1.0e-5, rtpw = 25.5;
    const auto w = [&](double wr) {
        return 1 + 2 * (wr - 1) / ((1 - a) + std::sqrt((1 - a) * (1 - a) - 4 * b * (wr - 1)));
    };
    const CalibrationPoint points[] = {{231.928, rtpw * w(1.89279768)},
                                       {419.527, rtpw * w(2.56891730)}};
    const Its90FitOrError f = fitIts90Deviation(points, 8, rtpw);
    ASSERT_TRUE(f.ok());
    EXPECT_NEAR(f.fit.c[0], a, 5e-8);
    EXPECT_NEAR(f.fit.c[1], b, 5e-8);
    EXPECT_EQ(f.fit.c[2], 0);
    for (const CalibrationPoint& p : points)
        EXPECT_NEAR(reading(f.fit.sensor, p.temperatureC), p.resistanceOhm,
                    8 * ulp(p.resistanceOhm))
            << p.temperatureC;
}

// More points than coefficients: a certificate's own thermometer sampled fits back to its
// coefficients, for every sub-range; the triple point, where each term is 0, is taken too.
TEST(Its90Fit, EverySubrangeFitsBack) {
    struct Case {
        int subrange;
        std::vector<double> c;
    };
    const Case cases[] = {
        {4, {kDev4[0], kDev4[1]}}, {5, {kDev5[0], kDev5[1]}}, {7, {kDev7[0], kDev7[1], kDev7[2]}},
        {8, {kDev8[0], kDev8[1]}}, {9, {kDev9[0], kDev9[1]}}, {10, {kDev10[0]}},
        {11, {kDev11[0]}}};
    for (const Case& c : cases) {
        const Sensor s = its90(100, {{c.subrange, c.c}});
        const Limits l = temperatureLimits(s);
        std::vector<CalibrationPoint> points;
        for (int i = 0; i <= 5; ++i) {
            const double t = i == 5 ? l.hi : l.lo + (l.hi - l.lo) * i / 5;
            points.push_back({t, reading(s, t)});
        }
        const Its90FitOrError f = fitIts90Deviation(points, c.subrange, 100);
        ASSERT_TRUE(f.ok()) << c.subrange;
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(f.fit.c[k], k < c.c.size() ? c.c[k] : 0.0, 1e-12) << c.subrange << k;
    }
}

TEST(Its90Fit, RefusedPoints) {
    struct Case {
        const char* name;
        std::vector<CalibrationPoint> points;
        int subrange;
        double rtpw;
        Its90FitError error;
        std::size_t point;
    };
    const CalibrationPoint sn{231.928, 48.3}, zn{419.527, 65.5}, in{156.5985, 41.0};
    const Case cases[] = {
        {"sub-range 6", {sn, zn}, 6, 25.5, Its90FitError::unknownSubrange, 0},
        {"R_tpw 0", {sn, zn}, 8, 0, Its90FitError::rtpw, 0},
        {"above zinc", {sn, {419.6, 65.5}}, 8, 25.5, Its90FitError::temperatureOutOfRange, 1},
        {"below 0.01 °C", {{0, 25.49}, sn}, 8, 25.5, Its90FitError::temperatureOutOfRange, 0},
        {"NaN temperature", {{kNaN, 30}}, 8, 25.5, Its90FitError::temperatureOutOfRange, 0},
        {"0 Ω", {sn, {419.527, 0}}, 8, 25.5, Its90FitError::resistanceNotValid, 1},
        {"one point", {zn}, 8, 25.5, Its90FitError::tooFewPoints, 0},
        {"two for three", {sn, zn}, 7, 25.5, Its90FitError::tooFewPoints, 0},
        {"tin twice", {sn, {231.928, 48.4}}, 8, 25.5, Its90FitError::conflictingPoints, 0},
        {"tin twice and the triple point",
         {sn, sn, {0.01, 25.5}},
         8,
         25.5,
         Its90FitError::tooFewTemperatures,
         0},
        {"triple point only", {{0.01, 25.5}}, 11, 25.5, Its90FitError::tooFewTemperatures, 0},
        {"far off", {in, {156.5985, 41.0}, {29.7646, 28.6}}, 10, 1, Its90FitError::curve, 0},
    };
    for (const Case& c : cases) {
        const Its90FitOrError f = fitIts90Deviation(c.points, c.subrange, c.rtpw);
        EXPECT_EQ(f.error, c.error) << c.name;
        EXPECT_EQ(f.point, c.point) << c.name;
    }
}

}  // namespace
