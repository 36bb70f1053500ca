// What a calibration gives, the same for every front end: a platinum thermometer's
// Callendar–Van Dusen coefficients fitted to points, with the residual of every point, and a
// thermocouple's own deviation from its reference function, with the EMF, temperature and
// slope it corrects. Points come as a file's lines "t,value" or as arrays; every refusal is a
// usage failure (status 2) that says why, naming the point's line or number.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "answers/messages.hpp"
#include "core/cvd_fit.hpp"
#include "core/sensor.hpp"
#include "core/thermocouple_deviation.hpp"

namespace kelvora::answers {

// Points as given: pairs of numbers, and where each one came from.
struct PointTable {
    std::vector<double> x, y;
    std::vector<long long> lines;  // each point's line in its file; empty: numbered from 1
    // "line 7" or "point 3" (in Chinese "第 7 行", "第 3 个点").
    std::string where(std::size_t i, const Say& say) const;
};

// The points of lines "x,y" (blanks around either allowed); blank lines and comments, from
// '#' to the end of a line, skipped. A line that is not two numbers is a usage failure naming
// it; xWhat and yWhat name the columns in messages ("temperature", "resistance").
PointTable readPointTable(std::istream& in, std::string_view xWhat, std::string_view yWhat,
                          const Say& say);

// The usage failure for a point's resistance that is not finite or not above 0 Ω; `where` is
// the point's place, as PointTable::where gives it.
Failure resistanceRefused(const std::string& where, double resistanceOhm, const Say& say);

// ---- Callendar–Van Dusen coefficients from points ------------------------------------------

// Significant digits of the coefficients as reported. Ten leave a Pt100's resistance within
// 1e-7 Ω of the curve fitted, far below any calibration's uncertainty, and are few enough to
// enter into a transmitter.
inline constexpr int kCoefficientDigits = 10;

// A coefficient's text with kCoefficientDigits significant digits, in fixed point: what
// --cvd, --r0 and --alpha/--delta/--beta take back.
std::string coefficientText(double v);

// A point of a fit and its residual, for any sensor whose reading is a resistance.
struct FitPoint {
    double t, r;         // as given: °C, Ω
    double fit;          // R of the fitted curve at t, Ω
    double residualOhm;  // r − fit
    double residualMk;   // the residual divided by dR/dt there, in mK
};

// Each point against the fitted resistance thermometer s, in the order given, and the
// largest |residual| in mK among them.
std::vector<FitPoint> residuals(const core::Sensor& s, const PointTable& points);
double largestResidualMk(const std::vector<FitPoint>& points);

struct CvdReport {
    core::CvdFit fit;                    // its R0 and coefficients as reported (rounded)
    core::CallendarConstants constants;  // α, δ, β of those, rounded alike
    core::Sensor sensor;                 // the platinum curve of the coefficients reported
    std::vector<FitPoint> points;        // in the order given
    double maxResidualMk = 0;            // the largest |residual| in mK
};

// The fit through the points (t in °C, R in Ω), R0 fitted or fixed at r0Ohm. Every number
// reported follows from the coefficients as reported, rounded to kCoefficientDigits: the
// fitted R at each point is what `res` gives with them. A usage failure when the fit is
// refused (core::fitCallendarVanDusen says why).
CvdReport cvdReport(const PointTable& points, std::optional<double> r0Ohm, const Say& say);

// "R0, A, B and C", "A and B": the unknowns of a fit, for messages.
std::string unknownsText(bool r0Fixed, bool cFitted, const Say& say);

// ---- A thermocouple's own deviation ----------------------------------------------------------

// The deviation of thermocouple s from points (t °C, ΔE µV) with `degree` (none: the
// default); a usage failure saying why when refused, or when s is no thermocouple.
core::ThermocoupleDeviation thermocoupleDeviation(const core::Sensor& s, const PointTable& points,
                                                  std::optional<int> degree, const Say& say);

// A thermocouple with its deviation, against a reference junction at t0 °C.
struct CalibratedThermocouple {
    core::Sensor sensor;
    core::ThermocoupleDeviation deviation;
    double t0 = 0;       // °C
    double emfAtT0 = 0;  // E(t0) + ΔE(t0) in mV against 0 °C
};

// The thermocouple against a junction at `cj` °C (none: 0 °C); status 1 when t0 is out of
// the type's range.
CalibratedThermocouple calibratedThermocouple(const core::Sensor& s,
                                              const core::ThermocoupleDeviation& d,
                                              const std::optional<std::string>& cj, const Say& say);

// E(t) + ΔE(t) − (E(t0) + ΔE(t0)) in mV; kOutOfRange outside the type's range.
double calibratedEmf(const CalibratedThermocouple& c, double t);
// The temperature at an EMF measured against the junction: the exact inverse of E + ΔE at
// emf + E(t0) + ΔE(t0).
core::ExactTemperature calibratedTemperature(const CalibratedThermocouple& c, double emf);
// The EMFs calibratedTemperature takes against the junction, in the user's words.
std::string calibratedReadingRange(const CalibratedThermocouple& c, const Say& say);

// "note: <what> lies outside the calibrated temperatures 100 °C to 1000 °C: the deviation is
// extrapolated there", or "" when every temperature from lo to hi lies inside them.
std::string extrapolationNote(const core::ThermocoupleDeviation& d, double lo, double hi,
                              std::string_view what, const Say& say);

}  // namespace kelvora::answers
