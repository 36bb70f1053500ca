// kelvora-cli: the command-line program over the conversion core.
#include <iostream>

#include "app/cli/cli.hpp"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

int main(int argc, char* argv[]) {
#ifdef _WIN32
    // The Chinese texts are UTF-8: the console shows them as such while the program runs, and
    // gets its own code page back afterwards.
    const UINT consoleCodePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
#endif
    std::ios::sync_with_stdio(false);
    const int status = kelvora::cli::run(argc, argv, std::cin, std::cout, std::cerr,
                                         kelvora::cli::chineseLocale());
    std::cout.flush();
#ifdef _WIN32
    if (consoleCodePage != 0) SetConsoleOutputCP(consoleCodePage);
#endif
    return status;
}
