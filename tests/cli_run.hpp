// kelvora-cli run in-process on one command line (words split at blanks) and its standard
// input, for the command line's tests.
#pragma once

#include <gtest/gtest.h>

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

// One request of a table of them and what it must give.
struct Case {
    const char* args;
    const char* input;
    int status;
    const char* out;  // standard output, whole or a part as the table says (nullptr: not looked at)
    const char* err;  // a part of standard error ("" for none at all)
    bool chinese = false;
};

enum class Output { whole, part };

// Runs one case and checks its status, output and message.
inline void expectCase(const Case& c, Output match) {
    SCOPED_TRACE(std::string(c.args) + " < " + c.input);
    const Result r = cli(c.args, c.input, c.chinese);
    EXPECT_EQ(r.status, c.status) << r.err;
    if (c.out && match == Output::whole) {
        EXPECT_EQ(r.out, c.out);
    } else if (c.out) {
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    }
    if (*c.err) {
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    } else {
        EXPECT_EQ(r.err, "");
    }
}

}  // namespace kelvora::test
