#include "core/tolerance.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/reference_junction.hpp"

namespace kelvora::core {

namespace {

// One class of one sensor: over lo…hi (both included) the permitted deviation is
//   max(fixed, orPerDegree·|t|) + plusPerDegree·|t| + kneePerDegree·max(0, t − knee)  °C.
struct Rule {
    bool exists;
    double lo, hi;
    double fixed, orPerDegree, plusPerDegree = 0, knee = 0, kneePerDegree = 0;
};

constexpr Rule kNone{false, 0, 0, 0, 0};

// IEC 60584-1 thermocouple classes 1, 2 and 3, by type in the order S R B K N E J T. Where
// the standard gives "±x °C or ±y·|t|", the larger holds. Types R and S, class 1: ±1 °C up to
// 1100 °C, ±[1 + 0.003·(t − 1100)] °C above.
constexpr std::array<std::array<Rule, 3>, 8> kThermocoupleClasses{{
    /* S */ {{{true, 0, 1600, 1, 0, 0, 1100, 0.003}, {true, 0, 1600, 1.5, 0.0025}, kNone}},
    /* R */ {{{true, 0, 1600, 1, 0, 0, 1100, 0.003}, {true, 0, 1600, 1.5, 0.0025}, kNone}},
    /* B */ {{kNone, {true, 600, 1700, 0, 0.0025}, {true, 600, 1700, 4, 0.005}}},
    /* K */
    {{{true, -40, 1000, 1.5, 0.004}, {true, -40, 1200, 2.5, 0.0075}, {true, -200, 40, 2.5, 0.015}}},
    /* N */
    {{{true, -40, 1000, 1.5, 0.004}, {true, -40, 1200, 2.5, 0.0075}, {true, -200, 40, 2.5, 0.015}}},
    /* E */
    {{{true, -40, 800, 1.5, 0.004}, {true, -40, 900, 2.5, 0.0075}, {true, -200, 40, 2.5, 0.015}}},
    /* J */ {{{true, -40, 750, 1.5, 0.004}, {true, -40, 750, 2.5, 0.0075}, kNone}},
    /* T */
    {{{true, -40, 350, 0.5, 0.004}, {true, -40, 350, 1, 0.0075}, {true, -200, 40, 1, 0.015}}},
}};

// IEC 60751 platinum classes AA, A, B and C: ±(a + b·|t|) °C, each valid over its own range
// for wire-wound and for film elements.
constexpr std::array<Rule, 4> kPlatinumWire{{
    {true, -50, 250, 0.1, 0, 0.0017},
    {true, -100, 450, 0.15, 0, 0.002},
    {true, -196, 600, 0.3, 0, 0.005},
    {true, -196, 600, 0.6, 0, 0.01},
}};
constexpr std::array<Rule, 4> kPlatinumFilm{{
    {true, 0, 150, 0.1, 0, 0.0017},
    {true, -30, 300, 0.15, 0, 0.002},
    {true, -50, 500, 0.3, 0, 0.005},
    {true, -50, 600, 0.6, 0, 0.01},
}};

// JB/T 8623 copper thermometers: ±(0.3 + 0.006·|t|) °C over −50…150 °C.
constexpr Rule kCopper{true, -50, 150, 0.3, 0, 0.006};

const Rule& ruleOf(const Sensor& s, ToleranceClass c, Element element) {
    const int k = static_cast<int>(c);
    const bool numbered = k <= static_cast<int>(ToleranceClass::three);
    if (s.isIts90()) return kNone;  // a standard thermometer has its certificate, no class
    if (s.isThermocouple()) {
        if (!numbered) return kNone;
        return kThermocoupleClasses[static_cast<std::size_t>(s.type)][static_cast<std::size_t>(k)];
    }
    switch (s.material) {
        case RtdMaterial::platinum:
            if (numbered) return kNone;
            return (element == Element::film ? kPlatinumFilm
                                             : kPlatinumWire)[static_cast<std::size_t>(
                k - static_cast<int>(ToleranceClass::AA))];
        case RtdMaterial::copper:
            return c == ToleranceClass::one ? kCopper : kNone;
        case RtdMaterial::nickel:
            return kNone;
    }
    return kNone;
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::optional<ToleranceClass> parseToleranceClass(std::string_view text) {
    std::string up;
    for (const char c : text) up += upper(c);
    for (int k = 0; k <= static_cast<int>(ToleranceClass::C); ++k) {
        const auto c = static_cast<ToleranceClass>(k);
        if (up == toleranceClassName(c)) return c;
    }
    return std::nullopt;
}

std::string_view toleranceClassName(ToleranceClass c) {
    constexpr std::array<std::string_view, 7> kNames{"1", "2", "3", "AA", "A", "B", "C"};
    return kNames[static_cast<std::size_t>(c)];
}

bool hasClass(const Sensor& s, ToleranceClass c) {
    return ruleOf(s, c, Element::wire).exists;
}

std::optional<Limits> toleranceLimits(const Sensor& s, ToleranceClass c, Element element) {
    const Rule& r = ruleOf(s, c, element);
    if (!r.exists) return std::nullopt;
    // Within the sensor's own range too (a copper thermometer stops short of 150 °C).
    const Limits own = temperatureLimits(s);
    Limits l{std::max(r.lo, own.lo), r.hi, true};
    if (own.hi <= r.hi) {
        l.hi = own.hi;
        l.hiIncluded = own.hiIncluded;
    }
    return l;
}

double tolerance(const Sensor& s, double t, ToleranceClass c, Element element) {
    const std::optional<Limits> l = toleranceLimits(s, c, element);
    if (!l || !l->contains(t)) return kOutOfRange;
    const Rule& r = ruleOf(s, c, element);
    const double a = std::fabs(t);
    return std::max(r.fixed, r.orPerDegree * a) + r.plusPerDegree * a +
           r.kneePerDegree * std::max(0.0, t - r.knee);
}

double toleranceReading(const Sensor& s, double t, ToleranceClass c, Element element) {
    const double tol = tolerance(s, t, c, element);
    if (outOfRange(tol)) return kOutOfRange;
    const double d = slope(s, t);  // within the class's range, so within the sensor's
    return tol * (s.isThermocouple() ? d / 1000 : d);
}

}  // namespace kelvora::core
