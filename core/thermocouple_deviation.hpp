// A calibrated thermocouple's own deviation from its ITS-90 reference function: from points
// (t, ΔE) of a calibration, ΔE = E_measured − E_reference in µV at t °C, the least-squares
// polynomial ΔE(t) of degree 0 to 3, and the thermocouple's corrected function
// E(t) + ΔE(t), its slope and its exact inverse.
//
// The deviation is a value of its own, passed beside the thermocouple's Sensor: the sensor
// stays what its type makes it, and the deviation is one calibration of one thermocouple.
// Outside the calibrated temperatures the polynomial is used as it is (extrapolated tells).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/conversion.hpp"
#include "core/sensor.hpp"

namespace kelvora::core {

struct DeviationPoint {
    double temperatureC;
    double deviationUv;  // E_measured − E_reference at temperatureC, µV
};

inline constexpr int kMaxDeviationDegree = 3;
// No thermocouple deviates from its reference function by 0.1 V.
inline constexpr double kDeviationMostUv = 1e5;

struct ThermocoupleDeviation {
    ThermocoupleType type = ThermocoupleType::K;
    int degree = 0;
    // ΔE in µV as ascending powers of x = (t − mid)·scale, x from −1 to 1 over the
    // calibrated temperatures: the fit's columns stay of one size.
    std::array<double, kMaxDeviationDegree + 1> c{};
    double mid = 0, scale = 1;
    std::size_t points = 0;                     // the points it was fitted to
    double calibratedLo = 0, calibratedHi = 0;  // the lowest and the highest point's t, °C
    // The temperatures around the calibrated ones over which E + ΔE rises, within those the
    // exact inverse takes (exactTemperatureLimits): the corrected inverse's.
    double risingLo = 0, risingHi = 0;
};

enum class DeviationError : std::uint8_t {
    none,
    noPoints,
    temperatureOutOfRange,  // point `point` lies outside the type's range (NaN too)
    deviationNotValid,      // point `point`'s ΔE is NaN, infinite or beyond ±kDeviationMostUv
    degreeOutOfRange,       // the degree asked is not 0 to kMaxDeviationDegree
    tooFewTemperatures,     // fewer different temperatures than the degree + 1 (`needed`)
    singular,               // the points do not determine the polynomial
    notIncreasing,          // E + ΔE falls at `temperatureC`, within the calibrated temperatures
};

struct DeviationOrError {
    ThermocoupleDeviation deviation;
    DeviationError error = DeviationError::none;
    std::size_t point = 0;    // the point at fault, counted from 0
    int needed = 0;           // tooFewTemperatures
    double temperatureC = 0;  // notIncreasing
    constexpr bool ok() const { return error == DeviationError::none; }
};

// The least-squares polynomial of `degree` through the points (default: one less than the
// number of different temperatures, at most 3), exact with as many different temperatures
// as coefficients. Checked: every point inside the type's range with a finite ΔE; E + ΔE
// rising (its slope sampled at every degree or closer) over the calibrated temperatures.
DeviationOrError fitDeviation(ThermocoupleType type, std::span<const DeviationPoint> points,
                              std::optional<int> degree = std::nullopt);

// ΔE(t) in µV and dΔE/dt in µV/°C at any t, the polynomial as it is.
double deviationUv(const ThermocoupleDeviation& d, double t);
double deviationSlopeUv(const ThermocoupleDeviation& d, double t);

// t outside the calibrated temperatures.
constexpr bool extrapolated(const ThermocoupleDeviation& d, double t) {
    return t < d.calibratedLo || t > d.calibratedHi;
}

// E(t) + ΔE(t) in mV against 0 °C, and its slope in µV/°C, over the type's temperature
// range (temperatureLimits); kOutOfRange outside it.
double correctedEmf(const ThermocoupleDeviation& d, double t);
double correctedSlope(const ThermocoupleDeviation& d, double t);

// The exact inverse of E + ΔE: the temperature within risingLo…risingHi at which it gives
// emfMv (against 0 °C), by Newton's method kept inside a shrinking bracket, to the double's
// precision of E + ΔE. Out of range outside correctedReadingLimits.
ExactTemperature correctedTemperature(const ThermocoupleDeviation& d, double emfMv);

// The temperatures correctedTemperature gives (risingLo…risingHi) and the EMFs against 0 °C
// it takes (E + ΔE at those; type B's lowest excluded, as exactReadingLimits has it).
Limits correctedTemperatureLimits(const ThermocoupleDeviation& d);
Limits correctedReadingLimits(const ThermocoupleDeviation& d);

}  // namespace kelvora::core
