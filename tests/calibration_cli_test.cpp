// kelvora-cli's calibrations: fit's report and its coefficients taken back by res, and one
// table of requests with their exit status, output and message. Resistances are IEC 60751's
// Pt100 table (two decimals), EMFs NIST SRD 60's type K table (4.096 mV at 100 °C).
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "tests/cli_run.hpp"

namespace {

using kelvora::test::Case;
using kelvora::test::cli;
using kelvora::test::expectCase;
using kelvora::test::Output;
using kelvora::test::Result;

// IEC 60751 at −100, 0, 100 and 200 °C, with a comment and a blank line.
constexpr const char* kPt100 =
    "# Pt100, IEC 60751\n-100, 60.26\n0,100.00\n\n100,138.51 # ok\n"
    "200,175.86\n";

const Case kCases[] = {
    // As many points as unknowns: the curve passes through each one.
    {"fit Pt100 -", kPt100, 0, "largest residual 0.000 mK\n", ""},
    {"fit Pt100 - --format json", kPt100, 0, "\"residual_ohm\": 0.000000, \"residual_mK\": 0.000}",
     ""},
    {"fit Pt100 - --r0 100", "0,100\n100,138.51\n200,175.86\n", 0, "A and B fitted to 3 points",
     ""},
    // Refused, with the reason.
    {"fit Pt100 -", "0,100\n100,138.51\n", 2, "", "takes at least 3 points"},
    {"fit Pt100 -", "-100,60.26\n0,100\n100,138.51\n", 2, "",
     "fitting R0, A, B and C takes at least 4 points"},
    {"fit Pt100 -", "0,100\n100,138.5\n100,138.6\n", 2, "",
     "line 2 and line 3: two resistances at 100 °C"},
    {"fit Pt100 -", "0,100\n100,138.51\n100,138.51\n", 2, "",
     "the points lie at 2 different temperatures; fitting R0, A and B takes 3"},
    {"fit Pt100 -", "0,100\n100,0\n200,175.86\n", 2, "",
     "line 2: resistance 0 Ω: a resistance must be a finite number above 0 Ω"},
    {"fit Pt100 -", "0,100\n900,400\n200,175.86\n", 2, "",
     "line 2: temperature 900 °C is outside -200 °C to 850 °C"},
    {"fit Pt100 - --r0 100", "0,100\n100,138.51\n", 2, "", "the fit is singular"},
    {"fit Pt100 -", "0,100\n400,150\n850,140\n", 2, "",
     "no platinum curve: the coefficients give a resistance that does not rise"},
    {"fit Pt100 - --r0 0", kPt100, 2, "", "R0 0 Ω: R0 must be greater than 0 Ω"},
    {"fit Pt100 -", "0,100\n100;138.51\n", 2, "", "line 2 '100;138.51': write the temperature"},
    {"fit K -", kPt100, 2, "", "fit takes a platinum thermometer"},
    {"fit Pt100 no-such-folder/points.csv", "", 2, "", "cannot read the points file"},
    {"fit Pt100 -", "0,100\n100,138.5\n100,138.6\n", 2, "", "第 2 行与第 3 行：100℃ 有两个电阻值",
     true},
    // A thermocouple's deviation: 0.1 µV/°C adds 10 µV at 100 °C against 0 °C; a constant one
    // cancels against the reference junction's.
    {"emf K 100 --deviation -", "0,0\n1000,100\n", 0, "4.106\n", ""},
    {"temp K 4.106 --deviation - --digits 1", "0,0\n1000,100\n", 0, "100.0\n", ""},
    {"emf K 100 --deviation -", "0,10\n", 0, "4.096\n",
     "note: 100 °C lies outside the calibrated temperature 0 °C: the deviation is extrapolated"},
    {"emf K 1200 --deviation -", "0,0\n1000,100\n", 0, nullptr,
     "note: 1200 °C lies outside the calibrated temperatures 0 °C to 1000 °C"},
    {"table K --from 0 --to 1 --deviation - --format csv", "0,0\n1000,100\n", 0, "1,0.040\n", ""},
    {"temp K 60 --deviation -", "0,0\n1000,100\n", 1, "",
     "with the reference junction at 0 °C and the thermocouple's deviation"},
    {"temp Pt100 100 --deviation -", "0,0\n", 2, "", "--deviation applies to thermocouples only"},
    {"emf K 100 --degree 2", "", 2, "", "--degree goes with --deviation FILE"},
    {"emf K - --deviation -", "100\n", 2, "", "cannot both come from standard input"},
    {"emf K 100 --deviation - --degree 2", "100,5\n200,6\n", 2, "",
     "a deviation of degree 2 takes points at 3 different temperatures; the points lie at 2"},
    {"emf K 100 --deviation - --degree 4", "100,5\n", 2, "", "--degree"},
    {"emf K 100 --deviation -", "# none\n", 2, "", "the deviation has no points"},
    {"emf K 100 --deviation -", "1400,5\n", 2, "",
     "line 1: temperature 1400 °C is out of range for type K thermocouple"},
    {"emf K 100 --deviation -", "100,0\n200,-5000\n", 2, "", "falls at 100 °C"},
};

TEST(CliCalibration, StatusOutputAndMessage) {
    for (const Case& c : kCases) expectCase(c, Output::part);
}

// The coefficients as printed, given back to res, give the fitted resistance of every point
// (to the report's last digit); α, δ and β as printed give it to 1e-7 Ω. The points are IEC
// 60751's table values, whose rounding to 0.01 Ω leaves residuals of up to 5 mΩ.
TEST(CliCalibration, PrintedCoefficientsRoundTrip) {
    const Result r = cli("fit Pt100 -",
                         "-200,18.52\n-100,60.26\n0,100\n200,175.86\n400,247.09\n"
                         "600,313.71\n800,375.70\n850,390.48\n");
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line, options, alpha, delta, beta;
    while (std::getline(lines, line) && line.rfind("t/", 0) != 0) {
        const std::string value = line.substr(line.find('=') + 2);
        if (line.rfind("--r0", 0) == 0) options = line;
        if (line.rfind("alpha", 0) == 0) alpha = value.substr(0, value.find(' '));
        if (line.rfind("delta", 0) == 0) delta = value.substr(0, value.find(' '));
        if (line.rfind("beta", 0) == 0) beta = value.substr(0, value.find(' '));
    }
    const std::string r0 = options.substr(5, options.find(' ', 5) - 5);
    int points = 0;
    for (double t, ohm, fit, residual, mk; lines >> t >> ohm >> fit >> residual >> mk; ++points) {
        std::ostringstream at;
        at << t;
        EXPECT_EQ(std::stod(cli("res Pt100 " + at.str() + " " + options + " --digits 6").out), fit)
            << t;
        const double callendar =
            std::stod(cli("res Pt100 " + at.str() + " --r0 " + r0 + " --alpha " + alpha +
                          " --delta " + delta + " --beta " + beta + " --digits 9")
                          .out);
        EXPECT_NEAR(callendar, fit, 1e-6) << t;
        EXPECT_NEAR(residual, ohm - fit, 1e-6) << t;
        EXPECT_LT(std::fabs(residual), 5e-3) << t;
        // dR/dt of a Pt100 is R0·(A + 2B·t + …): 0.43 Ω/°C at −200 °C, 0.29 Ω/°C at 850 °C.
        EXPECT_GT(std::fabs(mk), std::fabs(residual) / 0.44 * 1000 - 1e-3) << t;
        EXPECT_LT(std::fabs(mk), std::fabs(residual) / 0.29 * 1000 + 1e-3) << t;
    }
    EXPECT_EQ(points, 8);
}

}  // namespace
