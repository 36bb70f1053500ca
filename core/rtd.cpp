#include "core/rtd.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/rtd_curves.hpp"
#include "core/sensor.hpp"

namespace kelvora::core {

namespace {

constexpr double kPtWLow = rtd::wPt(rtd::kPtRange.lo, kIec60751);
constexpr double kPtWHigh = rtd::wPt(rtd::kPtRange.hi, kIec60751);
constexpr double kCuWLow = rtd::wCu(rtd::kCuRange.lo), kCuWHigh = rtd::wCu(rtd::kCuRange.hi);

// The window's four resistance thermometers, as the sensor library describes them.
bool isRtdIndex(double typ) {
    return typ == 8 || typ == 9 || typ == 10 || typ == 11;
}
Sensor rtdOf(double typ) {
    return windowSensor(static_cast<SensorIndex>(typ));
}

}  // namespace

double r_Pt(double t) {
    if (!rtd::kPtRange.contains(t)) return kOutOfRange;
    return rtd::checked(rtd::wPt(t, kIec60751));
}

double r_Cu(double t) {
    if (!rtd::kCuRange.contains(t)) return kOutOfRange;
    return rtd::checked(rtd::wCu(t));
}

double r_Ohm(double t1, double typ) {
    if (!isRtdIndex(typ)) return 0.0;
    return reading(rtdOf(typ), t1);
}

std::string r_T(double t1, double typ) {
    if (!isRtdIndex(typ)) return {};
    const double r = r_Ohm(t1, typ);
    if (r <= kOutOfRange) return "温度超限";
    return formatFixed(r, 2);
}

Limits rtdTemperatureLimits(double typ) {
    return temperatureLimits(rtdOf(isRtdIndex(typ) ? typ : 8));
}

Limits rtdResistanceLimits(double typ) {
    return rtd::endResistances(rtdOf(isRtdIndex(typ) ? typ : 8));
}

double t_Pt(double w) {
    if (!(w >= kPtWLow && w <= kPtWHigh)) return kOutOfRange;
    return std::clamp(rtd::tPt(w, kIec60751), rtd::kPtRange.lo, rtd::kPtRange.hi);
}

double t_Cu(double w) {
    if (!(w >= kCuWLow && w < kCuWHigh)) return kOutOfRange;
    return std::clamp(rtd::tCu(w), rtd::kCuRange.lo, std::nextafter(rtd::kCuRange.hi, 0.0));
}

double t_Ohm(double r, double typ) {
    if (!isRtdIndex(typ)) return 0.0;
    // The window keeps its own limits, the resistances at the ends, without the sensor
    // library's margin beyond them; inside them the two are the same.
    const Sensor s = rtdOf(typ);
    if (!rtd::endResistances(s).contains(r)) return kOutOfRange;
    return temperature(s, r);
}

}  // namespace kelvora::core
