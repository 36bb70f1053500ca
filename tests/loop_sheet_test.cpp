// The loop-check sheet of the layer every front end shares: its points, and errors and
// verdicts worked by hand. Its inputs against NIST and IEC 60751, its columns and its refusals
// go through kelvora-cli check (loop_cli_test.cpp) and kelvora.check (test_loop.py).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "answers/loop_sheet.hpp"

namespace {

using namespace kelvora;
using answers::SheetQuestion;

const answers::Say kEnglish(false);

SheetQuestion question(const char* code, double lrv, double urv,
                       core::OutputSignal signal = core::k4To20mA) {
    SheetQuestion q;
    q.sensor = core::parseSensorCode(code).sensor;
    q.transmitter = *core::makeTransmitter(lrv, urv, signal);
    q.percents = answers::sheetPercents(std::nullopt, {}, false);
    return q;
}

TEST(LoopSheet, Percents) {
    using V = std::vector<double>;
    struct Case {
        const char* name;
        std::optional<int> points;
        V at;
        bool updown;
        V want;
    };
    const Case cases[] = {
        {"default", std::nullopt, {}, false, {0, 25, 50, 75, 100}},
        {"default up and down", std::nullopt, {}, true, {0, 25, 50, 75, 100, 75, 50, 25, 0}},
        {"two points", 2, {}, false, {0, 100}},
        {"eleven points", 11, {}, false, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
        {"at, as given", std::nullopt, {-10, 50, 110}, false, {-10, 50, 110}},
        {"at, up and down", std::nullopt, {10, 90}, true, {10, 90, 10}},
        {"one point is none", 1, {}, false, {}},
    };
    for (const Case& c : cases) {
        const V got = answers::sheetPercents(c.points, c.at, c.updown);
        ASSERT_EQ(got.size(), c.want.size()) << c.name;
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.want[i], 1e-12) << c.name;
    }
}

// Errors by hand on 0…500 °C, 4-20 mA: 0.016 mA is 0.1 % of the 16 mA span and 0.5 °C; on a
// falling range the same current error is -0.5 °C. ±0.1 % passes on its limit, fails beyond.
TEST(LoopSheet, FoundAndLeftVerdicts) {
    SheetQuestion q = question("K", 0, 500);
    q.found = {4.016, 8.0, 12.02, 15.984, 20.0};
    q.left = {4.0, 8.0, 12.0, 16.0, 20.0};
    q.accuracyPct = 0.1;
    const answers::Sheet sheet = answers::loopSheet(q, kEnglish);
    const double pct[] = {0.1, 0, 0.125, -0.1, 0};
    for (std::size_t i = 0; i < 5; ++i) {
        const answers::SheetVerdict& f = *sheet.rows[i].found;
        EXPECT_NEAR(f.errorPct, pct[i], 1e-12) << i;
        EXPECT_NEAR(f.errorC, pct[i] * 5, 1e-10) << i;
        EXPECT_EQ(*f.pass, i != 2) << i;
        EXPECT_TRUE(*sheet.rows[i].left->pass) << i;
    }
    EXPECT_FALSE(sheet.allPass);
    EXPECT_EQ(answers::sheetColumns(q).size(), 5u + 4 + 4);
    EXPECT_EQ(answers::sheetCells(q, sheet.rows[2])[5], "12.020");
    EXPECT_EQ(answers::sheetCells(q, sheet.rows[2])[8], "no");

    q.accuracyPct.reset();
    EXPECT_TRUE(answers::loopSheet(q, kEnglish).allPass);
    EXPECT_EQ(answers::sheetColumns(q).back(), "left_error_C");

    SheetQuestion falling = question("K", 500, 0);
    falling.found = {4.016, 8, 12, 16, 20};
    EXPECT_NEAR(answers::loopSheet(falling, kEnglish).rows[0].found->errorC, -0.5, 1e-10);
}

}  // namespace
