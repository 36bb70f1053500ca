// The sensor a request is about: a code (K, Pt100, Pt1000, Cu10, Ni1000, …) and, for a
// platinum thermometer, a certificate's own R0 and coefficients.
#pragma once

#include <optional>
#include <string>

#include "answers/messages.hpp"
#include "core/sensor.hpp"

namespace kelvora::answers {

struct SensorOptions {
    std::string code;
    std::optional<std::string> r0;     // --r0 OHMS
    std::optional<std::string> cvd;    // --cvd A,B[,C]
    std::optional<std::string> alpha;  // --alpha α --delta δ [--beta β]
    std::optional<std::string> delta;
    std::optional<std::string> beta;
};

// The sensor codes every front end takes, for messages and help: the window's twelve, then the
// rest.
std::string knownSensors();

// The sensor of the options; a usage failure (status 2) that says why for an unknown code, a
// bad number, a certificate option on a sensor that is not platinum, or a certificate that
// cannot be a platinum curve.
core::Sensor resolveSensor(const SensorOptions& o, const Say& say);

// E(t0) against 0 °C of a thermocouple's reference junction at `cj` °C (none: 0 °C), checked
// once for all values: status 1 when t0 is out of the thermocouple's range.
double referenceEmf(const core::Sensor& s, const std::optional<std::string>& cj, const Say& say);

// A usage failure when a reference junction is given for a sensor that has none.
void noReferenceFor(const core::Sensor& s, const std::optional<std::string>& cj, const Say& say);

}  // namespace kelvora::answers
