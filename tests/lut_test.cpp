// Lookup tables in the core: a count of breakpoints reaches exactly the bound that needs it and
// one fewer does not; the default ranges; and the decimal texts the tables are written in.
#include <gtest/gtest.h>

#include <cmath>
#include <locale>
#include <random>
#include <sstream>
#include <string>

#include "app/cli/lut_format.hpp"
#include "core/lut.hpp"
#include "core/sensor.hpp"

namespace {

using namespace kelvora;

core::Lut lutOf(const char* code, double bound, int points, bool integer) {
    core::LutRequest r;
    r.sensor = core::parseSensorCode(code).sensor;
    r.maxErrorC = bound;
    r.points = points;
    r.numbers = integer ? core::LutNumbers::integer : core::LutNumbers::floating;
    return core::makeLut(r);
}

// The fewest breakpoints for a bound, and the smallest bound for a count, are one answer.
TEST(Lut, PointsForABoundReachItAndOneFewerCannot) {
    for (const char* code : {"K", "B", "Cu50", "Ni1000"}) {
        for (const bool integer : {false, true}) {
            SCOPED_TRACE(std::string(code) + (integer ? " int" : ""));
            const core::Lut byBound = lutOf(code, 0.05, 0, integer);
            ASSERT_EQ(byBound.error, core::LutError::none);
            const int n = static_cast<int>(byBound.table.points.size());
            const core::Lut same = lutOf(code, 0, n, integer),
                            fewer = lutOf(code, 0, n - 1, integer);
            EXPECT_LE(same.table.points.size(), static_cast<std::size_t>(n));
            EXPECT_LE(same.boundC, 0.05);
            EXPECT_EQ(fewer.table.points.size(), static_cast<std::size_t>(n - 1));
            EXPECT_GT(fewer.boundC, 0.05);
        }
    }
}

// Whole ranges by default, type B from where its EMF is 0 mV again; the cold junction from
// −20 °C (type B: 0 °C, where its reference function begins) to 70 °C.
TEST(Lut, DefaultRanges) {
    const core::Lut b = lutOf("B", 0.1, 0, false), k = lutOf("k", 0.1, 0, false);
    EXPECT_EQ(b.fromC, core::exactTemperatureLimits(core::ThermocoupleType::B).lo);
    EXPECT_NEAR(b.fromC, 42.13, 0.005);
    EXPECT_EQ(b.toC, 1820);
    EXPECT_EQ(b.cjFromC, 0);
    EXPECT_EQ(k.fromC, -270);
    EXPECT_EQ(k.toC, 1372);
    EXPECT_EQ(k.cjFromC, -20);
    EXPECT_EQ(k.cjToC, 70);
    EXPECT_TRUE(lutOf("Pt100", 0.1, 0, false).coldJunction.points.empty());
}

TEST(LutFormat, DecimalTexts) {
    const std::pair<double, const char*> shortest[] = {
        {0.1, "0.1"},
        {-270, "-270"},
        {1e-19, "1e-19"},
        {1e21, "1e21"},
        {0.1 + 0.2, "0.30000000000000004"},
        {123456789012345680000.0, "123456789012345680000"},
        {-1e-7, "-0.0000001"}};
    for (const auto& [v, text] : shortest) EXPECT_EQ(cli::roundTripText(v), text);
    const std::pair<double, const char*> upward[] = {{0.00994763, "0.00995"},  {0.01, "0.01"},
                                                     {0.0100000001, "0.0101"}, {999.9, "1000"},
                                                     {1e-8, "1e-8"},           {0.123, "0.123"}};
    for (const auto& [v, text] : upward) EXPECT_EQ(cli::boundText(v), text);
    std::mt19937_64 random(7);
    for (int i = 0; i < 2000; ++i) {
        const double v = std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random),
                                    static_cast<int>(random() % 200) - 100);
        std::istringstream in(cli::roundTripText(v));
        in.imbue(std::locale::classic());
        double back = 0;
        in >> back;
        EXPECT_EQ(back, v) << cli::roundTripText(v);
    }
}

}  // namespace
