// kelvora-cli loop and check: a transmitter's output at a temperature and the temperature at
// an output, and the loop-check sheet as an aligned table, csv or json. Parsing and printing
// only: the numbers come from the core's transmitter and the layer's sheet.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "app/cli/line_writer.hpp"
#include "app/cli/report.hpp"

namespace kelvora::cli {

struct LoopOptions {
    std::string value;  // TEMP in °C, or with reverse OUTPUT in the signal's unit; "-": stdin
    std::string range;  // "LRV,URV"
    std::optional<std::string> signal;
    bool reverse = false;
    std::optional<int> digits;
};

// The output at each temperature (3 decimals), or with reverse the temperature at each output
// (2 decimals), a line each; below or above range a note on `err` naming the state, no
// temperature (status 1) for a failure signal or a current that is not a measurement.
int loop(const LoopOptions& o, std::istream& in, LineWriter& out, std::ostream& err,
         const Say& say);

struct CheckOptions {
    SensorOptions sensor;
    std::string range;
    std::optional<std::string> signal, cj, points, at, found, left, accuracy;
    bool updown = false;
    std::string format = "text";
};

// The sheet, printed whole or not at all: status 0 when every verdict passes, 3 when one fails;
// throws a Failure (1 or 2) before printing anything.
int check(const CheckOptions& o, LineWriter& out, const Say& say);

}  // namespace kelvora::cli
