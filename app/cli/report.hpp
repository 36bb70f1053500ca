// kelvora-cli over the layer every front end shares: its names in the command line's own
// namespace, and the one way the program reports a failure or a note.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "answers/messages.hpp"
#include "answers/sensor_options.hpp"
#include "answers/table_points.hpp"

namespace kelvora::cli {

using namespace kelvora::answers;

// "kelvora-cli: message" on its own line.
void report(std::ostream& err, std::string_view message);

// Remarks on results given all the same (a deviation used beyond its calibrated
// temperatures): a command leaves them here, and they are reported after its results.
struct Notes {
    std::vector<std::string> pending;
};

}  // namespace kelvora::cli
