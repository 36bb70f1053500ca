// Resistance thermometers: platinum (Callendar–Van Dusen, IEC 60751) and copper.
//
// r_Pt and r_Cu return the resistance ratio W(t) = R(t) / R0 at t °C, or kOutOfRange (-999)
// outside the range; they throw ConversionFault on a non-finite result.
#pragma once

#include <string>

#include "core/conversion.hpp"

namespace kelvora::core {

double r_Pt(double t);  // -200 ≤ t ≤ 850
double r_Cu(double t);  // -50 ≤ t < 150 (150 °C itself is outside)

// Resistance in ohms of resistance thermometer `typ` at t1 (8 Pt100, 9 Pt10, 10 Cu100,
// 11 Cu50): R0 · W(t1), or kOutOfRange outside the sensor's range. Any other typ gives 0.
double r_Ohm(double t1, double typ);

// The temperatures in °C and the resistances in ohms that sensor `typ` (8 to 11) converts.
Limits rtdTemperatureLimits(double typ);
Limits rtdResistanceLimits(double typ);

// Resistance display text of resistance thermometer `typ` at t1: 8 Pt100, 9 Pt10,
// 10 Cu100, 11 Cu50. The resistance in ohms with two decimals ("#0.00"), or "温度超限"
// outside the sensor's range. Any other typ gives an empty text.
std::string r_T(double t1, double typ);

// Inverse characteristics: the temperature in °C at which the ratio is w, or kOutOfRange
// outside the forward range (platinum: W(-200) ≤ w ≤ W(850); copper: W(-50) ≤ w < W(150)).
double t_Pt(double w);
double t_Cu(double w);

// Temperature of resistance thermometer `typ` (8 to 11) at a resistance of r ohms, or
// kOutOfRange when r lies outside the sensor's range. Any other typ gives 0.
double t_Ohm(double r, double typ);

}  // namespace kelvora::core
