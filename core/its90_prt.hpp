// Platinum resistance thermometers of the ITS-90 itself: the reference functions Wr(T90), their
// exact inverse, the deviation functions by sub-range, and the conversions of an ITS-90
// thermometer (Sensor::Kind::its90) that the sensor library dispatches to.
//
// Temperatures in °C (t90), resistances in Ω, W = R/R_tpw. Like the rest of the core, every
// function returns kOutOfRange (-999) outside its range (NaN and ±infinity included) and throws
// ConversionFault should an evaluation ever turn non-finite.
#pragma once

#include <span>

#include "core/conversion.hpp"
#include "core/its90_prt_coefficients.hpp"
#include "core/sensor.hpp"

namespace kelvora::core::its90::prt {

// Wr(t90): below 0.01 °C the function of kA (from 13.8033 K), from 0.01 °C up that of kC (up to
// the silver point). The published coefficients, rounded to eight decimals, give 1 − 1.0e-8 and
// 1 − 4.7e-9 at 273.16 K rather than the 1 the scale defines there; each function is held to 1
// by taking away its own value at 273.16 K (from ln Wr below, from Wr above). That moves Wr by
// at most 4.7e-9 (1.3 µK), and every fixed point's Wr stays within the text's 1e-8 of its
// table value. kOutOfRange outside kLowestC…kHighestC.
double referenceRatio(double tC);
// dWr/dt in 1/°C, on the same ranges (0.01 °C itself: the upper function's).
double referenceRatioSlope(double tC);
// The exact inverse: the t at which Wr(t) = wr, to within 1e-9 °C (Newton's method from the
// approximate inverse); exactly 0.01 °C at wr = 1. kOutOfRange outside Wr(kLowestC)…Wr(kHighestC).
double referenceTemperature(double wr);
// The approximate inverses (kB below wr = 1, kD from 1 up), within 0.1 mK of the exact one
// below 0.01 °C and 0.14 mK above; no range test.
double approximateTemperature(double wr);

// The sub-range of that number (4, 5, 7 to 11), or nullptr.
const Subrange* subrangeOf(int number);
// Its temperatures: fixed point to 0.01 °C below, 0.01 °C to fixed point above, ends included.
Limits subrangeLimits(const Subrange& r);

// The k-th term (k = 0, 1, 2 for a, b, c) of sub-range `number`'s deviation function at W:
// ΔW(W) = Σ c_k·deviationTerm(number, k, W). For a fit of the coefficients.
double deviationTerm(int number, int k, double w);
// ΔW(W) and dΔW/dW of a deviation function.
double deviation(const Its90Deviation& d, double w);
double deviationSlope(const Its90Deviation& d, double w);

// An ITS-90 thermometer's conversions (s.isIts90()), as temperatureLimits, readingLimits,
// reading, temperature and slope give them for any sensor.
Limits temperaturesOf(const Sensor& s);
Limits resistancesOf(const Sensor& s);
// W(t): the root of W − ΔW(W) = Wr(t), to the double's precision (exactly 1 at 0.01 °C).
double ratioAt(const Sensor& s, double tC);
// R_tpw·W(t).
double resistanceAt(const Sensor& s, double tC);
// Wr = W − ΔW(W) at W = R/R_tpw, then the exact inverse of Wr.
double temperatureAt(const Sensor& s, double rOhm);
// dR/dt in Ω/°C: R_tpw·(dWr/dt)/(1 − dΔW/dW).
double slopeAt(const Sensor& s, double tC);

}  // namespace kelvora::core::its90::prt
