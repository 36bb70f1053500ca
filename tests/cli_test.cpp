// kelvora-cli run in-process: every table against the NIST reference tables, and one table
// of commands with their input, exit status, output and message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/reference_junction.hpp"
#include "core/rtd.hpp"
#include "core/thermocouple.hpp"
#include "tests/cli_run.hpp"
#include "tests/nist_tables.hpp"

namespace {

using namespace kelvora;

using test::cli;
using test::Result;

TEST(CliTable, CsvAtZeroHoldsEveryValueOfTheNistTables) {
    for (const auto& [letter, reference] : test::referenceTables()) {
        const Result r = cli(std::string("table ") + letter + " --format csv");
        ASSERT_EQ(r.status, 0) << letter << r.err;
        std::istringstream lines(r.out);
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(line, "temperature_C,emf_mV");
        std::size_t rows = 0;
        for (; std::getline(lines, line); ++rows) {
            const std::size_t comma = line.find(',');
            const int t = std::stoi(line.substr(0, comma));
            ASSERT_TRUE(reference.count(t)) << letter << " " << line;
            EXPECT_EQ(line.substr(comma + 1), reference.at(t)) << "type " << letter << " at " << t;
        }
        EXPECT_EQ(rows, reference.size()) << letter;
    }
}

// The range each sensor reports is the one its conversions keep: the limits convert, the
// next doubles beyond them do not.
TEST(CliTable, SensorLimitsAreTheConversionsOwn) {
    for (int i = 0; i < 12; ++i) {
        const auto forward = [i](double t) { return i < 8 ? core::e(t, i) : core::r_Ohm(t, i); };
        const auto inverse = [i](double v) { return i < 8 ? core::t(v, i) : core::t_Ohm(v, i); };
        using F = std::function<double(double)>;
        for (const auto& [f, l] : {std::pair{F(forward), core::temperatureLimits(i)},
                                   std::pair{F(inverse), core::readingLimits(i)}}) {
            EXPECT_FALSE(core::outOfRange(f(l.lo))) << i;
            EXPECT_TRUE(core::outOfRange(f(std::nextafter(l.lo, -1e9)))) << i;
            EXPECT_EQ(core::outOfRange(f(l.hi)), !l.hiIncluded) << i;
            EXPECT_TRUE(core::outOfRange(f(std::nextafter(l.hi, 1e9)))) << i;
        }
    }
}

// A table against a reference junction holds what `emf` gives at each of its points.
TEST(CliTable, ValuesAreThoseOfSingleConversions) {
    const Result table =
        cli("table T --from -12 --to 1.5 --step 0.5 --cj 25 --format csv --digits 5");
    std::istringstream lines(table.out);
    std::string line;
    std::getline(lines, line);
    int rows = 0;
    for (; std::getline(lines, line); ++rows) {
        const std::size_t comma = line.find(',');
        EXPECT_EQ(cli("emf T " + line.substr(0, comma) + " --cj 25 --digits 5").out,
                  line.substr(comma + 1) + "\n");
    }
    EXPECT_EQ(rows, 28);
}

// A lookup table's csv, json and C header hold as many breakpoints as standard error reports,
// under the header line of their numbers.
TEST(CliLut, FormatsHoldTheBreakpointsTheReportCounts) {
    for (const char* numbers : {"", " --int"}) {
        const std::string request = std::string("lut J --max-error 0.05") + numbers;
        const Result csv = cli(request + " --format csv");
        ASSERT_EQ(csv.status, 0) << csv.err;
        const std::size_t words = csv.err.find(" breakpoints");
        const std::size_t points = std::stoul(csv.err.substr(csv.err.rfind(' ', words - 1) + 1));
        EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')),
                  *numbers ? "reading_uV,temperature_mC" : "reading,temperature_C");
        EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), points + 1);
        EXPECT_NE(cli(request).out.find("#define KELVORA_J_POINTS " + std::to_string(points)),
                  std::string::npos);
        const std::string json = cli(request + " --format json").out;
        EXPECT_NE(json.find("\"points\": " + std::to_string(points)), std::string::npos);
        EXPECT_NE(csv.err.find("cold junction -20 °C to 70 °C"), std::string::npos) << csv.err;
    }
}

