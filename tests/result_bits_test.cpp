// The same bits on every platform: every core function on dense sweeps of its arguments,
// ranges and a margin beyond them, every range limit to a few ulps either side, and special
// values. Each group of results is cut into chunks of 1000 points, and each chunk is held
// as a 64-bit FNV-1a hash of its results' bits (texts: their bytes). tests/data/
// result_bits.txt holds the chunks of the window's functions as the Linux build computes
// them, tests/data/library_bits.txt those of the sensor library's others; every build, the
// Windows one under Wine and the web one under Node included, must compute the same.
//
// To write the files anew (after a deliberate change of results, or of the sweeps below):
//   KELVORA_RESULT_BITS_OUT=tests/data build/dev/tests/core_tests --gtest_filter='*ResultBits.*'
// (one command line; each file is written into that directory under its own name).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iomanip>
#include <iostream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/bit_cast.hpp"
#include "core/its90_coefficients.hpp"
#include "core/portable_exp.hpp"
#include "core/rtd.hpp"
#include "core/sensor.hpp"
#include "core/thermocouple.hpp"
#include "core/tolerance.hpp"

namespace {

using namespace kelvora::core;
namespace its90 = kelvora::core::its90;

constexpr std::size_t kChunk = 1000;

// FNV-1a, 64 bits.
class Fnv {
  public:
    void byte(unsigned char b) { h_ = (h_ ^ b) * 0x100000001b3u; }
    void bits(double v) {
        const auto u = kelvora::core::bitCast<std::uint64_t>(v);
        for (int i = 0; i < 64; i += 8) byte(static_cast<unsigned char>(u >> i));
    }
    void text(std::string_view s) {
        for (char c : s) byte(static_cast<unsigned char>(c));
        byte(0xff);  // never part of UTF-8: the end of the text
    }
    std::uint64_t value() const { return h_; }

  private:
    std::uint64_t h_ = 0xcbf29ce484222325u;
};

// The parts one after the other. (Written out rather than with operator+, on which GCC 12
// at -O3 warns wrongly about overlapping copies.)
std::string join(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view part : parts) out.append(part);
    return out;
}

// One group: a function of one double at each of its arguments.
struct Group {
    std::string name;  // no spaces
    std::vector<double> args;
    std::function<void(Fnv&, double)> result;
};

template <class F>
std::function<void(Fnv&, double)> number(F f) {
    return [f](Fnv& h, double x) {
        try {
            h.bits(f(x));
        } catch (const ConversionFault&) {
            h.text("ConversionFault");
        }
    };
}

template <class F>
std::function<void(Fnv&, double)> text(F f) {
    return [f](Fnv& h, double x) { h.text(f(x)); };
}

// n/d for every whole n from lo·d to hi·d: each point the double nearest to a decimal,
// made by one correctly rounded division, so every platform sweeps the same points.
std::vector<double> sweep(double lo, double hi, double d) {
    std::vector<double> out;
    for (long long n = std::llround(lo * d), last = std::llround(hi * d); n <= last; ++n)
        out.push_back(static_cast<double>(n) / d);
    return out;
}

// Each limit and eight ulps either side of it, then values no range holds.
std::vector<double> around(const std::vector<double>& limits) {
    std::vector<double> out;
    for (double limit : limits) {
        double x = limit;
        for (int i = 0; i < 8; ++i) x = std::nextafter(x, -DBL_MAX);
        for (int i = 0; i <= 16; ++i, x = std::nextafter(x, DBL_MAX)) out.push_back(x);
    }
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (double x : {0.0, -0.0, DBL_TRUE_MIN, -DBL_TRUE_MIN, DBL_MIN, 1e300, -1e300, DBL_MAX,
                     -DBL_MAX, inf, -inf, std::numeric_limits<double>::quiet_NaN()})
        out.push_back(x);
    return out;
}

