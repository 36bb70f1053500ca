// An uncertainty budget in the sense of the GUM (JCGM 100:2008): contributions, each a value
// with its distribution and a sensitivity that takes it to °C, combined as uncorrelated
// into the combined standard uncertainty u_c and the expanded uncertainty U = k·u_c.
//
// Units: every standard uncertainty in °C; a contribution's value in its own unit (°C, mV,
// µV or Ω) and its sensitivity in °C per that unit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/conversion.hpp"
#include "core/sensor.hpp"

namespace kelvora::core {

enum class Unit : std::uint8_t { celsius, millivolt, microvolt, ohm };

// "C", "mV", "uV", "ohm" (exactly so written), and back; none for any other text.
std::string_view unitName(Unit u);
std::optional<Unit> parseUnit(std::string_view text);

// How a contribution's value is to be read:
enum class Distribution : std::uint8_t {
    rectangular,  // ±a, every value within equally likely: u = a/√3
    triangular,   // ±a, the middle most likely: u = a/√6
    normal,       // an expanded uncertainty U with coverage factor K: u = U/K
    standard,     // a standard uncertainty already: u = value
};

// "rect", "tri", "normal", "std"; none for any other text (normal's K is read apart).
std::string_view distributionName(Distribution d);
std::optional<Distribution> parseDistribution(std::string_view text);

struct Contribution {
    double value;  // ≥ 0, in `unit`
    Unit unit;
    Distribution distribution;
    double coverage;     // K, for a normal distribution (> 0); unused otherwise
    double sensitivity;  // °C per unit; its sign does not matter
};

// √3, √6, K or 1.
double divisor(Distribution d, double coverage = 0);

// u_i = value/divisor·|sensitivity| in °C.
double standardUncertaintyC(const Contribution& c);

struct Budget {
    std::vector<double> uC;        // u_i by contribution, °C
    std::vector<double> sharePct;  // u_i²/u_c² in %, by contribution (0 when u_c is 0)
    double combinedC = 0;          // u_c = √Σu_i², °C
    double k = 2;                  // the coverage factor
    double expandedC = 0;          // U = k·u_c, °C
};

// The contributions taken as uncorrelated, combined.
Budget combine(std::span<const Contribution> contributions, double k = 2);

// The size of the sensitivity of sensor s's temperature at t to a quantity in `unit`, in °C
// per unit (its sign does not enter a standard uncertainty): 1 for °C; for a thermocouple 1/|S(t)|
// per µV and 1000/|S(t)| per mV, with S the Seebeck coefficient in µV/°C; for a resistance
// thermometer 1/(dR/dt) per Ω. kOutOfRange where the unit does not fit the sensor (Ω on a
// thermocouple, mV or µV on a resistance thermometer), for a t outside the sensor's range and where
// the slope is 0.
double sensitivityCPerUnit(const Sensor& s, double t, Unit unit);

// The size of the sensitivity of thermocouple s's temperature at t to its reference junction's
// temperature cj: |S(cj)/S(t)|, °C per °C. kOutOfRange for a resistance thermometer, for t or cj
// outside the thermocouple's range and where S(t) is 0.
double referenceJunctionSensitivity(const Sensor& s, double t, double cj);

}  // namespace kelvora::core
