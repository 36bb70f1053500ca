// Lead wires, cable classes and the uncertainty budget in the core. Reference values are
// worked from the formulas by hand (copper's ρ₂₀ and α, the AWG diameter formula, the
// Callendar–Van Dusen equation solved as a quadratic, the GUM's divisors) and from IEC
// 60584-3's own °C equivalents of its cable tolerances at the stated measuring junction
// temperatures.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/cable.hpp"
#include "core/leads.hpp"
#include "core/sensor.hpp"
#include "core/tolerance.hpp"
#include "core/uncertainty.hpp"

namespace {

using namespace kelvora::core;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Sensor code(const char* c) {
    const SensorOrError s = parseSensorCode(c);
    EXPECT_TRUE(s.ok()) << c;
    return s.sensor;
}

// ---- Leads ---------------------------------------------------------------------------------

// d = 0.127 mm · 92^((36 − n)/39): 36 AWG is 0.127 mm exactly, 0 AWG 8.2515 mm (53.49 mm²),
// 20 AWG 0.81182 mm (0.5176 mm²); 40 AWG 0.07987 mm.
TEST(Leads, AwgCrossSections) {
    EXPECT_NEAR(awgAreaMm2(20), 0.5176, 5e-5);
    EXPECT_NEAR(awgAreaMm2(36), 3.141592653589793 * 0.127 * 0.127 / 4, 1e-15);
    EXPECT_NEAR(awgAreaMm2(0), 53.475, 5e-3);
    EXPECT_NEAR(awgAreaMm2(40), 0.0050107, 5e-7);
    for (const double n : {-1.0, 41.0, 20.5, kNaN, double(INFINITY)})
        EXPECT_EQ(awgAreaMm2(n), kOutOfRange) << n;
}

// 50 m of 0.5 mm² at 20 °C: 0.017241·50/0.5 = 1.7241 Ω; at 70 °C times 1 + 0.00393·50.
TEST(Leads, CopperResistance) {
    EXPECT_NEAR(copperLeadOhm(50, 0.5), 1.7241, 1e-12);
    EXPECT_NEAR(copperLeadOhm(50, 0.5, 70), 1.7241 * 1.1965, 1e-12);
    EXPECT_NEAR(copperLeadOhm(50, 0.5, -234.4), 1.7241 * (1 - 0.00393 * 254.4), 1e-12);
    for (const auto& [l, a, at] : {std::tuple{0.0, 0.5, 20.0},
                                   {-1.0, 0.5, 20.0},
                                   {50.0, 0.0, 20.0},
                                   {50.0, kNaN, 20.0},
                                   {INFINITY, 0.5, 20.0},
                                   {50.0, 0.5, -234.5},
                                   {50.0, 0.5, kNaN}})
        EXPECT_EQ(copperLeadOhm(l, a, at), kOutOfRange) << l << " " << a << " " << at;
}

// Pt100 at 0 °C through 2 × 0.5 Ω reads 101 Ω; 100·(1 + A·t + B·t²) = 101 gives
// t = (−A + √(A² + 0.04·B))/(2B) = 2.55963 °C. Three wires read only the imbalance, four none.
TEST(Leads, TemperatureErrorByWiring) {
    const Sensor pt100 = code("Pt100");
    const double a = kIec60751.a, b = kIec60751.b;
    const double at101 = (-a + std::sqrt(a * a + 4 * b * 0.01)) / (2 * b);
    EXPECT_DOUBLE_EQ(wiredReadingOhm(100, Wiring::two, 0.5), 101.0);
    EXPECT_NEAR(leadErrorC(pt100, 0, Wiring::two, 0.5), at101, 1e-12);
    EXPECT_NEAR(leadErrorC(pt100, 0, Wiring::three, 0.5, 1.0), at101, 1e-12);
    EXPECT_EQ(leadErrorC(pt100, 0, Wiring::three, 0.5), 0.0);
    EXPECT_NEAR(leadErrorC(pt100, 200, Wiring::four, 3.0), 0.0, 1e-12);
    // A certificate's curve is inverted too: R0 = 100.05 reads 101.05 Ω at 0 °C, t as above
    // with 1/R0 in place of 0.01.
    const Sensor cert = platinumSensor(100.05, {3.9e-3, -5.8e-7, -4.2e-12}).sensor;
    const double c = (-3.9e-3 + std::sqrt(3.9e-3 * 3.9e-3 - 4 * 5.8e-7 / 100.05)) / (2 * -5.8e-7);
    EXPECT_NEAR(leadErrorC(cert, 0, Wiring::two, 0.5), c, 1e-9);
}

TEST(Leads, OutOfReach) {
    EXPECT_EQ(leadErrorC(code("K"), 100, Wiring::two, 0.5), kOutOfRange);
    EXPECT_EQ(leadErrorC(code("Pt100"), 850, Wiring::two, 0.01), kOutOfRange);  // past 390.48 Ω
    EXPECT_EQ(leadErrorC(code("Pt100"), -200, Wiring::three, 0, -0.1), kOutOfRange);
    EXPECT_EQ(leadErrorC(code("Pt100"), 851, Wiring::four, 0), kOutOfRange);
    EXPECT_EQ(leadErrorC(code("Pt100"), 0, Wiring::two, INFINITY), kOutOfRange);
}

// ---- Cables --------------------------------------------------------------------------------

// The standard's own °C equivalents of each tolerance at its measuring junction temperature
// (JX and EX at 500 °C, TX at 300 °C, KX, NX, KC and NC at 900 °C, R and S at 1000 °C, BC at
// 1400 °C) are the µV divided by the Seebeck coefficient there, to within 4 %; R and S share
// one °C figure between them, each within 10 % of it.
TEST(Cables, MicrovoltsMatchTheStandardsDegrees) {
    struct Case {
        const char* name;
        double measuringC, class1C, class2C;
    };
    const Case cases[] = {
        {"JX", 500, 1.5, 2.5}, {"TX", 300, 0.5, 1.0}, {"EX", 500, 1.5, 2.5}, {"KX", 900, 1.5, 2.5},
        {"NX", 900, 1.5, 2.5}, {"KCA", 900, 0, 2.5},  {"KCB", 900, 0, 2.5},  {"NC", 900, 0, 2.5},
        {"RCA", 1000, 0, 2.5}, {"SCA", 1000, 0, 2.5}, {"RCB", 1000, 0, 5.0}, {"SCB", 1000, 0, 5.0},
        {"BC", 1400, 0, 3.5},
    };
    ASSERT_EQ(std::size(cases), kCables.size());
    for (const Case& c : cases) {
        const std::optional<Cable> cable = findCable(c.name);
        ASSERT_TRUE(cable) << c.name;
        const double s = slope(thermocoupleSensor(cable->type), c.measuringC);
        const bool platinum =
            cable->type == ThermocoupleType::R || cable->type == ThermocoupleType::S;
        const double within = platinum ? 0.1 : 0.04;
        for (const auto& [cls, degrees] :
             {std::pair{CableClass::one, c.class1C}, std::pair{CableClass::two, c.class2C}}) {
            const std::optional<double> uv = cableToleranceUv(*cable, cls);
            EXPECT_EQ(uv.has_value(), degrees > 0) << c.name;
            if (uv) {
                EXPECT_NEAR(*uv / s, degrees, within * degrees) << c.name << " class " << int(cls);
            }
        }
    }
}

TEST(Cables, NamesTypesAndRanges) {
    EXPECT_EQ(findCable("kcb")->type, ThermocoupleType::K);
    EXPECT_EQ(findCable("Rca")->type, ThermocoupleType::R);
    for (const char* bad : {"", "K", "KXX", "BX", " KX"}) EXPECT_FALSE(findCable(bad)) << bad;
    EXPECT_TRUE(findCable("KCB")->range.contains(100));
    EXPECT_FALSE(findCable("KCB")->range.contains(std::nextafter(100.0, 200.0)));
    EXPECT_TRUE(findCable("JX")->range.contains(-25));
    EXPECT_FALSE(findCable("JX")->range.contains(std::nextafter(-25.0, -26.0)));
    EXPECT_EQ(parseCableClass("2"), CableClass::two);
    EXPECT_FALSE(parseCableClass("3"));
}

// ---- The budget ----------------------------------------------------------------------------

// Class A at 100 °C: ±(0.15 + 0.002·100) = ±0.35 °C, rectangular: u_c = 0.35/√3.
TEST(Budget, ClassAAtOneHundredAlone) {
    const double a = tolerance(code("Pt100"), 100, ToleranceClass::A);
    const Contribution c{a, Unit::celsius, Distribution::rectangular, 0, 1};
    const Budget b = combine({&c, 1});
    EXPECT_NEAR(b.combinedC, 0.35 / std::sqrt(3.0), 1e-15);
    EXPECT_NEAR(b.expandedC, 0.7 / std::sqrt(3.0), 1e-15);
    EXPECT_DOUBLE_EQ(b.sharePct[0], 100);
}

// 3 and 4 as standard uncertainties add to 5 (shares 36 % and 64 %); a triangular ±√6 and a
// normal 2 at K = 2 are 1 each, a negative sensitivity counting as its size.
TEST(Budget, DivisorsAndShares) {
    const Contribution rows[] = {
        {3, Unit::celsius, Distribution::standard, 0, 1},
        {4, Unit::ohm, Distribution::standard, 0, -1},
        {std::sqrt(6.0), Unit::celsius, Distribution::triangular, 0, 1},
        {2, Unit::celsius, Distribution::normal, 2, 1},
        {0, Unit::celsius, Distribution::rectangular, 0, 1},
    };
    const Budget b = combine({rows, 2}, 3);
    EXPECT_DOUBLE_EQ(b.combinedC, 5);
    EXPECT_DOUBLE_EQ(b.expandedC, 15);
    EXPECT_NEAR(b.sharePct[0], 36, 1e-12);
    EXPECT_NEAR(b.sharePct[1], 64, 1e-12);
    const Budget all = combine(rows);
    EXPECT_NEAR(all.uC[2], 1, 1e-15);
    EXPECT_NEAR(all.uC[3], 1, 1e-15);
    EXPECT_NEAR(all.combinedC, std::sqrt(27.0), 1e-14);
    const Contribution zero{0, Unit::celsius, Distribution::rectangular, 0, 1};
    EXPECT_EQ(combine({&zero, 1}).sharePct[0], 0);
}

// Type K at 300 °C: S = 41.446 µV/°C (NIST SRD 60); Pt100 at 0 °C: dR/dt = R0·A.
TEST(Budget, Sensitivities) {
    const Sensor k = code("K"), pt100 = code("Pt100");
    EXPECT_NEAR(sensitivityCPerUnit(k, 300, Unit::microvolt) * 41.446, 1, 2e-5);
    EXPECT_NEAR(sensitivityCPerUnit(k, 300, Unit::millivolt) * 41.446, 1000, 2e-2);
    EXPECT_NEAR(sensitivityCPerUnit(pt100, 0, Unit::ohm), 1 / 0.39083, 1e-12);
    EXPECT_EQ(sensitivityCPerUnit(pt100, 0, Unit::celsius), 1);
    EXPECT_EQ(sensitivityCPerUnit(k, 300, Unit::ohm), kOutOfRange);
    EXPECT_EQ(sensitivityCPerUnit(pt100, 0, Unit::millivolt), kOutOfRange);
    EXPECT_EQ(sensitivityCPerUnit(k, 1373, Unit::celsius), kOutOfRange);
    // S(25 °C) = 40.5 µV/°C against 41.446 at 300 °C.
    EXPECT_NEAR(referenceJunctionSensitivity(k, 300, 25), 40.5 / 41.446, 2e-3);
    EXPECT_EQ(referenceJunctionSensitivity(pt100, 300, 25), kOutOfRange);
    EXPECT_EQ(parseUnit("uV"), Unit::microvolt);
    EXPECT_FALSE(parseUnit("µV"));
    EXPECT_EQ(parseDistribution("tri"), Distribution::triangular);
    EXPECT_FALSE(parseDistribution("normal:2"));
}

}  // namespace
