// The transmitter: its linear output both ways (values worked by hand from
// lo + (hi − lo)(t − LRV)/(URV − LRV)), the bands of NAMUR NE 43 for 4–20 mA at and beside
// each level, the clamped output a loop check expects, and the signal's text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/transmitter.hpp"

namespace {

using namespace kelvora::core;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr OutputSignal k0To10V{0, 10, SignalUnit::volt};

Transmitter make(double lrv, double urv, OutputSignal s = k4To20mA) {
    const std::optional<Transmitter> x = makeTransmitter(lrv, urv, s);
    EXPECT_TRUE(x.has_value()) << lrv << " " << urv;
    return x.value_or(Transmitter{0, 1, s});
}

TEST(Transmitter, OutputAndTemperatureByHand) {
    struct Case {
        const char* name;
        double lrv, urv;
        OutputSignal signal;
        double t, out;
    };
    const Case cases[] = {
        {"mid-range", 0, 500, k4To20mA, 250, 12},
        {"at LRV", 0, 500, k4To20mA, 0, 4},
        {"at URV", 0, 500, k4To20mA, 500, 20},
        {"quarter", -50, 150, k4To20mA, 0, 8},
        {"reversed range falls", 500, 0, k4To20mA, 125, 16},
        {"below range unclamped", 0, 500, k4To20mA, -50, 2.4},
        {"above range unclamped", 0, 500, k4To20mA, 600, 23.2},
        {"0-20mA", 0, 100, {0, 20, SignalUnit::milliampere}, 40, 8},
        {"1-5V", 0, 400, {1, 5, SignalUnit::volt}, 100, 2},
        {"0-10V", -100, 100, k0To10V, 50, 7.5},
    };
    for (const Case& c : cases) {
        const Transmitter x = make(c.lrv, c.urv, c.signal);
        EXPECT_DOUBLE_EQ(output(x, c.t), c.out) << c.name;
        EXPECT_DOUBLE_EQ(temperatureAtOutput(x, c.out), c.t) << c.name;
    }
}

// Output → temperature → output comes back within a few units in the last place, over a wide
// sweep and on awkward ranges.
TEST(Transmitter, RoundTrips) {
    const Transmitter ranges[] = {make(0, 500), make(-200, 850), make(1372, -270),
                                  make(0.1, 0.3, {2, 10, SignalUnit::volt})};
    for (const Transmitter& x : ranges) {
        for (int i = -20; i <= 120; ++i) {
            const double t = x.lrv + (x.urv - x.lrv) * i / 100.0;
            const double v = output(x, t);
            EXPECT_NEAR(output(x, temperatureAtOutput(x, v)), v, 8 * std::abs(v) * 0x1p-52)
                << x.lrv << "…" << x.urv << " at " << i << " %";
        }
    }
}

TEST(Transmitter, RefusedRanges) {
    const double nan = std::nan("");
    EXPECT_FALSE(makeTransmitter(100, 100));
    EXPECT_FALSE(makeTransmitter(nan, 100));
    EXPECT_FALSE(makeTransmitter(0, kInf));
    EXPECT_FALSE(makeTransmitter(-1e308, 1e308));  // a span beyond the doubles
    EXPECT_FALSE(makeTransmitter(0, 100, {5, 5, SignalUnit::volt}));
    EXPECT_FALSE(makeTransmitter(0, 100, {-1, 5, SignalUnit::volt}));
    EXPECT_TRUE(makeTransmitter(100, 0));
}

// Every NE 43 band, on and beside its limits. Reading on a 0…500 °C range: 4 mA is 0 °C and
// each mA 31.25 °C.
TEST(Transmitter, Ne43Bands) {
    struct Case {
        double mA;
        LoopState state;
        double t;  // NaN: no temperature
        bool saturated;
    };
    const double none = std::nan("");
    const Case cases[] = {
        {0, LoopState::failureLow, none, false},
        {3.6, LoopState::failureLow, none, false},
        {std::nextafter(3.6, 4), LoopState::notMeasurementLow, none, false},
        {std::nextafter(3.8, 0), LoopState::notMeasurementLow, none, false},
        {3.8, LoopState::belowRange, -6.25, true},
        {3.9, LoopState::belowRange, -3.125, false},
        {std::nextafter(4, 0), LoopState::belowRange, 0, false},
        {4, LoopState::inRange, 0, false},
        {12, LoopState::inRange, 250, false},
        {20, LoopState::inRange, 500, false},
        {std::nextafter(20, 21), LoopState::aboveRange, 500, false},
        {20.5, LoopState::aboveRange, 515.625, true},
        {std::nextafter(20.5, 21), LoopState::notMeasurementHigh, none, false},
        {std::nextafter(21, 0), LoopState::notMeasurementHigh, none, false},
        {21, LoopState::failureHigh, none, false},
        {kInf, LoopState::failureHigh, none, false},
    };
    const Transmitter x = make(0, 500);
    for (const Case& c : cases) {
        const LoopReading r = readOutput(x, c.mA);
        const std::string name = std::to_string(c.mA) + " mA";
        EXPECT_EQ(r.state, c.state) << name;
        EXPECT_EQ(hasTemperature(r.state), !std::isnan(c.t)) << name;
        if (std::isnan(c.t))
            EXPECT_TRUE(std::isnan(r.temperatureC)) << name;
        else
            EXPECT_NEAR(r.temperatureC, c.t, 1e-9) << name;
        EXPECT_EQ(r.saturated, c.saturated) << name;
    }
    EXPECT_EQ(stateText(readOutput(x, 3.6).state), "failure signal, low");
}

// Any other signal has no failure levels: beyond lo or hi it is a measurement below or above
// range, with its temperature.
TEST(Transmitter, OtherSignalsHaveNoFailureLevels) {
    const Transmitter x = make(0, 100, k0To10V);
    EXPECT_EQ(readOutput(x, 0).state, LoopState::inRange);
    EXPECT_EQ(readOutput(x, 10).state, LoopState::inRange);
    EXPECT_EQ(readOutput(x, 12).state, LoopState::aboveRange);
    EXPECT_DOUBLE_EQ(readOutput(x, 12).temperatureC, 120);
    const Transmitter y = make(0, 100, {0, 20, SignalUnit::milliampere});
    EXPECT_EQ(readOutput(y, 2).state, LoopState::inRange);  // no NE 43 for 0-20 mA
    EXPECT_EQ(readOutput(make(0, 100, {1, 5, SignalUnit::volt}), 0.5).state, LoopState::belowRange);
}

TEST(Transmitter, ExpectedOutputClampsAtSaturation) {
    struct Case {
        const char* name;
        Transmitter x;
        double t, value;
        bool saturated;
    };
    const Case cases[] = {
        {"-10 % at 3.8 mA", make(0, 500), -50, 3.8, true},
        {"-1.25 % is 3.8 mA itself", make(0, 500), -6.25, 3.8, true},
        {"-1 % measures below range", make(0, 500), -5, 3.84, false},
        {"100 %", make(0, 500), 500, 20, false},
        {"103 % measures above range", make(0, 500), 515, 20.48, false},
        {"104 % at 20.5 mA", make(0, 500), 520, 20.5, true},
        {"110 % at 20.5 mA", make(0, 500), 550, 20.5, true},
        {"reversed range, beyond LRV", make(500, 0), 600, 3.8, true},
        {"0-10 V below lo", make(0, 100, k0To10V), -1, 0, true},
        {"0-10 V at hi", make(0, 100, k0To10V), 100, 10, false},
        {"0-10 V above hi", make(0, 100, k0To10V), 101, 10, true},
    };
    for (const Case& c : cases) {
        const ExpectedOutput e = expectedOutput(c.x, c.t);
        EXPECT_NEAR(e.value, c.value, 1e-12) << c.name;
        EXPECT_EQ(e.saturated, c.saturated) << c.name;
    }
}

TEST(Transmitter, SignalTexts) {
    struct Case {
        const char* text;
        bool ok;
        OutputSignal signal;
        const char* back;
    };
    const Case cases[] = {
        {"4-20mA", true, k4To20mA, "4-20mA"},
        {"4-20MA", true, k4To20mA, "4-20mA"},
        {"0-20mA", true, {0, 20, SignalUnit::milliampere}, "0-20mA"},
        {"1-5V", true, {1, 5, SignalUnit::volt}, "1-5V"},
        {"0-10v", true, k0To10V, "0-10V"},
        {"0.5-4.5V", true, {0.5, 4.5, SignalUnit::volt}, "0.5-4.5V"},
        {"2-10V", true, {2, 10, SignalUnit::volt}, "2-10V"},
        {"20-4mA", false, {}, ""},
        {"5-5V", false, {}, ""},
        {"-1-5V", false, {}, ""},
        {"4-20", false, {}, ""},
        {"4-20A", false, {}, ""},
        {"4 -20mA", false, {}, ""},
        {"4-20mA ", false, {}, ""},
        {"1e0-5V", false, {}, ""},
        {"1..2-5V", false, {}, ""},
        {".-5V", false, {}, ""},
        {"", false, {}, ""},
    };
    for (const Case& c : cases) {
        const std::optional<OutputSignal> s = parseSignal(c.text);
        ASSERT_EQ(s.has_value(), c.ok) << c.text;
        if (!s) continue;
        EXPECT_EQ(*s, c.signal) << c.text;
        EXPECT_EQ(signalText(*s), c.back) << c.text;
    }
    EXPECT_TRUE(isNamur(*parseSignal("4-20mA")));
    EXPECT_FALSE(isNamur(*parseSignal("4-20V")));
}

}  // namespace
