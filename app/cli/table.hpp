// kelvora-cli table: a sensor's graduation table as printed tables are laid out, or as csv,
// json or a C array.
#pragma once

#include <optional>
#include <string>

#include "app/cli/line_writer.hpp"
#include "app/cli/report.hpp"

namespace kelvora::cli {

struct TableOptions {
    SensorOptions sensor;
    std::optional<std::string> from, to, step, cj;
    std::string format = "text";
    std::optional<int> digits;
};

// Where a sensor's numbers come from, for the comments of C headers: the ITS-90 reference
// functions and their database, or the resistance thermometer's equation and coefficients.
std::string sourceText(const core::Sensor& s);

// Writes the table; throws a Failure as tablePoints does.
int table(const TableOptions& o, LineWriter& out, const Say& say);

}  // namespace kelvora::cli
