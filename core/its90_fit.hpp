// An ITS-90 thermometer's deviation coefficients from calibration points: the least-squares
// fit of W − Wr(t90) = ΔW(W) over one sub-range, W = R/R_tpw. ΔW is linear in its coefficients
// and is solved as such (core/least_squares.hpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/cvd_fit.hpp"
#include "core/sensor.hpp"

namespace kelvora::core {

enum class Its90FitError : std::uint8_t {
    none,
    unknownSubrange,        // not 4, 5 or 7 to 11
    rtpw,                   // R_tpw refused: `sensorError` says why
    resistanceNotValid,     // the resistance of point `point` is NaN, infinite or ≤ 0 Ω
    temperatureOutOfRange,  // point `point` lies outside the sub-range (NaN too)
    tooFewPoints,           // fewer points than coefficients (`needed` of them)
    conflictingPoints,      // with as many points as coefficients, points `point` and `other`
                            // at the same temperature with different resistances
    tooFewTemperatures,     // fewer different temperatures than coefficients, the water
                            // triple point (where every term is 0) not counted
    singular,               // the points do not determine the coefficients
    curve,                  // its90Sensor refuses the coefficients found: `sensorError` says why
};

struct Its90Fit {
    int subrange = 0;
    double rtpwOhm = 0;
    std::array<double, 3> c{};  // a, b, c; those the function lacks are 0
    int coefficients = 0;       // how many the function has
    Sensor sensor{};            // the thermometer of the sub-range with these coefficients
};

struct Its90FitOrError {
    Its90Fit fit;
    Its90FitError error = Its90FitError::none;
    SensorError sensorError = SensorError::none;  // with rtpw and curve
    std::size_t point = 0, other = 0;             // the points at fault, counted from 0
    int needed = 0;  // points or different temperatures needed (tooFew…)
    constexpr bool ok() const { return error == Its90FitError::none; }
};

// The fit of sub-range `subrange`'s deviation coefficients through `points` (t90 in °C within
// the sub-range, R in Ω), with W = R/rtpwOhm: exact with as many points as coefficients (tin
// and zinc for sub-range 8). The points are checked first, in order; then their count and
// temperatures; then the function found, by its90Sensor's check.
Its90FitOrError fitIts90Deviation(std::span<const CalibrationPoint> points, int subrange,
                                  double rtpwOhm);

}  // namespace kelvora::core
