// Lookup tables compiled and run as firmware runs them. Every header is compiled with
// gcc -std=c99 -Wall -Wextra -Werror -pedantic and as C++ with the same warnings, included twice
// in one unit and once more in a second unit of the same program; then, at every µV (every mΩ
// for a resistance thermometer) from the first breakpoint to the last, the compiled
// interpolation stays within the table's proven bound of the exact inverse, and the cold
// junction's table within 1 µV of the reference function at every m°C; a reading beyond a
// table gives NAN or INT32_MIN. The eight types, Pt100, Pt1000 and Cu50, each over its whole
// range at three bounds, doubles and integers.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/cli/lut_format.hpp"
#include "core/lut.hpp"
#include "core/sensor.hpp"

namespace {

using namespace kelvora;

constexpr const char* kSensors[] = {"S", "R", "B",     "K",      "N",   "E",
                                    "J", "T", "Pt100", "Pt1000", "Cu50"};
constexpr double kBounds[] = {0.1, 0.01, 0.002};

struct Table {
    std::string name;  // t0, t1, …
    core::Sensor sensor;
    double bound;
    bool integer;
    core::Lut lut;
};

// The exact temperature at every whole µV or mΩ of a sensor's range, from reading `first` on.
struct Exact {
    long first;
    std::vector<double> t;
    double at(long k) const { return t[static_cast<std::size_t>(k - first)]; }
};

Exact exactOver(const core::Sensor& s, double fromMv, double toMv) {
    Exact e{static_cast<long>(std::floor(fromMv * 1000)) - 1, {}};
    for (long k = e.first; k <= static_cast<long>(std::ceil(toMv * 1000)) + 1; ++k) {
        const double x = static_cast<double>(k) / 1000;
        double t = NAN;
        if (s.isThermocouple()) {
            const core::ExactTemperature r = core::exactTemperature(s.type, x);
            if (r.status == core::ExactStatus::ok) t = r.temperatureC;
        } else if (const double r = core::temperature(s, x); r > core::kOutOfRange) {
            t = r;
        }
        e.t.push_back(t);
    }
    return e;
}

std::string run(const std::string& command) {
    std::string output;
    if (FILE* p = popen((command + " 2>&1").c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) output.append(buf, n);
        if (pclose(p) != 0) return "failed: " + command + "\n" + output;
        return "";
    }
    return "cannot run: " + command;
}

class CompiledTables : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/kelvora-lut-XXXXXX";
        dir_ = mkdtemp(pattern);
        std::string units[2];
        for (const char* code : kSensors) {
            const core::Sensor s = core::parseSensorCode(code).sensor;
            for (const double bound : kBounds) {
                for (const bool integer : {false, true}) {
                    core::LutRequest r;
                    r.sensor = s;
                    r.maxErrorC = bound;
                    r.numbers = integer ? core::LutNumbers::integer : core::LutNumbers::floating;
                    Table t{"t" + std::to_string(tables_.size()), s, bound, integer,
                            core::makeLut(r)};
                    if (t.lut.error != core::LutError::none) continue;  // the test below fails
                    std::ofstream(dir_ + "/" + t.name + ".h")
                        << cli::lutCHeader(t.lut, t.name, "test");
                    const std::string type = integer ? "int32_t" : "double";
                    units[0] += "#include \"" + t.name + ".h\"\n#include \"" + t.name + ".h\"\n" +
                                "EXPORT " + type + " " + t.name + "_at(" + type + " x) { return " +
                                t.name + "_temperature(x); }\n";
                    if (s.isThermocouple())
                        units[0] += "EXPORT " + type + " " + t.name + "_cj(" + type +
                                    " x) { return " + t.name + "_cj_emf(x); }\n";
                    units[1] += "#include \"" + t.name + ".h\"\n";
                    std::string upper = t.name;
                    upper[0] = 'T';
                    units[1] +=
                        "EXPORT int " + t.name + "_points(void) { return " + upper + "_POINTS; }\n";
                    tables_.push_back(std::move(t));
                }
            }
            if (!exact_.count(code)) {
                const core::Limits l =
                    s.isThermocouple() ? core::exactReadingLimits(s.type) : core::readingLimits(s);
                exact_[code] = exactOver(s, l.lo, l.hi);
            }
        }
        const std::string exportC =
            "#ifdef __cplusplus\n#define EXPORT extern \"C\"\n#else\n#define EXPORT\n#endif\n";
        std::ofstream(dir_ + "/tables.c") << exportC << units[0];
        std::ofstream(dir_ + "/other.c") << exportC << units[1];
        const std::string files = " " + dir_ + "/tables.c " + dir_ + "/other.c -o " + dir_;
        const std::string flags = " -Wall -Wextra -Werror -pedantic -O2 -fPIC -shared";
        compiled_[0] = run("gcc -std=c99" + flags + files + "/c.so");
        compiled_[1] = run("g++ -x c++ -std=c++17" + flags + files + "/cxx.so");
        for (int i = 0; i < 2; ++i)
            if (compiled_[i].empty())
                library_[i] = dlopen((dir_ + (i == 0 ? "/c.so" : "/cxx.so")).c_str(), RTLD_NOW);
    }
    static void TearDownTestSuite() { run("rm -rf " + dir_); }

    template <class F>
    static F function(int language, const std::string& name) {
        return reinterpret_cast<F>(dlsym(library_[language], name.c_str()));
    }

    static inline std::string dir_;
    static inline std::vector<Table> tables_;
    static inline std::map<std::string, Exact> exact_;
    static inline std::string compiled_[2];
    static inline void* library_[2] = {nullptr, nullptr};
};

