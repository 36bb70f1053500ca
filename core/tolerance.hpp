// Tolerance classes: the deviation from the reference function or the standard
// characteristic that a sensor of a class is permitted, in °C at a temperature.
//
// Thermocouples: IEC 60584-1 classes 1, 2 and 3. Platinum: IEC 60751 classes AA, A, B and C,
// each with its own range for wire-wound and for film elements. Copper: the one class of
// JB/T 8623. Nickel: none.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/conversion.hpp"
#include "core/sensor.hpp"

namespace kelvora::core {

enum class ToleranceClass : std::uint8_t { one, two, three, AA, A, B, C };
enum class Element : std::uint8_t { wire, film };  // a platinum element's make

// "1", "2", "3", "AA", "A", "B" or "C" in any letter case; none for anything else.
std::optional<ToleranceClass> parseToleranceClass(std::string_view text);
std::string_view toleranceClassName(ToleranceClass c);  // "1" … "3", "AA" … "C"

// Whether sensor s has class c at all (type J has no class 3, type B no class 1, …).
bool hasClass(const Sensor& s, ToleranceClass c);

// The temperatures over which class c holds for s (the element matters for platinum only),
// kept within the sensor's own range; none when s has no class c.
std::optional<Limits> toleranceLimits(const Sensor& s, ToleranceClass c,
                                      Element element = Element::wire);

// The permitted deviation in °C at t, the larger of the two values where a class gives
// "or"; kOutOfRange when t lies outside the class's range or s has no class c.
double tolerance(const Sensor& s, double t, ToleranceClass c, Element element = Element::wire);

// The same deviation in the sensor's own unit: the tolerance times the slope at t, in mV for
// a thermocouple (the Seebeck coefficient taken from µV/°C to mV/°C) or in Ω; kOutOfRange
// where the tolerance is.
double toleranceReading(const Sensor& s, double t, ToleranceClass c,
                        Element element = Element::wire);

}  // namespace kelvora::core
