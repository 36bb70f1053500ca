// Calibration in the core: Callendar–Van Dusen coefficients from points of the IEC 60751
// curve (A = 3.9083e-3, B = −5.775e-7, C = −4.183e-12, R0 = 100 Ω), whose resistances are
// worked here in long double from the standard's equation, and a thermocouple's deviation
// against the NIST tables (NIST SRD 60, type K).
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "core/cvd_fit.hpp"
#include "core/thermocouple_deviation.hpp"

namespace {

using namespace kelvora::core;

constexpr long double kA = 3.9083e-3L, kB = -5.775e-7L, kC = -4.183e-12L;

// IEC 60751: R(t) = R0·(1 + A·t + B·t² + C·(t − 100)·t³), the C term below 0 °C.
double iecOhm(long double t, long double r0 = 100) {
    const long double c = t < 0 ? kC * (t - 100) * t * t * t : 0;
    return static_cast<double>(r0 * (1 + kA * t + kB * t * t + c));
}

std::vector<CalibrationPoint> iecPoints(std::initializer_list<double> ts) {
    std::vector<CalibrationPoint> p;
    for (const double t : ts) p.push_back({t, iecOhm(t)});
    return p;
}

double relative(double got, long double want) {
    return static_cast<double>(std::fabs((got - want) / want));
}

TEST(CvdFit, StandardCurveFitsBack) {
    struct Case {
        const char* name;
        std::vector<CalibrationPoint> points;
        std::optional<double> r0;
        bool cFitted;
    };
    const Case cases[] = {
        {"five points, R0 fitted", iecPoints({-200, -100, 0, 420, 850}), std::nullopt, true},
        {"four points, exact", iecPoints({-190, -40, 160, 660}), std::nullopt, true},
        {"three points from 0 °C, exact", iecPoints({0.01, 231.928, 419.527}), std::nullopt, false},
        {"R0 fixed, three points", iecPoints({-80, 150, 500}), 100.0, true},
        {"R0 fixed, two points from 0 °C", iecPoints({100, 850}), 100.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CvdFitOrError f = fitCallendarVanDusen(c.points, c.r0);
        ASSERT_TRUE(f.ok());
        EXPECT_EQ(f.fit.cFitted, c.cFitted);
        EXPECT_LE(relative(f.fit.r0Ohm, 100), 1e-12);
        EXPECT_LE(relative(f.fit.cvd.a, kA), 1e-12);
        EXPECT_LE(relative(f.fit.cvd.b, kB), 1e-12);
        if (c.cFitted) {
            EXPECT_LE(relative(f.fit.cvd.c, kC), 1e-12);
        } else {
            EXPECT_EQ(f.fit.cvd.c, 0);
        }
    }
    // α = A + 100·B = 0.00385055 1/°C, δ = −10⁴·B/α = 1.4998… °C, β = −10⁸·C/α = 0.10863… °C.
    const CallendarConstants k = callendarConstants(kIec60751);
    EXPECT_NEAR(k.alpha, 0.00385055, 1e-17);
    EXPECT_NEAR(k.delta, 5.775e-3 / 0.00385055, 1e-14);
    EXPECT_NEAR(k.beta, 4.183e-4 / 0.00385055, 1e-14);
}

// Resistances 1 mΩ off the curve, alternately up and down: the residuals are of that size,
// and the coefficients hardly move.
TEST(CvdFit, NoiseOfAMilliohmLeavesResidualsOfAMilliohm) {
    std::vector<CalibrationPoint> points;
    for (int i = 0; i <= 10; ++i) {
        const double t = -200 + 105.0 * i;
        points.push_back({t, iecOhm(t) + (i % 2 == 0 ? 1e-3 : -1e-3)});
    }
    const CvdFitOrError f = fitCallendarVanDusen(points);
    ASSERT_TRUE(f.ok());
    const Sensor s = platinumSensor(f.fit.r0Ohm, f.fit.cvd).sensor;
    double sumSquares = 0, largest = 0;
    for (const CalibrationPoint& p : points) {
        const double r = p.resistanceOhm - reading(s, p.temperatureC);
        sumSquares += r * r;
        largest = std::max(largest, std::fabs(r));
    }
    const double rms = std::sqrt(sumSquares / static_cast<double>(points.size()));
    EXPECT_GT(rms, 0.5e-3);
    EXPECT_LT(rms, 1e-3);
    EXPECT_LT(largest, 1.5e-3);
    EXPECT_NEAR(f.fit.r0Ohm, 100, 2e-3);
}

// ---- A thermocouple's deviation ------------------------------------------------------------

ThermocoupleDeviation deviationOf(std::vector<DeviationPoint> points,
                                  std::optional<int> degree = std::nullopt) {
    const DeviationOrError d = fitDeviation(ThermocoupleType::K, points, degree);
    EXPECT_TRUE(d.ok());
    return d.deviation;
}

// NIST SRD 60, type K: 4.096 mV at 100 °C, 20.644 mV at 500 °C, 41.276 mV at 1000 °C.
TEST(ThermocoupleDeviation, ConstantDeviationShiftsTheReferenceFunction) {
    const ThermocoupleDeviation d = deviationOf({{200, 10}, {400, 10}, {800, 10}}, 0);
    const Sensor k = thermocoupleSensor(ThermocoupleType::K);
    for (const auto& [t, mv] : {std::pair{100.0, 4.096}, {500.0, 20.644}, {1000.0, 41.276}}) {
        EXPECT_NEAR(correctedEmf(d, t), mv + 0.010, 0.5e-3) << t;
        EXPECT_NEAR(correctedEmf(d, t) - reading(k, t), 0.010, 1e-14) << t;
        EXPECT_NEAR(correctedSlope(d, t), slope(k, t), 1e-12) << t;
        const ExactTemperature back = correctedTemperature(d, mv + 0.010);
        ASSERT_EQ(back.status, ExactStatus::ok);
        EXPECT_NEAR(back.temperatureC, exactTemperature(ThermocoupleType::K, mv).temperatureC, 1e-9)
            << t;
    }
    EXPECT_TRUE(extrapolated(d, 100));
    EXPECT_FALSE(extrapolated(d, 200));
    EXPECT_FALSE(extrapolated(d, 800));
}

// Through (0 °C, 0 µV), (500 °C, 20 µV) and (1000 °C, −10 µV) the default, degree 2, passes
// through all three: ΔE = 0.09·t − 0.0001·t² (µV), 16.25 µV at 250 °C.
TEST(ThermocoupleDeviation, ExactThroughAsManyTemperaturesAsCoefficients) {
    const ThermocoupleDeviation d = deviationOf({{0, 0}, {500, 20}, {1000, -10}});
    EXPECT_EQ(d.degree, 2);
    EXPECT_NEAR(deviationUv(d, 250), 16.25, 1e-12);
    EXPECT_NEAR(deviationSlopeUv(d, 250), 0.09 - 0.0002 * 250, 1e-15);
    // Least squares below that, a point repeated: the line through the mean (250 °C, 4 µV)
    // with the slope Sxy/Sxx = 1600/110000 µV/°C.
    const ThermocoupleDeviation line = deviationOf({{100, 1}, {100, 3}, {300, 4}, {500, 8}}, 1);
    EXPECT_NEAR(deviationUv(line, 300), 4 + 50 * 16 / 1100.0, 1e-12);
}

// The corrected function's exact inverse, back to every temperature it was given, over the
// range where it rises: all of type K's but its coldest degrees, where the cubic's slope,
// extrapolated, outdoes the thermocouple's own (a few µV/°C).
TEST(ThermocoupleDeviation, InverseRoundTrips) {
    const ThermocoupleDeviation d = deviationOf({{100, 12}, {400, -30}, {700, 25}, {1100, 40}});
    EXPECT_GT(d.risingLo, -270);
    EXPECT_LT(d.risingLo, -250);
    EXPECT_EQ(d.risingHi, 1372);
    for (double t = d.risingLo; t <= 1372; t += 0.7) {
        const ExactTemperature back = correctedTemperature(d, correctedEmf(d, t));
        ASSERT_EQ(back.status, ExactStatus::ok) << t;
        EXPECT_NEAR(back.temperatureC, t, t < -250 ? 1e-6 : 1e-9) << t;
    }
    const Limits readings = correctedReadingLimits(d);
    EXPECT_EQ(correctedTemperature(d, readings.hi).temperatureC, 1372);
    EXPECT_EQ(correctedTemperature(d, std::nextafter(readings.hi, 99.0)).status,
              ExactStatus::outOfRange);
}

}  // namespace
