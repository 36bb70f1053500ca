// kelvora-cli run in-process on one command line (words split at blanks) and its standard
// input, for the command line's tests.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli.hpp"

namespace kelvora::test {

struct Result {
    int status;
    std::string out, err;
};

inline Result cli(const std::string& args, const std::string& input = "", bool chinese = false) {
    std::vector<std::string> words{"kelvora-cli"};
    std::istringstream split(args);
    for (std::string w; split >> w;) words.push_back(w);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = cli::run(static_cast<int>(argv.size()), argv.data(), in, out, err, chinese);
    return {status, out.str(), err.str()};
}

}  // namespace kelvora::test
