// kelvora-cli: conversions and graduation tables from the command line, over the same core
// as the window. The whole program is run(); main() only chooses the streams and the
// language, so the tests run it in-process.
#pragma once

#include <iosfwd>

#include "app/cli/report.hpp"

namespace kelvora::cli {

// Runs the program on argv (argv[0] is the program's name): results to `out`, messages to
// `err`, batch input ("-") from `in`; messages in Chinese when `chinese`. Returns the exit
// status.
int run(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err,
        bool chinese);

// Whether the user's locale asks for Chinese messages: LC_ALL, LC_MESSAGES or LANG, the
// first one set, begins with "zh" (on Windows with none set, the user's display language).
bool chineseLocale();

}  // namespace kelvora::cli
