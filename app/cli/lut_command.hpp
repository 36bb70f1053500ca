// kelvora-cli lut: a firmware lookup table with a proven error, from a reading to a
// temperature, as a C99 header, csv or json (core/lut.hpp makes it, lut_format.hpp writes it).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "app/cli/line_writer.hpp"
#include "app/cli/report.hpp"

namespace kelvora::cli {

struct LutOptions {
    SensorOptions sensor;
    std::optional<std::string> maxError, points;  // one of them
    std::optional<std::string> from, to, cjFrom, cjTo;
    bool integer = false;
    std::string format = "c";
    std::optional<std::string> name;
};

// Writes the table to `out` and what it achieved to `err`; throws a Failure for a request that
// cannot be met.
int lut(const LutOptions& o, LineWriter& out, std::ostream& err, const Say& say);

}  // namespace kelvora::cli