template <std::size_t N>
std::vector<double> limitsOf(const std::array<Piece, N>& pieces) {
    std::vector<double> out;
    for (const Piece& p : pieces) out.insert(out.end(), {p.lo, p.hi});
    return out;
}

template <std::size_t N>
void addFunction(std::vector<Group>& groups, std::string name, double (*f)(double),
                 const std::array<Piece, N>& pieces, std::vector<double> dense) {
    groups.push_back({name, std::move(dense), number(f)});
    groups.push_back({join({name, "@limits"}), around(limitsOf(pieces)), number(f)});
}

std::vector<Group> windowGroups() {
    std::vector<Group> g;
    // EMF from temperature, 0.01 °C apart (type K 0.001 °C, where the exponential term
    // counts; type T 0.005 °C), 10 °C beyond each end.
    addFunction(g, "e_S", e_S, its90::kEmfS, sweep(-60, 1778.1, 100));
    addFunction(g, "e_R", e_R, its90::kEmfR, sweep(-60, 1778.1, 100));
    addFunction(g, "e_B", e_B, its90::kEmfB, sweep(-10, 1830, 100));
    addFunction(g, "e_K", e_K, its90::kEmfK, sweep(-280, 1382, 1000));
    addFunction(g, "e_N", e_N, its90::kEmfN, sweep(-280, 1310, 100));
    addFunction(g, "e_E", e_E, its90::kEmfE, sweep(-280, 1010, 100));
    addFunction(g, "e_J", e_J, its90::kEmfJ, sweep(-220, 1210, 100));
    addFunction(g, "e_T", e_T, its90::kEmfT, sweep(-280, 410, 200));
    // Temperature from EMF, 0.1 to 0.5 µV apart, about 0.5 mV beyond each end.
    addFunction(g, "t_S", t_S, its90::kTemperatureS, sweep(-0.74, 19.2, 10000));
    addFunction(g, "t_R", t_R, its90::kTemperatureR, sweep(-0.73, 21.6, 10000));
    addFunction(g, "t_B", t_B, its90::kTemperatureB, sweep(-0.2, 14.3, 10000));
    addFunction(g, "t_K", t_K, its90::kTemperatureK, sweep(-6.4, 55.4, 4000));
    addFunction(g, "t_N", t_N, its90::kTemperatureN, sweep(-4.5, 48, 4000));
    addFunction(g, "t_E", t_E, its90::kTemperatureE, sweep(-9.3, 76.9, 2000));
    addFunction(g, "t_J", t_J, its90::kTemperatureJ, sweep(-8.6, 70.1, 2000));
    addFunction(g, "t_T", t_T, its90::kTemperatureT, sweep(-6.1, 21.4, 5000));

    // The dispatchers, for every sensor index and a few that name none.
    struct Index {
        const char* label;
        double typ;
    };
    for (const Index& i :
         {Index{"-1", -1}, Index{"0", 0}, Index{"1", 1}, Index{"2", 2}, Index{"3", 3},
          Index{"4", 4}, Index{"5", 5}, Index{"6", 6}, Index{"7", 7}, Index{"8", 8},
          Index{"11", 11}, Index{"0.5", 0.5}, Index{"3+ulp", std::nextafter(3.0, 4.0)},
          Index{"nan", std::numeric_limits<double>::quiet_NaN()}}) {
        const std::string suffix = join({"(", i.label, ")"});
        g.push_back({join({"e", suffix}), sweep(-300, 1900, 4),
                     number([typ = i.typ](double x) { return e(x, typ); })});
        g.push_back({join({"t", suffix}), sweep(-10, 80, 100),
                     number([typ = i.typ](double x) { return t(x, typ); })});
    }

    // Resistance thermometers: the ratios, their inverses, the resistance texts and the
    // temperature from ohms.
    const double wPtLow = r_Pt(-200), wPtHigh = r_Pt(850);
    const double wCuLow = r_Cu(-50), wCuHigh = r_Cu(std::nextafter(150.0, 0.0));
    g.push_back({"r_Pt", sweep(-210, 860, 200), number(r_Pt)});
    g.push_back({"r_Pt@limits", around({-200, 0, 850}), number(r_Pt)});
    g.push_back({"r_Cu", sweep(-60, 160, 500), number(r_Cu)});
    g.push_back({"r_Cu@limits", around({-50, 150}), number(r_Cu)});
    g.push_back({"t_Pt", sweep(0.1, 4, 50000), number(t_Pt)});
    g.push_back({"t_Pt@limits", around({wPtLow, 1, wPtHigh}), number(t_Pt)});
    g.push_back({"t_Cu", sweep(0.7, 1.7, 100000), number(t_Cu)});
    g.push_back({"t_Cu@limits", around({wCuLow, wCuHigh}), number(t_Cu)});
    struct Rtd {
        double typ, r0, lo, hi;
    };
    for (const Rtd& s : {Rtd{8, 100, -210, 860}, Rtd{9, 10, -210, 860}, Rtd{10, 100, -60, 160},
                         Rtd{11, 50, -60, 160}}) {
        const std::string suffix = join({"(", std::to_string(static_cast<int>(s.typ)), ")"});
        const bool pt = s.typ < 10;
        const double ohms = s.r0 * (pt ? wPtHigh : wCuHigh);
        g.push_back({join({"r_T", suffix}), sweep(s.lo, s.hi, pt ? 100 : 500),
                     text([typ = s.typ](double x) { return r_T(x, typ); })});
        g.push_back({join({"t_Ohm", suffix}), sweep(0, ohms * 1.03, 200000 / ohms),
                     number([typ = s.typ](double x) { return t_Ohm(x, typ); })});
        g.push_back(
            {join({"t_Ohm", suffix, "@limits"}),
             around({s.r0 * (pt ? wPtLow : wCuLow), s.r0, ohms, s.r0 * (pt ? wPtHigh : wCuHigh)}),
             number([typ = s.typ](double x) { return t_Ohm(x, typ); })});
    }

    // The display texts: the EMF and temperature boxes' formats on conversion results, and
    // numbers that lie on or beside a half of the last digit shown.
    g.push_back({"formatFixed(e_K,3)", sweep(-280, 1382, 100),
                 text([](double x) { return formatFixed(e_K(x), 3); })});
    g.push_back({"formatFixed(t_K,2)", sweep(-6.4, 55.4, 2000),
                 text([](double x) { return formatFixed(t_K(x), 2); })});
    double scale = 2;  // n/scale: every half of the last digit shown
    for (int decimals : {0, 1, 2, 3}) {
        g.push_back({join({"formatFixed(", std::to_string(decimals), ")"}),
                     sweep(-1e5 / scale, 1e5 / scale, scale),
                     text([decimals](double x) { return formatFixed(x, decimals); })});
        scale *= 10;
    }
    // Numbers of every size from 1e-30 to 1e30, powers of ten made by multiplying and
    // dividing by ten (the same rounding everywhere, where a library's pow might not be).
    std::vector<double> magnitudes;
    for (int p = -30; p <= 30; ++p) {
        double power = 1;
        for (int i = 0; i < (p < 0 ? -p : p); ++i) power *= 10;
        for (double m : {1.0, 1.5, 2.675, 9.995, 123456789.012345678, 0.999999999999999}) {
            const double v = p < 0 ? m / power : m * power;
            magnitudes.insert(magnitudes.end(), {v, -v});
        }
    }
    magnitudes = around(magnitudes);
    for (int decimals : {0, 2, 3, 6})
        g.push_back({join({"formatFixed(", std::to_string(decimals), ")@magnitudes"}), magnitudes,
                     text([decimals](double x) { return formatFixed(x, decimals); })});

    // The core's exponential over its whole domain and beyond.
    g.push_back({"portableExp", sweep(-750, 715, 100), number(portableExp)});
    return g;
}

