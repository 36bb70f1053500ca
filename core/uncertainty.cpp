#include "core/uncertainty.hpp"

#include <array>
#include <cmath>

#include "core/reference_junction.hpp"

namespace kelvora::core {

namespace {

constexpr std::array<std::string_view, 4> kUnitNames{"C", "mV", "uV", "ohm"};
constexpr std::array<std::string_view, 4> kDistributionNames{"rect", "tri", "normal", "std"};

// 1/|slope|, or kOutOfRange where the slope is out of range or 0. Sizes, so that no true
// value (1/S of type B near 21 °C, where S passes through 0) is taken for kOutOfRange.
double inverseSlope(const Sensor& s, double t) {
    const double d = slope(s, t);
    if (outOfRange(d) || d == 0) return kOutOfRange;
    return 1 / std::fabs(d);
}

}  // namespace

std::string_view unitName(Unit u) {
    return kUnitNames[static_cast<std::size_t>(u)];
}

std::optional<Unit> parseUnit(std::string_view text) {
    for (std::size_t i = 0; i < kUnitNames.size(); ++i)
        if (text == kUnitNames[i]) return static_cast<Unit>(i);
    return std::nullopt;
}

std::string_view distributionName(Distribution d) {
    return kDistributionNames[static_cast<std::size_t>(d)];
}

std::optional<Distribution> parseDistribution(std::string_view text) {
    for (std::size_t i = 0; i < kDistributionNames.size(); ++i)
        if (text == kDistributionNames[i]) return static_cast<Distribution>(i);
    return std::nullopt;
}

double divisor(Distribution d, double coverage) {
    switch (d) {
        case Distribution::rectangular:
            return std::sqrt(3.0);
        case Distribution::triangular:
            return std::sqrt(6.0);
        case Distribution::normal:
            return coverage;
        case Distribution::standard:
            return 1;
    }
    return 1;
}

double standardUncertaintyC(const Contribution& c) {
    return c.value / divisor(c.distribution, c.coverage) * std::fabs(c.sensitivity);
}

Budget combine(std::span<const Contribution> contributions, double k) {
    Budget b;
    b.k = k;
    double sumOfSquares = 0;
    for (const Contribution& c : contributions) {
        const double u = standardUncertaintyC(c);
        b.uC.push_back(u);
        sumOfSquares += u * u;
    }
    b.combinedC = std::sqrt(sumOfSquares);
    for (const double u : b.uC)
        b.sharePct.push_back(sumOfSquares > 0 ? u * u / sumOfSquares * 100 : 0);
    b.expandedC = k * b.combinedC;
    return b;
}

double sensitivityCPerUnit(const Sensor& s, double t, Unit unit) {
    if (!temperatureLimits(s).contains(t)) return kOutOfRange;
    if (unit == Unit::celsius) return 1;
    if (s.isThermocouple() == (unit == Unit::ohm)) return kOutOfRange;
    const double c = inverseSlope(s, t);  // °C/µV or °C/Ω
    if (outOfRange(c) || unit != Unit::millivolt) return c;
    return c * 1000;
}

double referenceJunctionSensitivity(const Sensor& s, double t, double cj) {
    if (!s.isThermocouple()) return kOutOfRange;
    const double c = inverseSlope(s, t);
    const double atCj = slope(s, cj);
    if (outOfRange(c) || outOfRange(atCj)) return kOutOfRange;
    return std::fabs(atCj) * c;
}

}  // namespace kelvora::core
