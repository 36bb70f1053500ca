// Firmware lookup tables with a proven error: a reading (a thermocouple's EMF against a
// reference junction at 0 °C, or a resistance thermometer's resistance) turned into a
// temperature by straight-line interpolation between breakpoints, as few as a stated bound
// allows, and for a thermocouple the cold-junction table that gives E(t_cj) to add to a
// reading taken against a junction at t_cj.
//
// Breakpoints lie on the exact curve: the temperature of each is the exact inverse of the
// ITS-90 reference function (exactTemperature) or of the resistance thermometer's
// characteristic (temperature), at its reading. The error of a table is proven, not sampled:
// lut.cpp says how. Generating a table allocates; nothing here is on the conversion path.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/conversion.hpp"
#include "core/sensor.hpp"

namespace kelvora::core {

// How the table holds its numbers.
enum class LutNumbers : std::uint8_t {
    // doubles: readings in mV or Ω, temperatures in °C; the cold junction's EMF in mV
    floating,
    // int32: readings in µV or mΩ, temperatures in m°C, interpolated in 64-bit integers
    // with the quotient rounded half up; the cold junction's EMF stored in nV and given in µV
    integer,
};

struct LutPoint {
    double x;  // reading table: the reading; cold junction: the temperature
    double y;  // reading table: the temperature; cold junction: the EMF
};

struct LutTable {
    std::vector<LutPoint> points;  // x rising; in integer tables whole numbers of their units
    // The largest deviation from the exact curve at any reading between the first breakpoint
    // and the last, stored values and interpolation rounding included: °C for the reading
    // table, mV for the cold junction.
    double maxError = 0;
};

struct LutRequest {
    Sensor sensor;
    LutNumbers numbers = LutNumbers::floating;
    double maxErrorC = 0;  // the bound in °C; or
    int points = 0;        // the number of breakpoints, for the smallest bound they reach
    std::optional<double> fromC, toC;      // default: lutTemperatureLimits
    std::optional<double> cjFromC, cjToC;  // thermocouples; default: lutColdJunctionLimits
};

enum class LutError : std::uint8_t {
    none,
    noBound,              // neither a bound nor a number of points
    boundAndPoints,       // both
    boundNotPositive,     // the bound is 0, negative, NaN or infinite
    boundTooSmall,        // below lutLeastError, or below what the readings' resolution allows
    tooFewPoints,         // fewer than 2
    tooManyPoints,        // more than kLutMaxPoints asked for, or needed for the bound
    fromNotBelowTo,       // the first temperature not below the last
    cjFromNotBelowTo,     // the same of the cold junction's range
    fromOutOfRange,       // outside lutTemperatureLimits
    toOutOfRange,         //
    cjOutOfRange,         // the cold junction's range outside the reference function's
    rangeTooNarrow,       // an integer table's range holds fewer than two whole readings
    readingsBeyondInt32,  // an integer table's readings do not fit an int32_t
};

inline constexpr int kLutMaxPoints = 100'000;
// The cold-junction table's bound, mV (±1 µV).
inline constexpr double kLutColdJunctionErrorMv = 0.001;
// The smallest bound a table can be proven to: for doubles, ten times the exact inverse's
// tolerance; for integers, the m°C of a stored value's rounding and of the interpolation's.
double lutLeastError(LutNumbers numbers);

// The temperatures a table may cover: the whole range of the reference function where its
// EMF is single-valued (type B from ≈ 42.13 °C, where its EMF is 0 mV again), or the
// resistance thermometer's range.
Limits lutTemperatureLimits(const Sensor& s);
// The default cold-junction range, −20…70 °C, within the reference function's range
// (type B: from 0 °C).
Limits lutColdJunctionLimits(const Sensor& s);

struct Lut {
    LutError error = LutError::none;
    LutRequest request;
    double fromC = 0, toC = 0;      // the temperatures of the first and last breakpoints
    double cjFromC = 0, cjToC = 0;  // thermocouples
    double boundC = 0;              // the bound asked for, or the smallest the points reach
    LutTable table;                 // reading → temperature
    LutTable coldJunction;  // temperature → EMF against 0 °C; empty for a resistance thermometer
};

// The table of a request: as few breakpoints as keep the error within maxErrorC, or the
// smallest error that `points` breakpoints reach; a request that cannot be met comes back
// with its error and no table.
Lut makeLut(const LutRequest& request);

// The fixed-step table that meets the same bound as `lut` (a floating one), for comparison:
// the largest step, uniform in temperature or in reading, at which straight-line
// interpolation stays within lut.boundC, and the number of points it takes.
struct LutUniform {
    double step;  // °C, or the reading's unit
    int points;   // 0 when more than kLutMaxPoints × 100 would be needed
};
LutUniform uniformLut(const Lut& lut, bool inReading);

}  // namespace kelvora::core
