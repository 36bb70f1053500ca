// The sensor a request is about: a code (K, Pt100, Pt1000, Cu10, Ni1000, ITS90, …) and, for a
// platinum thermometer, a certificate's own R0 and coefficients, or for an ITS-90 thermometer
// its R_tpw and deviation functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    std::optional<std::string> rtpw;  // --rtpw OHMS, ITS90
    std::vector<std::string> dev;     // --dev N:a,b[,c], ITS90, once for each sub-range
};

// "ITS90" in any letter case: an ITS-90 thermometer, whose certificate the code cannot give.
bool isIts90Code(std::string_view code);

// The sensor codes every front end takes, for messages and help: the window's twelve, then the
// rest.
std::string knownSensors();

// The sensor of the options; a usage failure (status 2) that says why for an unknown code, a
// bad number, a certificate option on a sensor that is not platinum, or a certificate that
// cannot be a platinum curve; for ITS90, a missing --rtpw or --dev, a --dev not written
// N:a,b[,c] with a listed sub-range and exactly its coefficients, or a certificate that
// its90Sensor refuses.
core::Sensor resolveSensor(const SensorOptions& o, const Say& say);

// E(t0) against 0 °C of a thermocouple's reference junction at `cj` °C (none: 0 °C), checked
// once for all values: status 1 when t0 is out of the thermocouple's range.
double referenceEmf(const core::Sensor& s, const std::optional<std::string>& cj, const Say& say);

// A usage failure when a reference junction is given for a sensor that has none.
void noReferenceFor(const core::Sensor& s, const std::optional<std::string>& cj, const Say& say);

}  // namespace kelvora::answers
