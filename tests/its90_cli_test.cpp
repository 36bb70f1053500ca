// kelvora-cli's ITS-90 thermometers: ITS90 with --rtpw and --dev in res, temp, slope and table,
// fit ITS90, and one table of requests with their exit status, output and message. Reference
// values are R_tpw times the scale's Wr at the defining fixed points ("The International
// Temperature Scale of 1990", Metrologia 27, 3–10, 1990, Table 4).
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/cli_run.hpp"

namespace {

using kelvora::test::Case;
using kelvora::test::cli;
using kelvora::test::expectCase;
using kelvora::test::Output;
using kelvora::test::Result;

// Tin and zinc of a thermometer with R_tpw = 25 Ω, a8 = −1.5e-4, b8 = 1.0e-5.
constexpr const char* kTinZinc = "# tin, zinc\n231.928,47.3167937\n419.527, 64.2176651\n";

const Case kCases[] = {
    // R_tpw times the scale's Wr at the fixed points, and with a deviation the root of
    // b·x² + (a − 1)·x + Wr − 1 = 0, x = W − 1, worked from it.
    {"res ITS90 --rtpw 100 --dev 4:0,0 -189.3442 --digits 4", "", 0, "21.5860\n", ""},
    {"table its90 --rtpw 100 --dev 8:0,0 --from 231.928 --to 419.527 --step 187.599 --format csv "
     "--digits 5",
     "", 0, "temperature_C,resistance_ohm\n231.928,189.27977\n419.527,256.89173\n", ""},
    {"res ITS90 --rtpw 25 --dev 8:-1.5e-4,1e-5 -", "231.928\n419.527\n", 0,
     "47.316794\n64.217665\n", ""},
    {"temp ITS90 --rtpw 25 --dev 8:-1.5e-4,1e-5 64.2176651", "", 0, "419.5270\n", ""},
    {"res ITS90 --rtpw 25.5 --dev 4:-1.2e-4,-2.5e-5 --dev 8:-1.5e-4,1e-5 0.01", "", 0,
     "25.500000\n", ""},
    {"temp ITS90 --rtpw 25.5 --dev 8:-1.5e-4,1e-5 25.5", "", 0, "0.0100\n", ""},
    {"res ITS90 --rtpw 25.5 --dev 4:0,0 --dev 8:0,0 419.6", "", 1, "",
     "temperature 419.6 °C is out of range for ITS90 (sub-ranges 4: -189.3442 °C to 0.01 °C, 8: "
     "0.01 °C to 419.527 °C): accepted -189.3442 °C to 419.527 °C"},
    {"temp ITS90 --rtpw 25.5 --dev 8:0,0 25.4", "", 1, "",
     "resistance 25.4 Ω is out of range for ITS90 (sub-range 8: 0.01 °C to 419.527 °C): accepted "
     "25.5 Ω to "},
    {"res ITS90 --rtpw 25.5 --dev 5:0,0 -40", "", 1, "",
     "超出 ITS90 铂电阻温度计（分区 5：-38.8344℃～0.01℃） 的范围", true},
    {"res ITS90 100", "", 2, "", "ITS90 needs --rtpw R"},
    {"res ITS90 --rtpw 25.5 100", "", 2, "", "ITS90 needs its deviation functions"},
    {"res ITS90 --rtpw abc --dev 8:0,0 100", "", 2, "", "--rtpw 'abc' is not a number"},
    {"res ITS90 --rtpw -25.5 --dev 8:0,0 100", "", 2, "",
     "R_tpw must be a number between 1e-200 Ω and 1e200 Ω"},
    {"res ITS90 --rtpw 25.5 --dev 8 100", "", 2, "",
     "--dev '8': write the sub-range, a colon and its deviation coefficients"},
    {"res ITS90 --rtpw 25.5 --dev 6:0,0 100", "", 2, "", "there is no sub-range 6"},
    {"res ITS90 --rtpw 25.5 --dev 7:0,0 100", "", 2, "", "sub-range 7 takes 3 coefficients, a,b,c"},
    {"res ITS90 --rtpw 25.5 --dev 11:0,0 100", "", 2, "", "sub-range 11 takes 1 coefficient, a"},
    {"res ITS90 --rtpw 25.5 --dev 10:0,0 100", "", 2, "", "分区 10 有 1 个系数：a", true},
    {"res ITS90 --rtpw 25.5 --dev 4:0,0 --dev 5:0,0 -10", "", 2, "",
     "one sub-range below 0.01 °C (4 or 5) and one above (7 to 11)"},
    {"res ITS90 --rtpw 25.5 --dev 9:0.5,0 100", "", 2, "", "changes too fast"},
    {"res ITS90 --rtpw 25.5 --dev 8:0,0 --cvd 1,2 100", "", 2, "",
     "--cvd gives a Callendar-Van Dusen certificate"},
    {"res Pt100 --rtpw 25.5 100", "", 2, "",
     "--rtpw gives an ITS-90 thermometer's certificate (sensor ITS90 only), not Pt100's"},
    {"tol ITS90 --rtpw 25.5 --dev 8:0,0 100 --class A", "", 2, "", "has no tolerance classes"},
    {"lut ITS90 --rtpw 25.5 --dev 8:0,0 --max-error 0.1", "", 2, "", "ITS90 has no table here"},
    // fit ITS90: exact with as many points as coefficients.
    {"fit ITS90 --range 8 - --rtpw 25", kTinZinc, 0, nullptr, ""},
    {"fit its90 --range 11 - --rtpw 25 --format json", "0.01,25\n29.7646,27.95\n", 0, nullptr, ""},
    {"fit ITS90 - --rtpw 25", kTinZinc, 2, "", "fit ITS90 needs --range N"},
    {"fit ITS90 --range 8.5 - --rtpw 25", kTinZinc, 2, "", "--range '8.5': the sub-range is"},
    {"fit ITS90 --range 6 - --rtpw 25", kTinZinc, 2, "", "there is no sub-range 6"},
    {"fit ITS90 --range 8 - --rtpw -1", kTinZinc, 2, "", "R_tpw -1 Ω: R_tpw must be"},
    {"fit ITS90 --range 9 - --rtpw 25", kTinZinc, 2, "",
     "line 3: temperature 419.527 °C lies outside sub-range 9: 0.01 °C to 231.928 °C"},
    {"fit ITS90 --range 7 - --rtpw 25", kTinZinc, 2, "",
     "fitting a, b and c of sub-range 7 takes at least 3 points; there are 2"},
    {"fit ITS90 --range 8 - --rtpw 25", "0.01,25\n231.928,47.3\n231.928,47.3\n", 2, "",
     "the points lie at 1 temperature besides the water triple point"},
    {"fit ITS90 --range 8 - --rtpw 25", "231.928,47.3\n231.928,47.4\n", 2, "",
     "line 1 and line 2: two resistances at 231.928 °C"},
    {"fit ITS90 --range 8 - --rtpw 25", "231.928,47.3\n419.527,0\n", 2, "",
     "line 2: resistance 0 Ω"},
    {"fit ITS90 --range 8 - --rtpw 25 --r0 100", kTinZinc, 2, "", "ITS90 takes --rtpw"},
    {"fit Pt100 - --range 8", kTinZinc, 2, "", "--range applies to an ITS-90 thermometer's fit"},
    {"fit ITS90 --range 10 - --rtpw 25", "156.5985,50\n", 2, "", "is refused: the deviation"},
    {"fit ITS90 --range 8 - --rtpw 25", "231.928,47.3\n419.527,0\n", 2, "", "第 2 行：电阻 0 Ω",
     true},
};

TEST(CliIts90, StatusOutputAndMessage) {
    for (const Case& c : kCases) expectCase(c, Output::whole);
}

// Sub-range 8 from tin and zinc: the fit passes through both points, finds a8 and b8 to what
// the scale's Wr to 1e-8 allows, and its --rtpw and --dev as printed give the points back.
TEST(CliIts90, TinAndZincFitExactly) {
    const Result r = cli("fit ITS90 --range 8 - --rtpw 25", kTinZinc);
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line, options;
    double a = 0, b = 0;
    while (std::getline(lines, line) && line.find("t/°C") == std::string::npos) {
        if (line.rfind("a = ", 0) == 0) a = std::stod(line.substr(4));
        if (line.rfind("b = ", 0) == 0) b = std::stod(line.substr(4));
        if (line.rfind("--rtpw", 0) == 0) options = line;
    }
    EXPECT_NEAR(a, -1.5e-4, 5e-8);
    EXPECT_NEAR(b, 1.0e-5, 5e-8);
    int points = 0;
    for (double t, ohm, fit, residual, mk; lines >> t >> ohm >> fit >> residual >> mk; ++points) {
        EXPECT_NEAR(fit, ohm, 5e-7) << t;  // to the report's six decimals
        EXPECT_EQ(residual, 0) << t;
        EXPECT_EQ(mk, 0) << t;
        std::ostringstream at;
        at << t;
        EXPECT_EQ(cli("res ITS90 " + options + " " + at.str() + " --digits 7").out,
                  std::string(t < 300 ? "47.3167937\n" : "64.2176651\n"));
    }
    EXPECT_EQ(points, 2);
}

}  // namespace
