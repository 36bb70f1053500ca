// Runs a fuzz target without libFuzzer: every file given, and every file in every directory
// given (in name order, dot files skipped), goes once through LLVMFuzzerTestOneInput. A
// failed check traps; the signal handler then names the input before the process dies.
//
// Usage: fuzz_replay_<target> DIR_OR_FILE...
#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

char currentInput[4096] = "(none)";

extern "C" void onFatalSignal(int sig) {
    static const char prefix[] = "fuzz replay: failed on input ";
    ssize_t ignored = write(STDERR_FILENO, prefix, sizeof prefix - 1);
    ignored = write(STDERR_FILENO, currentInput, std::strlen(currentInput));
    ignored = write(STDERR_FILENO, "\n", 1);
    (void)ignored;
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void run(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "fuzz replay: cannot read %s\n", file.c_str());
        std::exit(2);
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::snprintf(currentInput, sizeof currentInput, "%s", file.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    for (const int sig : {SIGILL, SIGABRT, SIGSEGV, SIGFPE, SIGBUS, SIGTRAP})
        std::signal(sig, onFatalSignal);

    std::size_t count = 0;
    for (int a = 1; a < argc; ++a) {
        const std::filesystem::path arg = argv[a];
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                    files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else if (std::filesystem::is_regular_file(arg)) {
            files.push_back(arg);
        } else {
            std::fprintf(stderr, "fuzz replay: no such file or directory: %s\n", argv[a]);
            return 2;
        }
        for (const auto& file : files) run(file);
        count += files.size();
    }
    std::printf("fuzz replay: %zu inputs passed\n", count);
    return 0;
}
