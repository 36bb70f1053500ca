// kelvora-cli leads and budget in-process. The figures are worked by hand: a Pt100's
// Callendar–Van Dusen equation solved as a quadratic above 0 °C, copper's ρ₂₀ = 0.017241
// Ω·mm²/m, 20 AWG = 0.5176 mm², IEC 60751 class A ±(0.15 + 0.002·|t|), type K's Seebeck
// coefficient of 41.446 µV/°C at 300 °C and about 40.5 µV/°C at 25 °C (NIST SRD 60), and the
// GUM's divisors √3, √6 and K.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli.hpp"

namespace {

using namespace kelvora;

struct Result {
    int status;
    std::string out, err;
};

Result cli(const std::string& args, bool chinese = false) {
    std::vector<std::string> words{"kelvora-cli"};
    std::istringstream split(args);
    for (std::string w; split >> w;) words.push_back(w);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    std::istringstream in;
    std::ostringstream out, err;
    const int status = cli::run(static_cast<int>(argv.size()), argv.data(), in, out, err, chinese);
    return {status, out.str(), err.str()};
}

struct Figure {
    const char* args;
    const char* out;  // the whole of standard output
};

const Figure kFigures[] = {
    // 100·(1 + A·t + B·t²) = 101 Ω: t = 2.5596 °C; 50 m of 0.5 mm² is 1.7241 Ω a lead, 103.448 Ω
    // read, t = 8.834 °C; 1 m of 20 AWG is 0.017241/0.5176 = 0.0333 Ω.
    {"leads Pt100 0 --wires 2 --ohms 0.5", "0.5000 101.000 2.560\n"},
    {"leads Pt100 0 --wires 2 --length 50 --area 0.5", "1.7241 103.448 8.834\n"},
    {"leads Pt100 0 --wires 4 --length 1 --awg 20", "0.0333 100.000 0.000\n"},
    {"leads Pt100 0 --wires 3 --ohms 0.5 --imbalance 1", "0.5000 101.000 2.560\n"},
    // 0.35/√3 = 0.2021, k = 2: U = 0.404; k = 3: 0.606.
    {"budget Pt100 100 --class A --format csv",
     "contribution,value,unit,distribution,divisor,sensitivity_C_per_unit,u_C,share_pct\n"
     "class,0.35,C,rect,1.73205,1,0.2021,100.0\ncombined,0.2021\ncoverage,2\nexpanded,0.404\n"},
    {"budget Pt100 100 --class A --k 3 --format json",
     "{\"sensor\": \"Pt100\", \"t\": 100, \"rows\": [\n{\"contribution\": \"class\", \"value\": "
     "0.35, \"unit\": \"C\", \"distribution\": \"rect\", \"divisor\": 1.73205, "
     "\"sensitivity_C_per_unit\": 1, \"u_C\": 0.2021, \"share_pct\": 100.0}\n], \"u_c\": 0.2021, "
     "\"k\": 3, \"U\": 0.606, \"corrections\": []}\n"},
    // Standard uncertainties of 0.3 and 0.4 °C make 0.5 (36 % and 64 %); a triangular ±0.6 is
    // 0.6/√6 = 0.2449; normal 0.1 at K = 2, 0.05. The lead error is corrected, not combined.
    {"budget Pt100 0 --row a,0.3,C,std --row b,0.4,C,std --leads --wires 2 --ohms 0.5 "
     "--format csv",
     "contribution,value,unit,distribution,divisor,sensitivity_C_per_unit,u_C,share_pct\n"
     "a,0.3,C,std,1,1,0.3000,36.0\nb,0.4,C,std,1,1,0.4000,64.0\n"
     "combined,0.5000\ncoverage,2\nexpanded,1.000\ncorrection_C,-2.560\n"},
    {"budget K 300 --row t,0.6,C,tri --row n,0.1,C,normal:2 --format csv",
     "contribution,value,unit,distribution,divisor,sensitivity_C_per_unit,u_C,share_pct\n"
     "t,0.6,C,tri,2.44949,1,0.2449,96.0\nn,0.1,C,normal:2,2,1,0.0500,4.0\n"
     "combined,0.2500\ncoverage,2\nexpanded,0.500\n"},
    // The text layout: the csv's columns, aligned, with symbols for units and divisors.
    {"budget Pt100 100 --class A",
     "contribution  value  unit  distribution  divisor  sensitivity °C/unit  u_i °C  share %\n"
     "class         0.35   °C    rect          √3       1                    0.2021  100.0\n"
     "u_c = 0.2021 °C\nk = 2\nU = 0.404 °C\n"},
};

TEST(CliBudget, FiguresWorkedByHand) {
    for (const Figure& f : kFigures) {
        SCOPED_TRACE(f.args);
        const Result r = cli(f.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, f.out);
        EXPECT_EQ(r.err, "");
    }
}

// A type K thermocouple at 300 °C: class 2 KX is ±100 µV, 100/41.446/√3 = 1.3930 °C; the
// reference junction's ±0.5 °C at 25 °C counts 0.5/√3·40.5/41.446 = 0.282 °C; 0.1 % of the
// E(300) − E(25) = 12.209 − 1.000 mV read is 0.011209·1000/41.446/√3 = 0.1561 °C.
TEST(CliBudget, ThermocoupleSensitivities) {
    const Result r =
        cli("budget K 300 --cj-error 0.5 --cj 25 --cable KX:2 --meter 0.1,0 --format csv");
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(lines, line);) {
        rows.emplace_back(1);
        for (const char c : line) c == ',' ? rows.back().emplace_back() : rows.back().back() += c;
    }
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[1][0], "cj");
    EXPECT_NEAR(std::stod(rows[1][6]), 0.282, 0.0006);
    EXPECT_EQ(rows[2][0] + rows[2][1] + rows[2][2], "cable100uV");
    EXPECT_EQ(rows[2][6], "1.3930");
    EXPECT_EQ(rows[3][0] + rows[3][2], "metermV");
    EXPECT_EQ(rows[3][6], "0.1561");
}

