// The sensor library: resistance thermometers of any R0 and certificate, the exact inverse of
// the ITS-90 reference functions, the Seebeck coefficient and the tolerance classes. Reference
// values come from IEC 60751 (Pt100), DIN 43760 (Ni100), IEC 60584-1 (classes) and the NIST
// tables (tests/data/all.tab); roots are checked against the reference function evaluated in
// long double.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/its90_coefficients.hpp"
#include "core/rtd.hpp"
#include "core/sensor.hpp"
#include "core/thermocouple.hpp"
#include "core/tolerance.hpp"
#include "tests/nist_tables.hpp"

namespace {

using namespace kelvora::core;
namespace its90 = kelvora::core::its90;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr ThermocoupleType kTypes[] = {
    ThermocoupleType::S, ThermocoupleType::R, ThermocoupleType::B, ThermocoupleType::K,
    ThermocoupleType::N, ThermocoupleType::E, ThermocoupleType::J, ThermocoupleType::T};

Sensor code(const char* c) {
    const SensorOrError s = parseSensorCode(c);
    EXPECT_TRUE(s.ok()) << c;
    return s.sensor;
}

double ulp(double v) {
    return std::nextafter(std::fabs(v), INFINITY) - std::fabs(v);
}

// The inner limits of a type's reference function and its outer ones.
std::vector<double> referenceLimits(ThermocoupleType type) {
    const std::span<const Piece> pieces = its90::referenceFunction(type);
    std::vector<double> out{pieces.front().lo};
    for (const Piece& p : pieces) out.push_back(p.hi);
    return out;
}

// The reference function in long double (64 bits of mantissa where the machine has them),
// from the same coefficient tables: the "true" function the exact inverse must invert.
long double emfLong(ThermocoupleType type, long double t) {
    const std::span<const Piece> pieces = its90::referenceFunction(type);
    for (const Piece& p : pieces) {
        if (!p.contains(static_cast<double>(t)) && &p != &pieces.back()) continue;
        long double v = 0;
        for (std::size_t i = p.c.size(); i-- > 0;) v = v * t + p.c[i];
        if (const Exponential* k = p.exponential) {
            const long double d = t - k->a2;
            v += k->a0 * std::exp(static_cast<long double>(k->a1) * d * d);
        }
        return v;
    }
    return 0;
}

// ---- Resistance thermometers -------------------------------------------------------------

// IEC 60751 table values for Pt100 (two decimals); Pt1000 and Pt10 are the same curve times
// 10 and a tenth; DIN 43760 Ni100 at 100 °C.
TEST(SensorLibraryRtd, StandardTableValues) {
    struct Case {
        const char* sensor;
        double t, ohm;
    };
    const Case cases[] = {
        {"Pt100", -200, 18.52},  {"Pt100", -100, 60.26},  {"Pt100", -50, 80.31},
        {"Pt100", 0, 100.00},    {"Pt100", 50, 119.40},   {"Pt100", 100, 138.51},
        {"Pt100", 200, 175.86},  {"Pt100", 400, 247.09},  {"Pt100", 600, 313.71},
        {"Pt100", 800, 375.70},  {"Pt100", 850, 390.48},  {"Pt1000", -200, 185.20},
        {"Pt1000", 100, 1385.1}, {"Pt1000", 850, 3904.8}, {"Ni100", 100, 161.78},
        {"Ni1000", 100, 1617.8}, {"Ni100", 0, 100.00},    {"Cu50", 100, 71.40},
    };
    for (const Case& c : cases) {
        const double r = reading(code(c.sensor), c.t);
        EXPECT_NEAR(r, c.ohm, c.ohm < 1000 ? 0.005 : 0.05) << c.sensor << " at " << c.t;
    }
    for (double t = -200; t <= 850; t += 0.25)
        EXPECT_NEAR(reading(code("Pt1000"), t), 10 * reading(code("Pt100"), t), 4 * ulp(4000));
}

// Each end's resistance as tables print it gives that end: its exact value (IEC 60751 and DIN
// 43760 worked in exact decimals; the certificate's from its α, δ, β), and its decimals where
// they round beyond it (the standards' two decimals, kelvora-cli's --digits 6 and others). A
// resistance 5 mK beyond the end is refused; copper's 150 °C is excluded, but the resistance
// R0·W gives just below it is taken.
TEST(SensorLibraryRtd, TableValuesOfTheEndsGiveTheEnds) {
    struct End {
        const char* sensor;
        double t;
        std::vector<const char*> taken;
        const char* refused;  // 5 mK beyond
    };
    const Sensor certificate =
        platinumSensor(99.98, callendarCoefficients(0.003926, 1.491, 0.11)).sensor;
    const End ends[] = {
        {"Pt100", -200, {"18.52008", "18.52"}, "18.517918"},
        {"Pt100", 850, {"390.481125"}, "390.482588"},
        {"Pt500", -200, {"92.6004", "92.60"}, "92.589592"},
        {"Pt500", 850, {"1952.405625", "1952.41", "1952.406"}, "1952.412941"},
        {"Pt1000", -200, {"185.2008", "185.20"}, "185.179183"},
        {"Pt1000", 850, {"3904.81125", "3904.8113"}, "3904.825883"},
        {"Pt10", -200, {"1.852008", "1.852"}, "1.851792"},
        {"Pt10", 850, {"39.0481125", "39.048113"}, "39.048259"},
        {"Ni100", -60, {"69.520259488", "69.52", "69.520259"}, "69.517928"},
        {"Ni100", 250, {"289.15625", "289.16", "289.1563"}, "289.161473"},
        {"Ni1000", -60, {"695.20259488", "695.20"}, "695.179281"},
        {"Ni1000", 250, {"2891.5625", "2891.563"}, "2891.614730"},
        {"Cu10", -50, {"7.84863125", "7.8486", "7.848631"}, "7.848415"},
        {"Cu50", -50, {"39.24315625", "39.243", "39.243156"}, "39.242076"},
        {"Cu100", -50, {"78.4863125", "78.486", "78.4863"}, "78.484153"},
        {"certificate", -200, {"16.92795013272", "16.927950"}, "16.925746"},
        {"certificate", 850, {"396.31360067415", "396.314", "396.313601"}, "396.315095"},
    };
    for (const End& e : ends) {
        const bool own = std::string(e.sensor) == "certificate";
        const Sensor s = own ? certificate : code(e.sensor);
        for (const char* v : e.taken)
            EXPECT_NEAR(temperature(s, std::strtod(v, nullptr)), e.t, 1e-9) << e.sensor << " " << v;
        EXPECT_EQ(temperature(s, std::strtod(e.refused, nullptr)), kOutOfRange) << e.sensor;
        EXPECT_FALSE(readingLimits(s).contains(std::strtod(e.refused, nullptr))) << e.sensor;
    }
    for (const auto& [sensor, beyond] : {std::pair{"Cu10", "16.427322"},
                                         {"Cu50", "82.136608"},
                                         {"Cu100", "164.273217"},
                                         {"Cu1000", "1642.7106251"}}) {
        const Sensor s = code(sensor);
        const double last = std::nextafter(150.0, 0.0);
        EXPECT_EQ(temperature(s, reading(s, last)), last) << sensor;
        EXPECT_EQ(temperature(s, std::strtod(beyond, nullptr)), kOutOfRange) << sensor;
    }
}

// The window's twelve through the library give the window's own bits; so does a
// certificate whose A, B, C are the standard's, read from its text.
TEST(SensorLibraryRtd, WindowSensorsGiveTheWindowsBits) {
    const CvdCoefficients read{std::strtod("3.9083E-3", nullptr), std::strtod("-5.775E-7", nullptr),
                               std::strtod("-4.183E-12", nullptr)};
    const Sensor certificate = platinumSensor(100, read).sensor;
    for (int i = 0; i < kSensorCount; ++i) {
        const Sensor s = windowSensor(i);
        EXPECT_EQ(windowIndex(s), i);
        for (double x = -300; x <= 1900; x += 0.37) {
            if (i < 8) {
                EXPECT_EQ(reading(s, x), e(x, i)) << i << " " << x;
                EXPECT_EQ(temperature(s, x / 25), t(x / 25, i)) << i << " " << x;
            } else {
                EXPECT_EQ(reading(s, x), r_Ohm(x, i)) << i << " " << x;
                EXPECT_EQ(temperature(s, x / 4), t_Ohm(x / 4, i)) << i << " " << x;
            }
        }
    }
    for (double x = -210; x <= 860; x += 0.37) EXPECT_EQ(reading(certificate, x), r_Ohm(x, 8)) << x;
    EXPECT_FALSE(windowIndex(code("Pt1000")).has_value());
}

// Callendar's α, δ, β of the IEC 60751 curve give its A, B, C.
TEST(SensorLibraryRtd, CallendarConstants) {
    const CvdCoefficients k = callendarCoefficients(0.00385055, 1.4999, 0.10863);
    EXPECT_NEAR(k.a, kIec60751.a, 1e-4 * kIec60751.a);
    EXPECT_NEAR(k.b, kIec60751.b, 1e-4 * -kIec60751.b);
    EXPECT_NEAR(k.c, kIec60751.c, 1e-4 * -kIec60751.c);
}

// A certificate's inverse made ahead: within 1e-12 °C of the root of its Callendar–Van Dusen
// curve solved in long double, on a sweep over the whole range, for
// certificates of several R0 and constants; IEC 60751's own constants keep the careful inverse.
TEST(SensorLibraryRtd, CertificateInverseWithinItsPromise) {
    struct Case {
        double r0, alpha, delta, beta;
    };
    const Case cases[] = {{99.98, 0.003926, 1.491, 0.11},
                          {100.05, 0.00385, 1.5, 0.1},
                          {25.5, 0.003925, 1.49, 0.16},
                          {1000.2, 0.00385055, 1.4999, 0.10863},
                          {10.01, 0.0039, 1.45, 0.12}};
    for (const Case& c : cases) {
        const CvdCoefficients k = callendarCoefficients(c.alpha, c.delta, c.beta);
        const Sensor s = platinumSensor(c.r0, k).sensor;
        ASSERT_TRUE(s.inverse.fitted) << c.r0;
        const long double r0 = c.r0;
        const auto rOf = [&](long double t) {
            return r0 * (1 + k.a * t + k.b * t * t + (t < 0 ? k.c * (t - 100) * t * t * t : 0));
        };
        const auto slopeOf = [&](long double t) {
            return r0 * (k.a + 2 * k.b * t + (t < 0 ? k.c * (4 * t - 300) * t * t : 0));
        };
        const double lo = static_cast<double>(rOf(-200)), hi = static_cast<double>(rOf(850));
        constexpr int kPoints = 20000;
        for (int i = 0; i <= kPoints; ++i) {
            const double r = lo + (hi - lo) * i / kPoints;
            const double t = temperature(s, r);
            long double root = t;
            for (int step = 0; step < 4; ++step) root -= (rOf(root) - r) / slopeOf(root);
            ASSERT_NEAR(t, static_cast<double>(root), 1e-12) << c.r0 << " Ω at " << r;
        }
    }
    const Sensor iec = platinumSensor(100, kIec60751).sensor;
    EXPECT_FALSE(iec.inverse.fitted);
}

// Temperature → resistance → temperature: the temperature found gives back the resistance to
// its own rounding and one temperature ulp's worth of slope (a certificate's inverse made
// ahead: 1e-12 °C's worth, its promise), over every kind's whole range, ends included; its
// slope is the curve's.
TEST(SensorLibraryRtd, RoundTripsAndSlopes) {
    const Sensor sensors[] = {
        code("Pt100"),
        code("Pt1000"),
        code("Pt10"),
        code("Cu50"),
        code("Cu10"),
        code("Ni100"),
        code("Ni1000"),
        code("Pt0.5"),
        platinumSensor(99.98, callendarCoefficients(0.003926, 1.491, 0.11)).sensor};
    for (const Sensor& s : sensors) {
        const Limits l = temperatureLimits(s);
        const double top = l.hiIncluded ? l.hi : std::nextafter(l.hi, 0.0);
        for (double t = l.lo;; t = std::min(t + 0.173, top)) {
            const double r = reading(s, t);
            const double back = temperature(s, r);
            const double dt = s.inverse.fitted ? 1e-12 : ulp(back);
            EXPECT_NEAR(reading(s, back), r, 4 * ulp(r) + slope(s, back) * dt)
                << sensorCode(s) << " at " << t;
            const double h = 1e-4;
            if (t - h >= l.lo && t + h <= top && std::fabs(t) > h) {
                EXPECT_NEAR(slope(s, t), (reading(s, t + h) - reading(s, t - h)) / (2 * h),
                            1e-6 * slope(s, t))
                    << sensorCode(s) << " at " << t;
            }
            if (t == top) break;
        }
        EXPECT_EQ(reading(s, std::nextafter(l.lo, -1e9)), kOutOfRange) << sensorCode(s);
        EXPECT_EQ(reading(s, std::nextafter(top, 1e9)), kOutOfRange) << sensorCode(s);
        EXPECT_EQ(temperature(s, kNaN), kOutOfRange);
        EXPECT_EQ(slope(s, kNaN), kOutOfRange);
    }
    EXPECT_EQ(slope(code("Pt100"), 0), 100 * kIec60751.a);  // R0·A at 0 °C, from above
}

// ---- Thermocouples: the exact inverse ----------------------------------------------------

// Every tabulated EMF of the NIST tables names its whole degree, to within the table's
// rounding (±0.0005 mV) divided by the Seebeck coefficient there. Type B's EMFs of 0 mV and
// below are refused (as two temperatures, or as below its minimum where the table's rounding
// put them there); an EMF rounded beyond the end of a range lies out of it.
TEST(SensorLibraryExact, NistTablesWithinTheirRounding) {
    std::size_t points = 0;
    for (const ThermocoupleType type : kTypes) {
        const char letter = sensorCode(thermocoupleSensor(type))[0];
        const Sensor s = thermocoupleSensor(type);
        int misses = 0;
        for (const auto& [degree, text] : kelvora::test::referenceTables().at(letter)) {
            ++points;
            const double emf = std::strtod(text.c_str(), nullptr);
            const ExactTemperature got = exactTemperature(type, emf);
            if (type == ThermocoupleType::B && emf <= 0) {
                EXPECT_NE(got.status, ExactStatus::ok) << degree;
                continue;
            }
            if (got.status == ExactStatus::outOfRange) {
                EXPECT_NEAR(emf, reading(s, degree), 0.0005) << letter << " " << degree;
                continue;
            }
            // By the mean value theorem, with the smaller of the two slopes.
            const double band =
                0.0005 / (std::min(slope(s, degree), slope(s, got.temperatureC)) / 1000) * 1.000001;
            if (!(std::fabs(got.temperatureC - degree) <= band) && ++misses < 5)
                ADD_FAILURE() << letter << " " << text << " mV: " << got.temperatureC
                              << " °C, table " << degree << " °C, band " << band;
        }
    }
    EXPECT_EQ(points, 12026u);
}

// The root lies within 1e-9 °C of the true root of the reference function (found by halving
// on the function in long double) over every type's whole range: on a sweep, and at the EMFs
// of its ends and of the limits between its ranges and the doubles either side of them. Where
// two ranges miss each other at a limit (by up to 2e-9 mV: a gap with no root, or an overlap
// with one root each side), an EMF between their two values there gives the limit.
TEST(SensorLibraryExact, WithinANanodegreeOfTheTrueRoot) {
    if (LDBL_MANT_DIG < 64) GTEST_SKIP() << "no long double wider than double here";
    for (const ThermocoupleType type : kTypes) {
        const Limits range = exactTemperatureLimits(type);
        const Sensor s = thermocoupleSensor(type);
        std::vector<double> points;
        for (double t = range.lo + 0.0137; t <= range.hi; t += 1.37) points.push_back(t);
        for (const double limit : referenceLimits(type))
            for (const double t : {std::nextafter(limit, -1e9), limit, std::nextafter(limit, 1e9)})
                if (t >= range.lo && t <= range.hi) points.push_back(t);
        for (const double t : points) {
            const double emf = reading(s, t);
            long double lo = range.lo, hi = range.hi;
            for (int i = 0; i < 200; ++i) {
                const long double mid = lo + (hi - lo) / 2;
                if (mid == lo || mid == hi) break;
                (emfLong(type, mid) < emf ? lo : hi) = mid;
            }
            const ExactTemperature got = exactTemperature(type, emf);
            ASSERT_EQ(got.status, ExactStatus::ok) << sensorCode(s) << " at " << t;
            const std::vector<double> limits = referenceLimits(type);
            bool between = false;
            for (std::size_t i = 1; i + 1 < limits.size(); ++i) {
                const double below = reading(s, std::nextafter(limits[i], -1e9));
                const double at = reading(s, limits[i]);
                if (emf >= std::min(below, at) && emf <= std::max(below, at)) {
                    EXPECT_NEAR(got.temperatureC, limits[i], 1e-9) << sensorCode(s) << " at " << t;
                    between = true;
                }
            }
            if (!between) {
                EXPECT_NEAR(got.temperatureC, static_cast<double>(hi), 1e-9)
                    << sensorCode(s) << " at " << t;
            }
        }
    }
}

TEST(SensorLibraryExact, RangeAndTypeB) {
    struct Case {
        ThermocoupleType type;
        double emf;
        ExactStatus status;
    };
    const Limits k = exactReadingLimits(ThermocoupleType::K);
    const Case cases[] = {
        {ThermocoupleType::K, k.lo, ExactStatus::ok},
        {ThermocoupleType::K, std::nextafter(k.lo, -1e9), ExactStatus::outOfRange},
        {ThermocoupleType::K, k.hi, ExactStatus::ok},
        {ThermocoupleType::K, std::nextafter(k.hi, 1e9), ExactStatus::outOfRange},
        {ThermocoupleType::K, -5.95, ExactStatus::ok},  // below the inverse polynomials' -5.891
        {ThermocoupleType::K, kNaN, ExactStatus::outOfRange},
        {ThermocoupleType::K, INFINITY, ExactStatus::outOfRange},
        {ThermocoupleType::B, 0, ExactStatus::twoTemperatures},
        {ThermocoupleType::B, -0.0025, ExactStatus::twoTemperatures},
        {ThermocoupleType::B, -0.0026, ExactStatus::outOfRange},  // below its minimum
        {ThermocoupleType::B, 1e-12, ExactStatus::ok},
        {ThermocoupleType::S, -0.2355, ExactStatus::ok},  // below the polynomials' -0.235
    };
    for (const Case& c : cases)
        EXPECT_EQ(exactTemperature(c.type, c.emf).status, c.status)
            << static_cast<int>(c.type) << " " << c.emf;
    // Type B is single-valued from where its EMF is back at 0 mV, near 42.13 °C (NIST: 0.000
    // mV at 40 to 44 °C, 0.001 mV at 45 °C).
    const double zero = exactTemperatureLimits(ThermocoupleType::B).lo;
    EXPECT_NEAR(zero, 42.13, 0.01);
    EXPECT_LE(reading(thermocoupleSensor(ThermocoupleType::B), zero), 0);
    EXPECT_GT(reading(thermocoupleSensor(ThermocoupleType::B), std::nextafter(zero, 100.0)), 0);
}

// The Seebeck coefficient against the NIST tables' central differences,
// (E(t + 1) − E(t − 1)) / 2, whose rounding is at most ±0.5 µV/°C.
TEST(SensorLibrarySlope, NistCentralDifferences) {
    for (const ThermocoupleType type : kTypes) {
        const Sensor s = thermocoupleSensor(type);
        const auto& table = kelvora::test::referenceTables().at(sensorCode(s)[0]);
        int misses = 0;
        for (auto it = std::next(table.begin()); std::next(it) != table.end(); ++it) {
            const double diff = (std::strtod(std::next(it)->second.c_str(), nullptr) -
                                 std::strtod(std::prev(it)->second.c_str(), nullptr)) *
                                500;  // µV/°C
            if (!(std::fabs(slope(s, it->first) - diff) <= 0.55) && ++misses < 5)
                ADD_FAILURE() << sensorCode(s) << " at " << it->first << ": " << slope(s, it->first)
                              << " µV/°C, table " << diff;
        }
        const Limits l = temperatureLimits(s);
        EXPECT_EQ(slope(s, std::nextafter(l.lo, -1e9)), kOutOfRange);
        EXPECT_EQ(slope(s, std::nextafter(l.hi, 1e9)), kOutOfRange);
    }
}

// ---- Tolerance classes --------------------------------------------------------------------

TEST(SensorLibraryTolerance, ClassesOfTheStandards) {
    constexpr double x = kOutOfRange;
    struct Case {
        const char* sensor;
        const char* cls;
        Element element;
        double t, want;  // °C; x: outside the class's range, or no such class
    };
    const Element w = Element::wire, f = Element::film;
    const Case cases[] = {
        // IEC 60584-1: ±x °C or ±y·|t|, the larger.
        {"K", "1", w, -40, 1.5},
        {"K", "1", w, -40.001, x},
        {"K", "1", w, 375, 1.5},
        {"K", "1", w, 1000, 4.0},
        {"K", "1", w, 1000.001, x},
        {"K", "2", w, 1200, 9.0},
        {"K", "2", w, 1200.1, x},
        {"K", "3", w, -200, 3.0},
        {"K", "3", w, 40, 2.5},
        {"K", "3", w, 40.01, x},
        {"N", "2", w, -40, 2.5},
        {"T", "1", w, 125, 0.5},
        {"T", "1", w, 350, 1.4},
        {"T", "2", w, -40, 1.0},
        {"T", "3", w, -200, 3.0},
        {"E", "1", w, 800, 3.2},
        {"E", "2", w, 900, 6.75},
        {"E", "2", w, 900.5, x},
        {"J", "1", w, 750, 3.0},
        {"J", "3", w, 0, x},
        {"S", "1", w, 1100, 1.0},
        {"S", "1", w, 1600, 2.5},
        {"S", "1", w, 1600.1, x},
        {"R", "1", w, -0.1, x},
        {"R", "2", w, 600, 1.5},
        {"R", "2", w, 1600, 4.0},
        {"B", "1", w, 1000, x},
        {"B", "2", w, 600, 1.5},
        {"B", "2", w, 599.9, x},
        {"B", "3", w, 800, 4.0},
        {"B", "3", w, 1700, 8.5},
        // IEC 60751: ±(a + b·|t|), wire-wound and film elements.
        {"Pt100", "AA", w, -50, 0.185},
        {"Pt100", "AA", w, 250.1, x},
        {"Pt100", "AA", f, -0.1, x},
        {"Pt1000", "AA", f, 150, 0.355},
        {"Pt100", "A", w, -100, 0.35},
        {"Pt100", "A", w, 450, 1.05},
        {"Pt100", "A", f, -30, 0.21},
        {"Pt100", "A", f, 300.1, x},
        {"Pt100", "B", w, -196, 1.28},
        {"Pt100", "B", w, -196.1, x},
        {"Pt100", "B", f, 500, 2.8},
        {"Pt100", "C", w, 600, 6.6},
        {"Pt100", "C", f, -50, 1.1},
        {"Pt100", "1", w, 0, x},
        // JB/T 8623 copper, within the thermometer's own range (150 °C excluded); nickel none.
        {"Cu50", "1", w, -50, 0.6},
        {"Cu100", "1", w, 100, 0.9},
        {"Cu50", "1", w, 150, x},
        {"Cu50", "A", w, 0, x},
        {"Ni1000", "1", w, 0, x},
        {"K", "1", w, kNaN, x},
    };
    for (const Case& c : cases) {
        const auto cls = parseToleranceClass(c.cls);
        ASSERT_TRUE(cls) << c.cls;
        const double got = tolerance(code(c.sensor), c.t, *cls, c.element);
        if (c.want == x)
            EXPECT_EQ(got, kOutOfRange) << c.sensor << " " << c.cls << " at " << c.t;
        else
            EXPECT_NEAR(got, c.want, 1e-12) << c.sensor << " " << c.cls << " at " << c.t;
    }
}

// ---- Refused sensors ----------------------------------------------------------------------

TEST(SensorLibraryErrors, CodesAndCertificates) {
    struct CodeCase {
        const char* code;
        SensorError error;
    };
    const CodeCase codes[] = {
        {"k", SensorError::none},
        {"pT1000", SensorError::none},
        {"NI100", SensorError::none},
        {"Pt100.05", SensorError::none},
        {"X", SensorError::unknownCode},
        {"", SensorError::unknownCode},
        {"Pt", SensorError::unknownCode},
        {"Pt-100", SensorError::unknownCode},
        {"Pt1e3", SensorError::unknownCode},
        {" K", SensorError::unknownCode},
        {"KK", SensorError::unknownCode},
        {"Au100", SensorError::unknownCode},
        {"Pt.", SensorError::unknownCode},
        {"Pt1.0.0", SensorError::unknownCode},
        {"Pt0", SensorError::r0NotPositive},
        {"Cu0.000", SensorError::r0NotPositive},
        {"Ni1e-300", SensorError::unknownCode},
    };
    for (const CodeCase& c : codes) EXPECT_EQ(parseSensorCode(c.code).error, c.error) << c.code;
    EXPECT_EQ(sensorCode(code("pt100.050")), "Pt100.05");
    EXPECT_EQ(sensorDescription(code("Ni1000")), "镍热电阻R0=1000");

    struct CertificateCase {
        double r0;
        CvdCoefficients k;
        SensorError error;
    };
    const CvdCoefficients iec = kIec60751;
    const CertificateCase certificates[] = {
        {100, iec, SensorError::none},
        {0, iec, SensorError::r0NotPositive},
        {-100, iec, SensorError::r0NotPositive},
        {kNaN, iec, SensorError::notFinite},
        {INFINITY, iec, SensorError::notFinite},
        {1e-201, iec, SensorError::r0OutOfReach},
        {1e201, iec, SensorError::r0OutOfReach},
        {100, {kNaN, iec.b, iec.c}, SensorError::notFinite},
        {100, {iec.a, iec.b, -INFINITY}, SensorError::notFinite},
        {100, {1, 2, 3}, SensorError::coefficientsTooLarge},
        {100, {iec.a, -1e-4, 0}, SensorError::notIncreasing},     // falls above 20 °C
        {100, {iec.a, iec.b, 1e-9}, SensorError::notIncreasing},  // falls near -200 °C
        {100, {-iec.a, 0, 0}, SensorError::notIncreasing},
        {100, {0.006, 0, 0}, SensorError::resistanceNotPositive},  // W(-200) = -0.2
    };
    for (const CertificateCase& c : certificates)
        EXPECT_EQ(platinumSensor(c.r0, c.k).error, c.error) << c.r0 << " " << c.k.a << " " << c.k.b;
    EXPECT_EQ(copperSensor(-1).error, SensorError::r0NotPositive);
    EXPECT_EQ(nickelSensor(kNaN).error, SensorError::notFinite);
}

}  // namespace
