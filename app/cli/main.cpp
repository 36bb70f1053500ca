// kelvora-cli: the command-line program over the conversion core.
#include <iostream>

#include "app/cli/cli.hpp"

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char* argv[]) {
#ifdef _WIN32
    // The Chinese texts are UTF-8: the console shows them as such.
    SetConsoleOutputCP(CP_UTF8);
#endif
    std::ios::sync_with_stdio(false);
    return kelvora::cli::run(argc, argv, std::cin, std::cout, std::cerr,
                             kelvora::cli::chineseLocale());
}