// The sensor library beyond the window's functions: the exact inverse and the Seebeck
// coefficient of each thermocouple, resistance thermometers of other R0, materials and
// certificates both ways, and the tolerance classes.
std::vector<Group> libraryGroups() {
    std::vector<Group> g;
    for (const char* code : {"S", "R", "B", "K", "N", "E", "J", "T"}) {
        const Sensor s = parseSensorCode(code).sensor;
        const Limits emf = exactReadingLimits(s.type), t = temperatureLimits(s);
        const std::string name(code);
        g.push_back({"exact_" + name, sweep(emf.lo - 0.1, emf.hi + 0.1, 5000),
                     number([s](double x) { return exactTemperature(s.type, x).temperatureC; })});
        g.push_back({"exact_" + name + "@limits", around({emf.lo, 0, emf.hi}),
                     number([s](double x) { return exactTemperature(s.type, x).temperatureC; })});
        g.push_back({"slope_" + name, sweep(t.lo - 5, t.hi + 5, 20),
                     number([s](double x) { return slope(s, x); })});
    }
    const Sensor certificate =
        platinumSensor(99.98, callendarCoefficients(0.003926, 1.491, 0.11)).sensor;
    struct Named {
        const char* name;
        Sensor sensor;
    };
    // Copper's ratio at its excluded top, 150 °C, in the order W(t) is evaluated.
    constexpr double kCuW150 =
        1 + 4.28899e-3 * 150 + -2.133e-7 * 150 * 150 + 1.233e-9 * 150 * 150 * 150;
    for (const Named& n :
         {Named{"Pt1000", parseSensorCode("Pt1000").sensor},
          Named{"Ni100", parseSensorCode("Ni100").sensor},
          Named{"Cu10", parseSensorCode("Cu10").sensor}, Named{"certificate", certificate}}) {
        const Sensor s = n.sensor;
        // The resistances sweep from those at the range's ends, R0·W(t), not from readingLimits,
        // whose margin beyond them would move every point.
        const Limits t = temperatureLimits(s);
        const Limits r{reading(s, t.lo), t.hiIncluded ? reading(s, t.hi) : s.r0Ohm * kCuW150,
                       t.hiIncluded};
        g.push_back({join({"reading(", n.name, ")"}), sweep(t.lo - 5, t.hi + 5, 50),
                     number([s](double x) { return reading(s, x); })});
        g.push_back({join({"temperature(", n.name, ")"}),
                     sweep(r.lo * 0.95, r.hi * 1.05, 20000 / r.hi),
                     number([s](double x) { return temperature(s, x); })});
        g.push_back({join({"slope(", n.name, ")"}), sweep(t.lo - 5, t.hi + 5, 20),
                     number([s](double x) { return slope(s, x); })});
    }
    for (const char* code : {"K", "S", "B", "Pt100"})
        for (const char* cls : {"1", "2", "3", "A", "C"}) {
            const Sensor s = parseSensorCode(code).sensor;
            const ToleranceClass c = *parseToleranceClass(cls);
            g.push_back({join({"tolerance(", code, ",", cls, ")"}), sweep(-300, 1900, 2),
                         number([s, c](double x) { return tolerance(s, x, c); })});
        }
    return g;
}

