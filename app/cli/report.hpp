// kelvora-cli over the layer every front end shares: its names in the command line's own
// namespace, and the one way the program reports a failure.
#pragma once

#include <iosfwd>
#include <string_view>

#include "answers/messages.hpp"
#include "answers/sensor_options.hpp"
#include "answers/table_points.hpp"

namespace kelvora::cli {

using namespace kelvora::answers;

// "kelvora-cli: message" on its own line.
void report(std::ostream& err, std::string_view message);

}  // namespace kelvora::cli
