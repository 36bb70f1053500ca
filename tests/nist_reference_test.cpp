// The thermocouple functions against NIST SRD 60 (NIST Monograph 175), read from the
// published files in tests/data: the reference tables at every whole degree, the reference
// function coefficients, and the approximate inverse polynomials with their error bands.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/thermocouple.hpp"
#include "tests/nist_tables.hpp"

namespace {

using namespace kelvora::core;

struct Type {
    char letter;
    double (*emf)(double);
    double (*temperature)(double);
};
void PrintTo(const Type& type, std::ostream* os) {
    *os << "type " << type.letter;
}
const Type kTypes[] = {{'B', e_B, t_B}, {'E', e_E, t_E}, {'J', e_J, t_J}, {'K', e_K, t_K},
                       {'N', e_N, t_N}, {'R', e_R, t_R}, {'S', e_S, t_S}, {'T', e_T, t_T}};

std::vector<std::string> tokens(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// The numbers among the tokens, each read whole (the suite runs in the "C" locale).
std::vector<double> numbers(const std::vector<std::string>& tok) {
    std::vector<double> out;
    for (const std::string& s : tok) {
        char* end = nullptr;
        const double v = std::strtod(s.c_str(), &end);
        if (end != s.c_str() && end == s.c_str() + s.size()) out.push_back(v);
    }
    return out;
}

std::ifstream openData(const char* name) {
    std::ifstream in(std::string(KELVORA_TEST_DATA_DIR "/") + name);
    if (!in) ADD_FAILURE() << "cannot open " << name;
    return in;
}

// The first misses of a sweep, so that a bad type fails once and readably.
struct Misses {
    int count = 0;
    std::ostringstream text;
    std::ostream& add() {
        if (++count > 20) text.setstate(std::ios::badbit);
        return text << "\n  ";
    }
};

// all.tab: per type, the EMF text at each whole degree. A row holds the EMFs at the row's
// temperature plus each column heading; below 0 °C the headings run -0 to -10. The last
// column of a row repeats the first of the next.
using Table = std::map<int, std::string>;

const std::map<char, Table>& referenceTables() {
    static const std::map<char, Table> tables = [] {
        std::map<char, Table> out;
        std::ifstream in = openData("all.tab");
        std::vector<double> columns;
        char type = 0;
        for (std::string line; std::getline(in, line);) {
            const std::vector<std::string> tok = tokens(line);
            if (tok.empty() || line[0] == '#') continue;
            if (const auto p = line.find("Table for type "); p != std::string::npos) {
                type = line[p + 15];
            } else if (tok[0] == "\u00B0C") {
                columns = numbers(tok);
            } else if (numbers(tok).size() == tok.size() && tok[0].find('.') == std::string::npos) {
                for (std::size_t i = 1; i < tok.size(); ++i) {
                    const int t = std::stoi(tok[0]) + static_cast<int>(columns.at(i - 1));
                    const auto [at, added] = out[type].emplace(t, tok[i]);
                    EXPECT_EQ(at->second, tok[i]) << type << " at " << t << " °C";
                }
            }
        }
        return out;
    }();
    return tables;
}

// allcoeff.tab: per type the reference function ranges (type K with its exponential term
// from 0 °C up) and the inverse polynomials with their temperature ranges and error bands.
struct Polynomial {
    double lo = 0, hi = 0;
    std::vector<double> c;
};
struct Inverse {
    Polynomial p;
    double errLo = 0, errHi = 0;
};
struct Coefficients {
    std::vector<Polynomial> emf;
    std::array<double, 3> exponential{};  // a0, a1, a2
    std::vector<Inverse> inverse;
};

// The error bands are printed to one or two significant digits, and the polynomials reach
// up to half a unit of that last digit beyond them (type J, -0.05 to 0.03 °C: 0.0332 °C
// at -5 °C), so the band is taken as printed plus that half unit.
double halfUnit(const std::string& s) {
    return 0.5 * std::pow(10.0, -int(s.size() - s.find('.') - 1));
}

const std::map<char, Coefficients>& publishedCoefficients() {
    static const std::map<char, Coefficients> all = [] {
        std::map<char, Coefficients> out;
        std::ifstream in = openData("allcoeff.tab");
        Coefficients* k = nullptr;
        bool inverse = false;
        std::vector<std::string> heading;  // "Temperature", "Voltage" or "Error" and lows
        for (std::string line; std::getline(in, line);) {
            std::replace(line.begin(), line.end(), ',', ' ');
            const std::vector<std::string> tok = tokens(line);
            if (tok.empty() || tok[0][0] == '#' || tok[0][0] == '*') continue;
            const std::vector<double> v = numbers(tok);
            if (tok[0] == "type:" || tok[0] == "Inverse") {
                inverse = tok[0] == "Inverse";
                k = &out[tok.back()[0]];
            } else if (k == nullptr) {
            } else if (tok[0] == "range:") {
                k->emf.push_back({v.at(0), v.at(1), {}});
            } else if (tok.size() == 3 && tok[1] == "=") {  // a0 = …
                k->exponential.at(static_cast<std::size_t>(tok[0][1] - '0')) = v.at(0);
            } else if (!v.empty() && v.size() == tok.size()) {
                if (!inverse) k->emf.back().c.push_back(v[0]);
                for (std::size_t i = 0; inverse && i < v.size(); ++i)
                    k->inverse.at(i).p.c.push_back(v[i]);
            } else if (tok[0] != "Range:") {
                heading = tok;
            } else if (inverse) {
                k->inverse.resize(v.size());
                for (std::size_t i = 0; i < v.size(); ++i) {
                    Inverse& r = k->inverse[i];
                    const double lo = numbers({heading.at(i + 1)}).at(0);
                    if (heading[0] == "Temperature") r.p = {lo, v[i], {}};
                    if (heading[0] == "Error") r.errLo = lo - halfUnit(heading[i + 1]);
                    if (heading[0] == "Error") r.errHi = v[i] + halfUnit(tok[i + 1]);
                }
            }
        }
        return out;
    }();
    return all;
}

// Whether a double result is the polynomial's value, up to the rounding of Horner's rule in
// double (a bound from Σ|cᵢxⁱ|), with `extra` added to the polynomial.
bool isValueOf(double got, const std::vector<double>& c, double x, long double extra = 0) {
    long double value = 0, magnitude = 0;
    for (auto i = c.rbegin(); i != c.rend(); ++i) {
        value = value * x + *i;
        magnitude = magnitude * std::fabs(x) + std::fabs(*i);
    }
    return std::fabs(got - (value + extra)) <=
           64 * DBL_EPSILON * (magnitude + std::fabs(extra)) + DBL_MIN;
}

const auto above = [](double x) { return std::nextafter(x, HUGE_VAL); };

// Where the inverse switches polynomials: polynomial i owns [from[i], from[i + 1]). An
// excluded lower limit and an included top are written as the next double up.
const std::map<char, std::vector<double>> kOwnerLimits{
    {'B', {0.291, 2.431, above(13.82)}},
    {'E', {-8.825, 0, above(76.373)}},
    {'J', {-8.095, 0, 42.919, above(69.553)}},
    {'K', {-5.891, 0, above(20.644), above(54.886)}},
    {'N', {-3.99, 0, above(20.613), above(47.513)}},
    {'R', {-0.226, 1.923, 13.228, above(19.739), 21.103}},
    {'S', {-0.235, 1.874, 11.95, 17.536, above(18.693)}},
    {'T', {-5.603, 0, above(20.872)}}};

TEST(NistReferenceTable, HoldsEveryWholeDegreeOnce) {
    std::size_t count = 0;
    for (const auto& [letter, table] : referenceTables()) {
        count += table.size();
        const auto span = table.rbegin()->first - table.begin()->first + 1;
        EXPECT_EQ(table.size(), static_cast<std::size_t>(span)) << "gaps in type " << letter;
    }
    EXPECT_EQ(referenceTables().size(), 8u);
    EXPECT_EQ(count, 12026u);
}

class NistType : public testing::TestWithParam<Type> {};

TEST_P(NistType, ReferenceTableToTheMicrovolt) {
    const Type& type = GetParam();
    Misses misses;
    for (const auto& [t, text] : referenceTables().at(type.letter)) {
        const std::string got = formatFixed(type.emf(t), 3);
        if (got != (text == "-0.000" ? "0.000" : text))
            misses.add() << t << " °C: table " << text << ", computed " << got;
    }
    EXPECT_EQ(misses.count, 0) << misses.text.str();
}

// Each range from its lower limit up to, not including, its upper one (a shared limit
// belongs to the upper range); the top range up to its top.
TEST_P(NistType, ReferenceFunctionHasPublishedCoefficients) {
    const Type& type = GetParam();
    const Coefficients& k = publishedCoefficients().at(type.letter);
    ASSERT_FALSE(k.emf.empty());
    Misses misses;
    for (const Polynomial& p : k.emf) {
        for (int i = 0; i < 400 || (i == 400 && &p == &k.emf.back()); ++i) {
            const double t = i == 400 ? p.hi : p.lo + (p.hi - p.lo) * i / 400;
            const long double d = t - k.exponential[2];  // a0 is 0 but for type K from 0 °C
            const long double extra =
                p.lo < 0 ? 0 : k.exponential[0] * std::exp(k.exponential[1] * d * d);
            if (!isValueOf(type.emf(t), p.c, t, extra))
                misses.add() << "t = " << t << " °C: " << type.emf(t) << " mV";
        }
    }
    EXPECT_EQ(misses.count, 0) << misses.text.str();
}

// For every whole degree of each published inverse range, t(E(t)) must be the value of the
// polynomial that owns E(t) and lie within that polynomial's error band. At the limits
// between owners, and an ulp either side, the owner must be the right one.
TEST_P(NistType, InverseWithinPublishedErrorBand) {
    const Type& type = GetParam();
    const std::vector<Inverse>& inverse = publishedCoefficients().at(type.letter).inverse;
    const std::vector<double>& from = kOwnerLimits.at(type.letter);
    ASSERT_EQ(inverse.size() + 1, from.size());
    std::vector<int> used(inverse.size());
    Misses misses;
    const auto check = [&](double x, double t) {
        const auto owner = std::upper_bound(from.begin(), from.end(), x) - from.begin() - 1;
        const double got = type.temperature(x);
        if (owner < 0 || owner + 1 >= std::ssize(from)) {
            if (got != kOutOfRange) misses.add() << x << " mV: " << got << ", not -999";
            return;
        }
        const Inverse& r = inverse[static_cast<std::size_t>(owner)];
        if (!isValueOf(got, r.p.c, x)) misses.add() << x << " mV: not inverse " << owner;
        if (!std::isnan(t) && !(got - t >= r.errLo && got - t <= r.errHi))
            misses.add() << t << " °C: error " << got - t << " outside inverse " << owner;
        ++used[static_cast<std::size_t>(owner)];
    };
    for (const Inverse& r : inverse)
        for (double t = std::ceil(r.p.lo); t <= r.p.hi; ++t) check(type.emf(t), t);
    for (const double x : from)
        for (const double at : {std::nextafter(x, -HUGE_VAL), x, above(x)}) check(at, std::nan(""));
    for (std::size_t i = 0; i < used.size(); ++i) EXPECT_GT(used[i], 50) << "inverse " << i;
    EXPECT_EQ(misses.count, 0) << misses.text.str();
}

INSTANTIATE_TEST_SUITE_P(Types, NistType, testing::ValuesIn(kTypes),
                         [](const testing::TestParamInfo<Type>& info) {
                             return std::string(1, info.param.letter);
                         });

}  // namespace

const std::map<char, std::map<int, std::string>>& kelvora::test::referenceTables() {
    return ::referenceTables();
}
