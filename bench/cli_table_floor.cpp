// The floor of kelvora-cli's long table: as many lines of two doubles, each formatted with
// std::to_chars (fixed, 3 decimals), written through kelvora-cli's own output path, with no
// conversion and no rounding rule.
//     kelvora_cli_table_floor [ROWS]      (default 1,642,001: type K, -270 to 1372 °C by 0.001)
#include <charconv>
#include <cstdlib>
#include <iostream>

#include "app/cli/line_writer.hpp"

int main(int argc, char* argv[]) {
    const long long rows = argc > 1 ? std::atoll(argv[1]) : 1'642'001;
    std::ios::sync_with_stdio(false);
    kelvora::cli::LineWriter out(std::cout);
    out.put("temperature_C,emf_mV\n");
    for (long long k = 0; k < rows; ++k) {
        const double t = -270 + static_cast<double>(k) * 0.001;
        char* w = out.reserve(kelvora::cli::LineWriter::kMaxPiece);
        w = std::to_chars(w, w + 64, t, std::chars_format::fixed, 3).ptr;
        *w++ = ',';
        w = std::to_chars(w, w + 64, t * 0.04, std::chars_format::fixed, 3).ptr;
        *w++ = '\n';
        out.commit(w);
    }
    return 0;
}
