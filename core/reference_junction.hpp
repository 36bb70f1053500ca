// The cold-junction rules that the window and the command line share: what counts as out of
// range, the EMF of a thermocouple against a reference junction that is not at 0 °C, and
// the temperature at an EMF measured against such a junction. Each takes EMFs that the
// ITS-90 reference functions gave against 0 °C, so a caller evaluates E(t0) once and may
// use it for many readings.
#pragma once

#include <optional>

#include "core/conversion.hpp"
#include "core/sensor.hpp"

namespace kelvora::core {

// A result of a conversion function that lies outside its ranges (kOutOfRange).
constexpr bool outOfRange(double r) {
    return r <= kOutOfRange;
}

// E(t) − E(t0): the EMF at t against a reference junction at t0, from emfAtT = E(t) and
// emfAtT0 = E(t0); none when either temperature is out of range.
constexpr std::optional<double> emfAgainstReference(double emfAtT, double emfAtT0) {
    if (outOfRange(emfAtT) || outOfRange(emfAtT0)) return std::nullopt;
    return emfAtT - emfAtT0;
}

// The temperature of thermocouple `typ` at an EMF `emf` measured against a reference
// junction whose own EMF against 0 °C is emfAtT0: the inverse `temperature` (core::t or a
// stand-in) at emf + E(t0). kOutOfRange when emfAtT0 or the sum is out of range.
inline double temperatureAgainstReference(double emf, double emfAtT0, double typ,
                                          double (*temperature)(double, double)) {
    if (outOfRange(emfAtT0)) return kOutOfRange;
    return temperature(emf + emfAtT0, typ);
}

// The exact inverse against a reference junction whose own EMF against 0 °C is emfAtT0: the
// root of the reference function at emf + E(t0); out of range when emfAtT0 is.
inline ExactTemperature exactTemperatureAgainstReference(ThermocoupleType type, double emf,
                                                         double emfAtT0) {
    if (outOfRange(emfAtT0)) return {kOutOfRange, ExactStatus::outOfRange};
    return exactTemperature(type, emf + emfAtT0);
}

// Temperatures in °C that sensor `i` (a SensorIndex, 0 to 11) converts: those of the ITS-90
// reference function of a thermocouple, or of a resistance thermometer's characteristic.
Limits temperatureLimits(int i);

// Readings that sensor `i` converts back to a temperature: for a thermocouple the EMF in mV
// against 0 °C that its inverse polynomials cover, for a resistance thermometer the
// resistance in ohms.
Limits readingLimits(int i);

}  // namespace kelvora::core