struct Case {
    const char* args;
    const char* input;
    int status;
    const char* out;  // the whole of standard output
    const char* err;  // a part of standard error ("" for none at all)
    bool chinese = false;
};

const Case kCases[] = {
    // Conversions as the window shows them, and with more digits.
    {"emf K 100", "", 0, "4.096\n", ""},
    {"emf k 100 --cj 25", "", 0, "3.096\n", ""},
    {"emf K -5 --digits 6", "", 0, "-0.196622\n", ""},
    {"emf K -.5e1 --cj -.5", "", 0, "-0.177\n", ""},
    {"temp K 3.096 --cj 25", "", 0, "99.97\n", ""},
    {"temp PT100 138.5055", "", 0, "100.00\n", ""},
    {"res Pt100 100", "", 0, "138.51\n", ""},
    {"res Cu50 -50", "", 0, "39.24\n", ""},
    // A column: one line out per line in, an empty one where a value fails.
    {"temp K -", "4.096\nabc\n60\n\n 1.0\r\n", 2, "99.96\n\n\n\n24.98\n", "line 3: EMF 60 mV"},
    {"res Pt100 -", "0\n900\n", 1, "100.00\n\n", "line 2: temperature 900 °C"},
    // Out of range: status 1, the accepted range named.
    {"emf K 1372.001", "", 1, "", "accepted -270 °C to 1372 °C"},
    {"emf B 10 --cj -1", "", 1, "", "reference temperature -1 °C"},
    {"temp K 60", "", 1, "", "-5.891 mV to 54.886 mV with the reference junction at 0 °C"},
    {"temp K 54 --cj 100", "", 1, "", "-9.987 mV to 50.79 mV"},
    {"temp Cu50 90", "", 1, "", "39.24 Ω up to 82.14 Ω"},
    {"res Cu100 150", "", 1, "", "(150 °C itself excluded)"},
    {"emf K 1e999", "", 1, "", "temperature 1e999 °C"},
    {"table K --from -271", "", 1, "", "--from -271 °C"},
    {"table T --to 400.5 --step 0.5", "", 1, "", "--to 400.5 °C"},
    {"temp K 60", "", 1, "", "热电势 60mV 超出 K 型热电偶 的范围：-5.891mV～54.886mV", true},
    // Usage errors: status 2.
    {"emf K 1,5", "", 2, "", "temperature '1,5' is not a number"},
    {"emf K inf", "", 2, "", "is not a number"},
    {"emf K 1.5.", "", 2, "", "温度“1.5.”不是数", true},
    {"emf X 1", "", 2, "", "unknown sensor 'X': one of S R B K N E J T Pt100 Pt10 Cu100 Cu50"},
    {"emf Pt100 1", "", 2, "", "emf needs a thermocouple"},
    {"res K 1", "", 2, "", "res needs a resistance thermometer"},
    {"temp Pt10 5 --cj 20", "", 2, "", "--cj applies to thermocouples only"},
    {"emf K", "", 2, "", "TEMP is required"},
    {"emf K 1 --digits 16", "", 2, "", "--digits"},
    {"emf K 1 --colour", "", 2, "", "--colour"},
    {"emf K 1 --colour", "", 2, "", "多余的参数或未知的选项：--colour", true},
    {"convert K 1", "", 2, "", "unknown command 'convert'"},
    {"", "", 2, "", "A subcommand is required"},
    {"table K --step 0", "", 2, "", "--step must be greater than 0"},
    {"table K --step 0.0001", "", 2, "", "16420001 rows, at most 10000000"},
    {"table K --step 1e-10", "", 2, "", "at most 9 decimals"},
    {"table K --from 5 --to 4", "", 2, "", "--from must not be above --to"},
    {"table K --format xml", "", 2, "", "--format"},
    // Tables: the copper top (excluded) ends the default range a step below it; the
    // printed layout; JSON.
    {"table Cu50 --from 148 --format csv", "", 0,
     "temperature_C,resistance_ohm\n148,81.70\n149,81.92\n", ""},
    {"table K --from -3 --to 12", "", 0,
     "分度表  分度号 K  镍铬-镍硅热电偶\n"
     "温度测量范围 -270℃～1372℃  参考端温度 0℃  单位 热电势 mV\n"
     "  ℃       0       1       2       3       4       5       6       7       8       9\n"
     "-10                                                          -0.118  -0.079  -0.039\n"
     "  0   0.000   0.039   0.079   0.119   0.158   0.198   0.238   0.277   0.317   0.357\n"
     " 10   0.397   0.437   0.477\n",
     ""},
    {"table Pt100 --from 0 --to 0.2 --step 0.1 --format json --digits 3", "", 0,
     "{\"sensor\": \"Pt100\", \"description\": \"铂热电阻R0=100\", \"reference_C\": null, "
     "\"unit\": \"Ω\", \"columns\": [\"temperature_C\", \"resistance_ohm\"], \"rows\": [\n"
     "[0.0, 100.000],\n[0.1, 100.039],\n[0.2, 100.078]\n]}\n",
     ""},
    // Any R0, certificates and the exact inverse: IEC 60751 (Pt100 138.51 Ω at 100 °C, the
    // same in Callendar's constants; Pt1000 ten times it), DIN 43760 (Ni100 161.78 Ω), and
    // type K at -250 °C, below the inverse polynomials, from its EMF to 12 decimals.
    {"res Pt1000 100", "", 0, "1385.06\n", ""},
    {"res NI100 100", "", 0, "161.78\n", ""},
    {"res pt100 100 --cvd 3.9083e-3,-5.775e-7,-4.183e-12", "", 0, "138.51\n", ""},
    {"res Pt100 100 --alpha 0.00385055 --delta 1.4999 --beta 0.10863", "", 0, "138.51\n", ""},
    {"res Pt100 0 --r0 100.05", "", 0, "100.05\n", ""},
    {"temp Pt1000 1385.06", "", 0, "100.00\n", ""},
    {"temp K -6.403606397089 --exact --digits 6", "", 0, "-250.000000\n", ""},
    {"temp K -6.403606397089", "", 1, "", "-5.891 mV to 54.886 mV"},
    {"temp B 0 --exact", "", 1, "", "gives two temperatures for type B thermocouple"},
    {"temp B 13.9 --exact", "", 1, "", "accepted above 0 mV to 13.82 mV"},
    {"temp Pt100 100 --exact", "", 2, "", "--exact applies to thermocouples only"},
    {"table Pt1000 --from 0 --to 2 --format csv", "", 0,
     "temperature_C,resistance_ohm\n0,1000.00\n1,1003.91\n2,1007.81\n", ""},
    // Seebeck coefficient (R0·A at 0 °C for platinum) and tolerance classes (IEC 60584-1 class
    // 1: 0.004·|t|, IEC 60751 class A: 0.15 + 0.002·|t|, AA film: 0.1 + 0.0017·|t|).
    {"slope Pt100 -", "0\n900\n", 1, "0.3908\n\n", "line 2: temperature 900 °C"},
    {"slope K 1373", "", 1, "", "temperature 1373 °C is out of range for type K"},
    {"tol K 500 --class 1", "", 0, "2.00 0.085\n", ""},
    {"tol Pt100 100 --class A", "", 0, "0.35 0.133\n", ""},
    {"tol Pt100 100 --class aa --element film", "", 0, "0.27 0.102\n", ""},
    {"tol K 1100 --class 1", "", 1, "",
     "outside class 1 of type K thermocouple: -40 °C to 1000 °C"},
    {"tol Pt100 200 --class AA --element film", "", 1, "", "class AA (film) of Pt100"},
    {"tol J 0 --class 3", "", 2, "", "no tolerance class 3: its classes are 1 2"},
    {"tol Ni100 0 --class 1", "", 2, "", "Ni100 has no tolerance classes"},
    {"tol K 0 --class X", "", 2, "", "--class 'X'"},
    {"tol K 0 --class 1 --element film", "", 2, "", "--element applies to platinum"},
    {"tol Pt100 0 --class A --element foil", "", 2, "", "--element"},
    {"tol K 0", "", 2, "", "--class is required"},
    // Sensors and certificates refused, each saying why.
    {"res Pt1e3 1", "", 2, "", "unknown sensor 'Pt1e3'"},
    {"res Pt0 1", "", 2, "", "sensor 'Pt0': R0 must be greater than 0 Ω"},
    {"res Pt100 1 --r0 -5", "", 2, "", "the certificate is refused: R0 must be greater than 0"},
    {"res Cu50 1 --r0 5", "", 2, "", "(PtN codes only); Cu50 is a copper thermometer"},
    {"emf K 1 --cvd 1,2", "", 2, "", "K is a thermocouple"},
    {"res Pt100 1 --cvd 1;2", "", 2, "", "--cvd '1;2': write A,B,C"},
    {"res Pt100 1 --cvd 0.0039083,-0.0001", "", 2, "", "does not rise over the whole"},
    {"res Pt100 1 --alpha 0.00385", "", 2, "", "--alpha and --delta go together"},
    {"res Pt100 1 --cvd 1,2 --alpha 1 --delta 1", "", 2, "", "give the coefficients one way"},
    {"res Pt100 1 --r0 0", "", 2, "", "证书值不能用：R0 必须大于 0 Ω", true},
    // Firmware lookup tables: each request that cannot be met, with its status and message.
    {"lut K", "", 2, "", "lut needs a bound or a number of points"},
    {"lut K --max-error 0.1 --points 10", "", 2, "", "give --max-error or --points, not both"},
    {"lut K --max-error 0", "", 2, "", "--max-error must be greater than 0 °C"},
    {"lut K --max-error 1e-9", "", 2, "", "1e-9 °C is too small for a double"},
    {"lut K --max-error 0.0005 --int", "", 2, "", "too small for --int"},
    {"lut K --points 1", "", 2, "", "--points must be at least 2"},
    {"lut K --points 2.5", "", 2, "", "--points '2.5' must be a whole number"},
    {"lut K --points 100001", "", 2, "", "at most 100000 breakpoints"},
    {"lut K --max-error 0.1 --from 100 --to 100", "", 2, "", "--from must be below --to"},
    {"lut K --max-error 0.1 --from 5 --to 4", "", 2, "", "--from 必须小于 --to", true},
    {"lut B --max-error 0.1 --from 20", "", 1, "",
     "--from 20 °C is out of range for type B thermocouple: accepted 42.13 °C to 1820 °C, where "
     "its EMF is single-valued"},
    {"lut Cu50 --max-error 0.1 --to 150", "", 1, "", "(150 °C itself excluded)"},
    {"lut S --max-error 0.1 --cj-from -60", "", 1, "", "--cj-from -60 °C is out of range"},
    {"lut K --max-error 0.1 --cj-from 30 --cj-to 20", "", 2, "", "--cj-from must be below --cj-to"},
    {"lut Pt100 --max-error 0.1 --cj-to 50", "", 2, "", "apply to thermocouples only"},
    {"lut K --max-error 0.1 --int --from 0 --to 0.01", "", 2, "", "fewer than two whole µV"},
    {"lut Pt10000000 --max-error 0.1 --int", "", 2, "", "must fit an int32_t"},
    {"lut K --max-error 0.1 --name 9lives", "", 2, "", "--name '9lives' must be a C identifier"},
    {"lut K --max-error 0.1 --format text", "", 2, "", "--format"},
    {"lut K --max-error x", "", 2, "", "--max-error 'x' is not a number"},
    {"table --help", "", 0, nullptr, ""},
    {"--version", "", 0, "kelvora-cli " KELVORA_VERSION "\n", ""},
};

TEST(CliCommands, StatusOutputAndMessage) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.args);
        const Result r = cli(c.args, c.input, c.chinese);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.out) {
            EXPECT_EQ(r.out, c.out);
        }
        if (*c.err) {
            EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.err, "");
        }
    }
}

}  // namespace
