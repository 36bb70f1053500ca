// kelvora-cli's conversions, one value or a column of them: emf, temp, res, slope and tol,
// and the list of sensors.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "app/cli/line_writer.hpp"
#include "app/cli/report.hpp"
#include "core/sensor.hpp"

namespace kelvora::cli {

// One value's text to its result's text; throws a Failure.
using Convert = std::function<std::string(std::string_view)>;

// Converts `value`, or each line of `in` when it is "-": one result per line, an empty line
// in its place where a value fails (the message to `err`), so results stay beside their
// readings. Returns the worst status.
int convertValues(std::string_view value, const Convert& convert, std::istream& in, LineWriter& out,
                  std::ostream& err, const Say& say);

struct ConvertOptions {
    std::optional<std::string> cj;       // the reference junction, thermocouples only
    std::optional<int> digits;           // decimals shown instead of the default
    bool exact = false;                  // temp: the exact inverse of the reference function
    std::optional<std::string> cls;      // tol: the tolerance class
    std::optional<std::string> element;  // tol: wire or film (platinum)
};

// Each command's conversion for sensor s, its options checked once for all values.
Convert emfConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say);
Convert temperatureConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say);
Convert resistanceConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say);
Convert slopeConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say);
Convert toleranceConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say);

// Every sensor of the window's list with its code, description and range, a line each.
void listSensors(LineWriter& out);

}  // namespace kelvora::cli
