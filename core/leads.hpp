// The copper leads of a resistance thermometer: a lead's resistance, what an instrument reads
// through two, three or four of them without compensation, and the temperature error that
// reading makes.
//
// Units: lengths in m, cross-sections in mm², resistances in Ω, temperatures in °C. Like the
// rest of the core, a function returns kOutOfRange (-999) for an argument it does not take.
#pragma once

#include <cstdint>

#include "core/conversion.hpp"
#include "core/sensor.hpp"

namespace kelvora::core {

// Annealed copper: ρ₂₀ = 0.017241 Ω·mm²/m at 20 °C (IEC 60028), and its temperature
// coefficient α₂₀ = 0.00393 /K.
inline constexpr double kCopperResistivity20 = 0.017241;  // Ω·mm²/m
inline constexpr double kCopperAlpha20 = 0.00393;         // 1/K

// The gauges awgAreaMm2 takes: 0 to 40, whole numbers only.
inline constexpr Limits kAwgRange{0, 40, true};

// The cross-section in mm² of a solid round wire of American Wire Gauge n:
// d = 0.127 mm · 92^((36 − n)/39), A = π·d²/4 (20 AWG: 0.5176 mm²). kOutOfRange for an n that
// is not a whole number from 0 to 40.
double awgAreaMm2(double n);

// A copper lead's resistance R_L = ρ₂₀·(1 + α₂₀·(T − 20))·L/A in Ω, of length L m and
// cross-section A mm² at the cable's temperature T °C. kOutOfRange unless L and A are finite
// and above 0 and T is finite with 1 + α₂₀·(T − 20) above 0 (T above −234.45 °C).
double copperLeadOhm(double lengthM, double areaMm2, double cableC = 20);

// How a resistance thermometer is wired to its instrument.
enum class Wiring : std::uint8_t { two = 2, three = 3, four = 4 };

// The resistance the instrument reads, uncompensated, of a thermometer of resistance rOhm:
// rOhm + 2·leadOhm (two wires), rOhm + imbalanceOhm (three wires: the difference between the
// resistances of the two leads in the bridge's arms, 0 when they match), rOhm (four wires).
double wiredReadingOhm(double rOhm, Wiring wiring, double leadOhm, double imbalanceOhm = 0);

// The temperature error of resistance thermometer s at t °C read through its leads: the
// temperature at the wired reading, by the exact inverse of the sensor's own curve (any R0 or
// certificate), minus t, in °C. kOutOfRange for a thermocouple, for a t outside the sensor's
// range, and for a wired reading beyond the sensor's resistances.
double leadErrorC(const Sensor& s, double t, Wiring wiring, double leadOhm,
                  double imbalanceOhm = 0);

}  // namespace kelvora::core