struct Bad {
    const char* args;
    int status;
    const char* err;  // a part of standard error
    bool chinese = false;
};

const Bad kBad[] = {
    {"leads K 100 --wires 2 --ohms 1", 2, "K is a thermocouple: lead resistance does not enter"},
    {"leads Pt100 0 --wires 5 --ohms 1", 2, "--wires must be 2, 3 or 4"},
    {"leads Pt100 0 --wires 2", 2, "give the lead's resistance one way"},
    {"leads Pt100 0 --wires 2 --ohms 1 --length 3", 2, "give the lead's resistance one way"},
    {"leads Pt100 0 --wires 2 --length 3", 2, "--length needs the cross-section one way"},
    {"leads Pt100 0 --wires 2 --length 3 --area 1 --awg 2", 2, "--length needs the cross-section"},
    {"leads Pt100 0 --wires 2 --awg 3", 2, "--area and --awg go with --length"},
    {"leads Pt100 0 --wires 2 --length 0 --area 1", 2, "--length must be a finite number greater"},
    {"leads Pt100 0 --wires 2 --length 1 --area -1", 2, "--area must be a finite number greater"},
    {"leads Pt100 0 --wires 2 --ohms 0", 2, "--ohms must be a finite number greater than 0 Ω"},
    {"leads Pt100 0 --wires 2 --length 1 --awg 41", 2, "--awg must be a whole number from 0 to 40"},
    {"leads Pt100 0 --wires 2 --length 1 --awg -1", 2, "--awg must be a whole number"},
    {"leads Pt100 0 --wires 2 --length 1 --awg 20.5", 2, "--awg must be a whole number"},
    {"leads Pt100 0 --wires 2 --length 1 --awg 20 --at -234.5", 2, "--at must be a finite"},
    {"leads Pt100 0 --wires 2 --ohms x", 2, "--ohms 'x' is not a number"},
    {"leads Pt100 900 --wires 2 --ohms 1", 1, "temperature 900 °C is out of range for Pt100"},
    {"leads Pt100 850 --wires 2 --ohms 1", 1,
     "the reading through the leads 392.481 Ω is out of range for Pt100: accepted 18.52 Ω"},
    {"leads Pt100 0 --wires 2 --length 0 --area 1", 2, "--length 必须是大于 0 m 的有限数", true},
    {"budget K 300", 2, "the budget has no contributions"},
    {"budget K 1373 --class 1", 1, "temperature 1373 °C is out of range for type K"},
    {"budget K 1100 --class 1", 1, "outside class 1 of type K thermocouple: -40 °C to 1000 °C"},
    {"budget K 300 --class A", 2, "has no tolerance class A: its classes are 1 2 3"},
    {"budget K 300 --element film", 2, "--element goes with --class"},
    {"budget K 300 --cable ZX:2", 2, "unknown cable 'ZX': one of JX TX EX KX NX KCA"},
    {"budget J 300 --cable KX:2", 2, "cable KX is for type K thermocouples, not type J"},
    {"budget K 300 --cable KCA:1", 2, "cable KCA has no class 1: its class is 2"},
    {"budget K 300 --cable KX:3", 2, "cable KX has no class 3: its classes are 1 and 2"},
    {"budget K 300 --cable KX", 2, "--cable 'KX': write NAME:CLASS"},
    {"budget Pt100 100 --cable KX:2", 2, "--cable applies to thermocouples only"},
    {"budget K 300 --cable KX:2 --cable-at 200.5", 1,
     "cable temperature 200.5 °C is outside the range of cable KX (IEC 60584-3): -25 °C to "
     "200 °C"},
    {"budget K 300 --cable KCA:2 --cj -1", 1, "cable temperature -1 °C is outside"},
    {"budget K 300 --class 1 --cable-at 20", 2, "--cable-at goes with --cable"},
    {"budget K 300 --leads --wires 2 --ohms 1", 2, "K is a thermocouple"},
    {"budget Pt100 100 --class A --wires 2 --ohms 1", 2, "go with --leads"},
    {"budget Pt100 100 --cj-error 1", 2, "--cj-error applies to thermocouples only"},
    {"budget Pt100 100 --class A --cj 20", 2, "--cj applies to thermocouples only"},
    {"budget K 300 --cj-error -0.5", 2, "--cj-error must be a finite number, 0 or more"},
    {"budget K 300 --cj-error 1 --cj 1400", 1, "reference temperature 1400 °C is out of range"},
    {"budget K 300 --meter 1,2,3", 2, "--meter '1,2,3': write PCT or PCT,ABS"},
    {"budget K 300 --meter -1", 2, "--meter PCT must be a finite number, 0 or more"},
    {"budget K 300 --transmitter 0.1", 2, "--transmitter PCT and --range LRV,URV go together"},
    {"budget K 300 --transmitter 0.1 --range 0", 2, "--range '0': write LRV,URV"},
    {"budget K 300 --transmitter 0.1 --range 200,100", 2, "LRV must be below URV"},
    {"budget K 300 --transmitter 0.1 --range 0,200", 1,
     "temperature 300 °C is outside the transmitter's range 0 °C to 200 °C"},
    {"budget K 300 --row a,1,C", 2, "--row 'a,1,C': write NAME,VALUE,UNIT,DIST"},
    {"budget K 300 --row a,1,K,rect", 2, "--row a: unit 'K' is not one of C mV uV ohm"},
    {"budget K 300 --row a,1,C,gauss", 2, "distribution 'gauss' is not one of rect, tri"},
    {"budget K 300 --row a,1,C,normal", 2, "distribution 'normal' is not one of"},
    {"budget K 300 --row a,1,C,rect:2", 2, "distribution 'rect:2' is not one of"},
    {"budget K 300 --row a,1,C,normal:0", 2, "normal:K needs a coverage factor K greater than 0"},
    {"budget K 300 --row a,1,C,normal:x", 2, "'x' is not a number"},
    {"budget K 300 --row a,-1,C,rect", 2, "--row a: VALUE must be a finite number, 0 or more"},
    {"budget K 300 --row a,1,ohm,rect", 2, "--row a: K reads mV (or uV), not ohm"},
    {"budget Pt100 100 --row a,1,mV,rect", 2, "--row a: Pt100 reads ohm, not mV or uV"},
    {"budget K 300 --row ,1,C,rect", 2, "the name must not be empty"},
    {"budget K 300 --row a,1,C,rect b,1,C,rect", 2, "not expected: b,1,C,rect"},
    {"budget K 300 --class 1 --k 0", 2, "--k must be greater than 0"},
    {"budget K 300 --class 1 --format xml", 2, "--format"},
    {"budget K 300 --cable KCA:1", 2, "KCA 导线没有 1 级：可用 2 级", true},
};

TEST(CliBudget, BadArguments) {
    for (const Bad& b : kBad) {
        SCOPED_TRACE(b.args);
        const Result r = cli(b.args, b.chinese);
        EXPECT_EQ(r.status, b.status) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(b.err), std::string::npos) << r.err;
    }
}

}  // namespace