struct BitsFile {
    const char* path;
    std::vector<Group> (*groups)();
};
void PrintTo(const BitsFile& f, std::ostream* os) {
    *os << f.path;
}

// One line of the file: group, chunk number, points in it, hash.
struct Chunk {
    std::string group;
    std::size_t index = 0;
    std::size_t count = 0;
    std::uint64_t hash = 0;
    bool operator==(const Chunk&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Chunk& c) {
    return os << c.group << ' ' << c.index << ' ' << c.count << ' ' << std::hex << std::setw(16)
              << std::setfill('0') << c.hash << std::dec << std::setfill(' ');
}

std::vector<Chunk> chunksOf(const Group& g) {
    std::vector<Chunk> out;
    for (std::size_t first = 0; first < g.args.size(); first += kChunk) {
        Fnv h;
        const std::size_t last = std::min(first + kChunk, g.args.size());
        for (std::size_t i = first; i < last; ++i) g.result(h, g.args[i]);
        out.push_back({g.name, first / kChunk, last - first, h.value()});
    }
    return out;
}

std::string header(const std::string& file) {
    return "# Kelvora result bits: per group of core results, chunk, points, FNV-1a 64 of their "
           "bits (groups and sweeps: tests/result_bits_test.cpp). Made by the Linux build with "
           "KELVORA_RESULT_BITS_OUT=tests/data/" +
           file + " build/dev/tests/core_tests --gtest_filter='ResultBits.*'";
}

// result_bits.txt: the window's functions; library_bits.txt: the sensor library's others.
const BitsFile kFiles[] = {{"result_bits.txt", windowGroups}, {"library_bits.txt", libraryGroups}};

class ResultBits : public testing::TestWithParam<BitsFile> {};

TEST_P(ResultBits, EveryCoreFunctionGivesTheRecordedBits) {
    const std::vector<Group> all = GetParam().groups();
    const std::string kFile = std::string(KELVORA_TEST_DATA_DIR "/") + GetParam().path;

    if (const char* dir = std::getenv("KELVORA_RESULT_BITS_OUT")) {
        // A directory: each file is written there under its own name.
        const std::string out = std::string(dir) + "/" + GetParam().path;
        std::ofstream file(out, std::ios::binary);
        file << header(GetParam().path) << '\n';
        std::size_t points = 0, lines = 0;
        for (const Group& g : all) {
            points += g.args.size();
            for (const Chunk& c : chunksOf(g)) file << c << '\n', ++lines;
        }
        ASSERT_TRUE(file.flush()) << "cannot write " << out;
        std::cout << "wrote " << out << ": " << lines << " chunks, " << points << " points\n";
        return;
    }

    std::ifstream file(kFile, std::ios::binary);
    ASSERT_TRUE(file) << "cannot open " << kFile;
    std::map<std::string, std::vector<Chunk>> recorded;
    std::string line;
    std::getline(file, line);  // the header
    while (std::getline(file, line)) {
        std::istringstream in(line);
        Chunk c;
        in >> c.group >> c.index >> c.count >> std::hex >> c.hash;
        ASSERT_TRUE(in) << "unreadable line: " << line;
        recorded[c.group].push_back(c);
    }

    std::size_t points = 0, groupsChecked = 0;
    for (const Group& g : all) {
        const std::vector<Chunk> now = chunksOf(g);
        const auto it = recorded.find(g.name);
        ASSERT_NE(it, recorded.end()) << g.name << " is not in the file: sweeps changed?";
        ASSERT_EQ(it->second.size(), now.size()) << g.name << ": sweeps changed?";
        std::size_t differing = 0, first = 0;
        for (std::size_t i = now.size(); i-- > 0;)
            if (!(now[i] == it->second[i])) ++differing, first = i;
        if (differing > 0) {
            const std::size_t a = first * kChunk;
            const std::size_t b = std::min(a + kChunk, g.args.size()) - 1;
            ADD_FAILURE() << g.name << ": " << differing << " of " << now.size()
                          << " chunks differ; the first is chunk " << first << ", points " << a
                          << " to " << b << ", arguments " << std::setprecision(17) << g.args[a]
                          << " to " << g.args[b] << "\n  recorded: " << it->second[first]
                          << "\n  computed: " << now[first];
        }
        points += g.args.size();
        ++groupsChecked;
        recorded.erase(it);
    }
    EXPECT_TRUE(recorded.empty()) << recorded.size() << " groups of the file are no longer made";
    std::cout << groupsChecked << " groups, " << points << " points checked\n";
}

INSTANTIATE_TEST_SUITE_P(Files, ResultBits, testing::ValuesIn(kFiles));

}  // namespace
