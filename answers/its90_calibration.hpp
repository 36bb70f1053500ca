// An ITS-90 thermometer's deviation coefficients of one sub-range fitted to points, with the
// residual of every point, the same for every front end. A refusal is a usage failure (status 2)
// that says why, naming the point's line or number.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "answers/calibration.hpp"
#include "answers/messages.hpp"
#include "core/its90_fit.hpp"
#include "core/sensor.hpp"

namespace kelvora::answers {

struct Its90Report {
    core::Its90Fit fit;            // the coefficients as reported (kCoefficientDigits)
    core::Sensor sensor;           // the thermometer of the sub-range with them
    std::vector<FitPoint> points;  // in the order given
    double maxResidualMk = 0;      // the largest |residual| in mK
};

// The fit of sub-range `subrange` through the points (t90 in °C, R in Ω) with W = R/rtpwOhm.
// The fitted R at each point follows from the coefficients as reported: what `res ITS90 --rtpw
// R --dev N:…` gives with them.
Its90Report its90Report(const PointTable& points, int subrange, double rtpwOhm, const Say& say);

// "sub-range 8: 0.01 °C to 419.527 °C" (in Chinese "分区 8：0.01℃～419.527℃").
std::string subrangeText(int subrange, const Say& say);

// The coefficients as --dev takes them back: "8:-0.00015,0.00001".
std::string deviationOption(const core::Its90Fit& fit);

}  // namespace kelvora::answers