TEST_F(CompiledTables, EveryTableIsMadeAndCompilesAsC99AndAsCxx) {
    EXPECT_EQ(tables_.size(), std::size(kSensors) * std::size(kBounds) * 2);
    EXPECT_EQ(compiled_[0], "");
    EXPECT_EQ(compiled_[1], "");
    EXPECT_NE(library_[0], nullptr);
    EXPECT_NE(library_[1], nullptr);
}

TEST_F(CompiledTables, EveryReadingIsWithinTheProvenBound) {
    for (int language = 0; language < 2; ++language) {
        ASSERT_NE(library_[language], nullptr);
        for (const Table& t : tables_) {
            SCOPED_TRACE(t.name + " " + core::sensorCode(t.sensor) + " ±" +
                         std::to_string(t.bound) + (t.integer ? " int" : " double") +
                         (language ? " C++" : " C"));
            const core::LutTable& table = t.lut.table;
            EXPECT_LE(table.maxError, t.bound);
            const Exact& exact = exact_.at(core::sensorCode(t.sensor));
            const double scale = t.integer ? 1 : 1000;  // the breakpoints' readings in µV or mΩ
            const long first = static_cast<long>(std::ceil(table.points.front().x * scale));
            const long last = static_cast<long>(std::floor(table.points.back().x * scale));
            double worst = 0;
            if (t.integer) {
                const auto at = function<std::int32_t (*)(std::int32_t)>(language, t.name + "_at");
                for (long k = first; k <= last; ++k)
                    worst = std::max(
                        worst, std::fabs(at(static_cast<std::int32_t>(k)) / 1000.0 - exact.at(k)));
                EXPECT_EQ(at(static_cast<std::int32_t>(first - 1)), INT32_MIN);
                EXPECT_EQ(at(static_cast<std::int32_t>(last + 1)), INT32_MIN);
            } else {
                const auto at = function<double (*)(double)>(language, t.name + "_at");
                for (long k = first; k <= last; ++k)
                    worst = std::max(worst, std::fabs(at(k / 1000.0) - exact.at(k)));
                for (const core::LutPoint& p : {table.points.front(), table.points.back()})
                    worst = std::max(worst, std::fabs(at(p.x) - p.y));
                EXPECT_TRUE(std::isnan(at(std::nextafter(table.points.front().x, -1e9))));
                EXPECT_TRUE(std::isnan(at(std::nextafter(table.points.back().x, 1e9))));
            }
            EXPECT_LE(worst, table.maxError);
            EXPECT_GT(last - first, 1000);
        }
    }
}

TEST_F(CompiledTables, ColdJunctionIsWithinAMicrovoltAtEveryMillidegree) {
    ASSERT_NE(library_[0], nullptr);
    for (const Table& t : tables_) {
        if (!t.sensor.isThermocouple() || t.bound != kBounds[0]) continue;
        SCOPED_TRACE(t.name + " " + core::sensorCode(t.sensor) + (t.integer ? " int" : " double"));
        const long first = std::lround(t.lut.cjFromC * 1000),
                   last = std::lround(t.lut.cjToC * 1000);
        EXPECT_EQ(first, t.sensor.type == core::ThermocoupleType::B ? 0 : -20000);
        EXPECT_EQ(last, 70000);
        double worst = 0;
        for (long k = first; k <= last; ++k) {
            const double e = core::reading(t.sensor, k / 1000.0);
            if (t.integer) {
                const auto cj = function<std::int32_t (*)(std::int32_t)>(0, t.name + "_cj");
                worst = std::max(worst, std::fabs(cj(static_cast<std::int32_t>(k)) / 1000.0 - e));
            } else {
                const auto cj = function<double (*)(double)>(0, t.name + "_cj");
                worst = std::max(worst, std::fabs(cj(k / 1000.0) - e));
            }
        }
        EXPECT_LE(worst, t.lut.coldJunction.maxError);
        EXPECT_LE(t.lut.coldJunction.maxError, core::kLutColdJunctionErrorMv);
    }
}

}  // namespace
