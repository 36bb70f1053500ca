// A platinum thermometer's Callendar–Van Dusen coefficients from calibration points: the
// least-squares fit of R(t) = R0·(1 + A·t + B·t² + C·(t − 100)·t³), the C term below 0 °C
// only. The model is linear in R0, R0·A, R0·B and R0·C and is solved as such
// (core/least_squares.hpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/sensor.hpp"

namespace kelvora::core {

// A point of a calibration: the resistance in Ω measured at a temperature in °C.
struct CalibrationPoint {
    double temperatureC;
    double resistanceOhm;
};

// The Callendar constants of a curve, the inverse of callendarCoefficients:
// α = A + 100·B (1/°C), δ = −10⁴·B/α (°C), β = −10⁸·C/α (°C).
struct CallendarConstants {
    double alpha, delta, beta;
};
CallendarConstants callendarConstants(const CvdCoefficients& k);

enum class CvdFitError : std::uint8_t {
    none,
    tooFewPoints,           // fewer points than unknowns (`needed` of them)
    resistanceNotValid,     // the resistance of point `point` is NaN, infinite or ≤ 0 Ω
    temperatureOutOfRange,  // point `point` lies outside −200…850 °C (NaN too)
    conflictingPoints,      // with as many points as unknowns, points `point` and `other` at
                            // the same temperature with different resistances
    tooFewTemperatures,     // the points lie at fewer different temperatures than unknowns
    singular,               // the points do not determine the coefficients
    curve,                  // the coefficients found are no platinum curve: `sensorError` says
                            // why (a fixed R0 that platinumSensor refuses, too)
};

struct CvdFit {
    double r0Ohm = 0;
    CvdCoefficients cvd{0, 0, 0};
    bool r0Fixed = false;  // R0 given, not fitted
    bool cFitted = false;  // a point lies below 0 °C: C fitted (0 otherwise)
    int unknowns = 0;      // R0 (unless fixed), A, B and C (when fitted)
};

struct CvdFitOrError {
    CvdFit fit;
    CvdFitError error = CvdFitError::none;
    SensorError sensorError = SensorError::none;  // with CvdFitError::curve
    std::size_t point = 0, other = 0;             // the points at fault, counted from 0
    int needed = 0;  // points or different temperatures needed (tooFew…)
    constexpr bool ok() const { return error == CvdFitError::none; }
};

// The fit through `points` (in any order), with R0 fitted or fixed at r0Ohm. C is fitted only
// when a point lies below 0 °C; then 4 points at different temperatures are needed (3 with
// R0 fixed), otherwise 3 (2). With as many points as unknowns the curve passes through each
// one. The points are checked first, in order; then their count and temperatures; then the
// curve found, by platinumSensor's check (finite, rising over the whole of −200…850 °C with
// a positive resistance).
CvdFitOrError fitCallendarVanDusen(std::span<const CalibrationPoint> points,
                                   std::optional<double> r0Ohm = std::nullopt);

}  // namespace kelvora::core
