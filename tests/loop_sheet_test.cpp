// The loop-check sheet of the layer every front end shares: its points, a type K sheet whose
// inputs are NIST's EMFs at whole degrees (NIST SRD 60, tests/data/all.tab), a Pt100 sheet on
// IEC 60751's table, errors and verdicts worked by hand, and the sheets refused whole.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "answers/loop_sheet.hpp"
#include "tests/nist_tables.hpp"

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

// The failure a question is refused with.
answers::Failure refusal(const SheetQuestion& q) {
    try {
        answers::loopSheet(q, kEnglish);
    } catch (const answers::Failure& f) {
        return f;
    }
    return {0, ""};
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

// Type K on 0…500 °C with its cold junction at 25 °C: the EMFs to source are NIST's E(t) −
// E(25 °C) (each table value rounded to 1 µV, so within 1 µV), the outputs 4 + 16·p/100 mA.
TEST(LoopSheet, TypeKAgainstNist) {
    const auto& k = test::referenceTables().at('K');
    SheetQuestion q = question("K", 0, 500);
    q.cjC = 25;
    const answers::Sheet sheet = answers::loopSheet(q, kEnglish);
    ASSERT_EQ(sheet.rows.size(), 5u);
    EXPECT_TRUE(sheet.emfInput);
    const int degrees[] = {0, 125, 250, 375, 500};
    for (std::size_t i = 0; i < 5; ++i) {
        const answers::SheetRow& r = sheet.rows[i];
        EXPECT_EQ(r.temperatureC, degrees[i]);
        EXPECT_NEAR(r.input, std::stod(k.at(degrees[i])) - std::stod(k.at(25)), 1.0e-3) << i;
        EXPECT_DOUBLE_EQ(r.expected, 4 + 4.0 * i) << i;
        EXPECT_FALSE(r.saturated);
    }
    EXPECT_EQ(answers::sheetColumns(q),
              (std::vector<std::string>{"percent", "temperature_C", "input_mV", "expected_mA",
                                        "saturated"}));
    EXPECT_EQ(answers::sheetCells(q, sheet.rows[2]),
              (std::vector<std::string>{"50", "250.00", "9.153", "12.000", "no"}));
}

// IEC 60751's Pt100 table: 100.00 Ω at 0 °C, 119.40 Ω at 50 °C, 138.51 Ω at 100 °C; a
// 0-10 V output; -10 % and 110 % saturated at lo and hi.
TEST(LoopSheet, Pt100OnVoltsWithSaturatedRows) {
    SheetQuestion q = question("Pt100", 0, 100, {0, 10, core::SignalUnit::volt});
    q.percents = {-10, 0, 50, 100, 110};
    const answers::Sheet sheet = answers::loopSheet(q, kEnglish);
    EXPECT_FALSE(sheet.emfInput);
    const double ohm[] = {96.09, 100.00, 119.40, 138.51, 142.29};
    const double volt[] = {0, 0, 5, 10, 10};
    const bool saturated[] = {true, false, false, false, true};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_NEAR(sheet.rows[i].input, ohm[i], 0.005) << i;
        EXPECT_DOUBLE_EQ(sheet.rows[i].expected, volt[i]) << i;
        EXPECT_EQ(sheet.rows[i].saturated, saturated[i]) << i;
    }
    EXPECT_EQ(answers::sheetColumns(q)[2], "input_ohm");
    EXPECT_EQ(answers::sheetColumns(q)[3], "expected_V");
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

TEST(LoopSheet, RefusedWhole) {
    struct Case {
        const char* name;
        SheetQuestion q;
        int status;
        const char* message;
    };
    SheetQuestion beyond = question("K", 0, 1372);
    beyond.percents = {0, 50, 110};
    SheetQuestion coldJunction = question("K", 0, 500);
    coldJunction.cjC = 2000;
    SheetQuestion fewFound = question("K", 0, 500);
    fewFound.found = {4, 8, 12};
    SheetQuestion nanPoint = question("Pt100", 0, 100);
    nanPoint.percents = {0, std::nan("")};
    SheetQuestion badAccuracy = question("Pt100", 0, 100);
    badAccuracy.accuracyPct = -0.1;
    const Case cases[] = {
        {"point beyond the sensor", beyond, 1,
         "test point at 110 % of span: 1509.2 °C is out of range for type K thermocouple: "
         "accepted -270 °C to 1372 °C"},
        {"cold junction beyond the sensor", coldJunction, 1,
         "cold junction temperature 2000 °C is out of range"},
        {"found count", fewFound, 2, "as found: 3 values for 5 points"},
        {"percent not a number", nanPoint, 2, "points: nan is not a finite number"},
        {"negative accuracy", badAccuracy, 2, "accuracy: write it as ± % of span"},
    };
    for (const Case& c : cases) {
        const answers::Failure f = refusal(c.q);
        EXPECT_EQ(f.status, c.status) << c.name;
        EXPECT_NE(f.message.find(c.message), std::string::npos) << c.name << ": " << f.message;
    }
}

}  // namespace
