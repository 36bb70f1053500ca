// kelvora-cli loop and check in-process: one table of commands with their input, exit status,
// output and message. Expected outputs are worked by hand from the transmitter's formula, NAMUR
// NE 43's levels, NIST's type K table (E(25 °C) = 1.000, E(125 °C) = 5.124, E(250 °C) = 10.153,
// E(375 °C) = 15.343, E(500 °C) = 20.644 mV) and IEC 60751's equation for Pt100.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/cli_run.hpp"

namespace {

using kelvora::test::Case;
using kelvora::test::cli;
using kelvora::test::expectCase;
using kelvora::test::Output;
using kelvora::test::Result;

const Case kCases[] = {
    // The output both ways, with the digits asked for.
    {"loop 250 --range 0,500", "", 0, "12.000\n", ""},
    {"loop 250 --range 0,500 --digits 5", "", 0, "12.00000\n", ""},
    {"loop --reverse 13.6 --range 0,500", "", 0, "300.00\n", ""},
    // Below and above range: the temperature, and the state on standard error.
    {"loop --reverse 3.9 --range 0,500", "", 0, "-3.13\n", "3.9 mA: NAMUR NE 43: below range"},
    {"loop --reverse 3.8 --range 0,500", "", 0, "-6.25\n", "below range, saturated"},
    {"loop --reverse 11 --range 0,100 --signal 0-10V", "", 0, "110.00\n",
     "11 V: above range of 0-10V"},
    {"loop --reverse 3.9 --range 0,500", "", 0, "-3.13\n", "3.9mA：NAMUR NE 43：低于量程", true},
    // No temperature: a failure signal or not a measurement, status 1.
    {"loop --reverse 3.6 --range 0,500", "", 1, "", "NAMUR NE 43: failure signal, low"},
    {"loop --reverse 20.7 --range 0,500", "", 1, "", "NAMUR NE 43: not a measurement"},
    // A column from standard input: an empty line where a value fails.
    {"loop - --range 0,500", "0\n250\nx\n500\n", 2, "4.000\n12.000\n\n20.000\n",
     "line 3: temperature 'x' is not a number"},
    {"loop --reverse - --range 0,500", "12\n2\n", 1, "250.00\n\n",
     "line 2: NAMUR NE 43: failure signal, low"},

    // The sheet: type K, 0…500 °C, cold junction 25 °C, inputs E(t) − E(25 °C).
    {"check K --range 0,500 --cj 25 --format csv", "", 0,
     "percent,temperature_C,input_mV,expected_mA,saturated\n"
     "0,0.00,-1.000,4.000,no\n25,125.00,4.124,8.000,no\n50,250.00,9.153,12.000,no\n"
     "75,375.00,14.343,16.000,no\n100,500.00,19.644,20.000,no\n",
     ""},
    // As found 0.02 mA high at 50 %: 0.125 % of span, 0.625 °C, beyond ±0.1 %: status 3.
    {"check K --range 0,500 --cj 25 --at 0,50 --found 4,12.02 --left 4,12.008 --accuracy 0.1 "
     "--format csv",
     "", 3,
     "percent,temperature_C,input_mV,expected_mA,saturated,found_mA,found_error_pct,"
     "found_error_C,found_pass,left_mA,left_error_pct,left_error_C,left_pass\n"
     "0,0.00,-1.000,4.000,no,4.000,0.000,0.000,yes,4.000,0.000,0.000,yes\n"
     "50,250.00,9.153,12.000,no,12.020,0.125,0.625,no,12.008,0.050,0.250,yes\n",
     ""},
    // 12.01 mA: 0.0625 % and 0.3125 °C, decimal ties shown rounded up.
    {"check K --range 0,500 --at 50 --left 12.01 --accuracy 0.1 --format csv", "", 0,
     "percent,temperature_C,input_mV,expected_mA,saturated,left_mA,left_error_pct,left_error_C,"
     "left_pass\n50,250.00,10.153,12.000,no,12.010,0.063,0.313,yes\n",
     ""},
    // Pt100 at -10 %, 50 %, 110 %: R(-10 °C) = 96.086 Ω, R(50 °C) = 119.397 Ω, R(110 °C) =
    // 142.293 Ω; the ends saturated at 3.8 and 20.5 mA.
    {"check Pt100 --range 0,100 --at -10,50,110 --format json", "", 0,
     "{\"sensor\": \"Pt100\", \"range\": [0, 100], \"signal\": \"4-20mA\", \"cj\": null, "
     "\"rows\": [\n"
     "{\"percent\": -10, \"temperature_C\": -10.00, \"input_ohm\": 96.086, \"expected_mA\": "
     "3.800, \"saturated\": true},\n"
     "{\"percent\": 50, \"temperature_C\": 50.00, \"input_ohm\": 119.397, \"expected_mA\": "
     "12.000, \"saturated\": false},\n"
     "{\"percent\": 110, \"temperature_C\": 110.00, \"input_ohm\": 142.293, \"expected_mA\": "
     "20.500, \"saturated\": true}\n"
     "]}\n",
     ""},
    {"check Pt100 --range 0,100 --points 3 --updown --signal 0-10V --format csv", "", 0,
     "percent,temperature_C,input_ohm,expected_V,saturated\n0,0.00,100.000,0.000,no\n"
     "50,50.00,119.397,5.000,no\n100,100.00,138.506,10.000,no\n50,50.00,119.397,5.000,no\n"
     "0,0.00,100.000,0.000,no\n",
     ""},
    {"check K --range 0,500 --cj 25 --at 50", "", 0,
     "Loop check of type K thermocouple, range 0 °C to 500 °C, signal 4-20mA, cold junction "
     "25 °C\n"
     "% of span  temperature °C  input mV  expected mA  saturated\n"
     "       50          250.00     9.153       12.000         no\n",
     ""},
    {"check K --range 0,500 --at 50 --found 12.02 --accuracy 0.1", "", 3,
     "回路校验：K 型热电偶，量程 0℃～500℃，输出 4-20mA，冷端 0℃，准确度 ±0.1% 量程\n"
     "量程 %  温度 ℃  输入 mV  应输出 mA  饱和  校前 mA  校前误差 %  校前误差 ℃  校前合格\n"
     "    50  250.00   10.153     12.000    否   12.020       0.125       0.625    不合格\n"
     "校前：1 个测试点中 1 个超出 ±0.1% 量程\n",
     "", true},

    // Refused sheets: nothing printed, status 1 for a point or cold junction out of range.
    {"check K --range 0,1372 --at 0,110", "", 1, "",
     "test point at 110 % of span: 1509.2 °C is out of range for type K thermocouple: accepted "
     "-270 °C to 1372 °C"},
    {"check K --range 0,500 --cj 1400", "", 1, "", "cold junction temperature 1400 °C"},
    {"check Cu50 --range 0,200", "", 1, "", "up to 150 °C (150 °C itself excluded)"},
};

// Bad arguments: status 2, nothing on standard output, a message naming the accepted form.
struct Bad {
    const char* args;
    const char* message;
};
const Bad kBad[] = {
    {"loop 250 --range 100,100",
     "range 100,100: write LRV,URV in °C, two finite numbers that "
     "differ"},
    {"loop 250 --range 0", "--range '0': write LRV,URV in °C, like --range 0,500"},
    {"loop 250 --range 0,abc", "--range 'abc' is not a number"},
    {"loop 250 --range 0,1e999", "--range '1e999' is beyond the largest number"},
    {"loop 1e999 --range 0,500", "temperature '1e999' is beyond the largest number"},
    {"loop nan --range 0,500", "temperature 'nan' is not a number"},
    {"loop 250", "--range is required"},
    {"loop 250 --range 0,500 --signal 4-20A", "signal '4-20A': write LO-HI and its unit, mA or V"},
    {"loop 250 --range 0,500 --signal 20-4mA", "with 0 <= LO < HI"},
    {"check K --range 0,500 --points 1", "--points 1: a whole number of points from 2 to 100000"},
    {"check K --range 0,500 --points 2.5", "--points 2.5: a whole number of points"},
    {"check K --range 0,500 --points 5 --at 0,100", "give the points one way"},
    {"check K --range 0,500 --at 0,x", "--at 'x' is not a number"},
    {"check K --range 0,500 --at 0,,50", "--at '0,,50': write the values as numbers with commas"},
    {"check K --range 0,500 --r0 100", "--r0 gives a platinum thermometer's certificate"},
    {"check Pt100 --range 0,100 --cj 25", "--cj applies to thermocouples only"},
    {"check K --range 0,500 --found 4,8,12", "as found: 3 values for 5 points"},
    {"check K --range 0,500 --updown --left 4,8", "as left: 2 values for 9 points"},
    {"check K --range 0,500 --accuracy -0.1", "accuracy: write it as ± % of span"},
    {"check K --range 0,500 --format xml", "--format"},
    {"check X --range 0,500", "unknown sensor 'X'"},
};

TEST(CliLoop, StatusOutputAndMessage) {
    for (const Case& c : kCases) expectCase(c, Output::whole);
}

TEST(CliLoop, BadArguments) {
    for (const Bad& b : kBad) {
        SCOPED_TRACE(b.args);
        const Result r = cli(b.args, "", false);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(b.message), std::string::npos) << r.err;
    }
}

}  // namespace
