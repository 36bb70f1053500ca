// kelvora-cli fit: a sensor's coefficients from a calibration's points ("sensor matching"),
// with every point's residual; and the reading of a file of points, which --deviation shares.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "answers/calibration.hpp"
#include "answers/its90_calibration.hpp"
#include "app/cli/line_writer.hpp"
#include "app/cli/report.hpp"

namespace kelvora::cli {

struct FitOptions {
    std::string code;                  // the sensor: PtN or ITS90
    std::string file;                  // the points, or "-" for standard input
    std::optional<std::string> r0;     // --r0: R0 measured, fixed in the fit
    std::optional<std::string> range;  // --range N: ITS90's sub-range
    std::optional<std::string> rtpw;   // --rtpw R: ITS90's resistance at the water triple point
    std::string format = "text";       // text or json
};

// The points of `file` (lines "x,y"), or of `in` when it is "-"; a usage failure when the
// file cannot be read or a line is not a point.
PointTable readPointsFile(const std::string& file, std::istream& in, std::string_view xWhat,
                          std::string_view yWhat, const Say& say);

// Fits and writes the report; throws a Failure (status 2) when the fit is refused.
int fit(const FitOptions& o, std::istream& in, LineWriter& out, const Say& say);

}  // namespace kelvora::cli
