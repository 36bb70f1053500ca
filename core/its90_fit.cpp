#include "core/its90_fit.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "core/its90_prt.hpp"
#include "core/least_squares.hpp"

namespace kelvora::core {

Its90FitOrError fitIts90Deviation(std::span<const CalibrationPoint> points, int subrange,
                                  double rtpwOhm) {
    using namespace its90::prt;
    Its90FitOrError out;
    const auto fail = [&out](Its90FitError e, std::size_t point = 0, std::size_t other = 0) {
        out.error = e;
        out.point = point;
        out.other = other;
        return out;
    };
    Its90Fit& f = out.fit;
    f.subrange = subrange;
    f.rtpwOhm = rtpwOhm;
    const Subrange* r = subrangeOf(subrange);
    if (r == nullptr) return fail(Its90FitError::unknownSubrange);
    f.coefficients = r->coefficients;
    // R_tpw by the sensor's own check, with any deviation of the sub-range.
    const std::array<double, 3> zeros{};
    const Its90Given none{subrange,
                          std::span(zeros).first(static_cast<std::size_t>(r->coefficients))};
    out.sensorError = its90Sensor(rtpwOhm, std::span(&none, 1)).error;
    if (out.sensorError == SensorError::rtpwOutOfReach) return fail(Its90FitError::rtpw);

    const Limits range = subrangeLimits(*r);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!range.contains(points[i].temperatureC))
            return fail(Its90FitError::temperatureOutOfRange, i);
        if (!(std::isfinite(points[i].resistanceOhm) && points[i].resistanceOhm > 0))
            return fail(Its90FitError::resistanceNotValid, i);
    }
    const auto n = static_cast<std::size_t>(r->coefficients);
    out.needed = r->coefficients;
    if (points.size() < n) return fail(Its90FitError::tooFewPoints);

    std::vector<std::size_t> order(points.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
        return points[i].temperatureC < points[j].temperatureC;
    });
    std::size_t temperatures = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const CalibrationPoint& q = points[order[k]];
        if (k > 0 && points[order[k - 1]].temperatureC == q.temperatureC) {
            const CalibrationPoint& p = points[order[k - 1]];
            if (points.size() == n && p.resistanceOhm != q.resistanceOhm)
                return fail(Its90FitError::conflictingPoints, std::min(order[k - 1], order[k]),
                            std::max(order[k - 1], order[k]));
        } else if (q.temperatureC != kTriplePointC) {
            ++temperatures;
        }
    }
    if (temperatures < n) return fail(Its90FitError::tooFewTemperatures);

    // W − Wr(t) = Σ c_k·term_k(W)
    std::vector<double> a, b;
    a.reserve(points.size() * n);
    b.reserve(points.size());
    for (const CalibrationPoint& p : points) {
        const double w = p.resistanceOhm / rtpwOhm;
        for (std::size_t k = 0; k < n; ++k)
            a.push_back(deviationTerm(subrange, static_cast<int>(k), w));
        b.push_back(w - referenceRatio(p.temperatureC));
    }
    const LeastSquaresSolution s = solveLeastSquares(a, b, n);
    if (!s.ok()) return fail(Its90FitError::singular);
    std::copy_n(s.x.begin(), n, f.c.begin());
    const Its90Given found{subrange, std::span(f.c).first(n)};
    const SensorOrError made = its90Sensor(rtpwOhm, std::span(&found, 1));
    out.sensorError = made.error;
    if (!made.ok()) return fail(Its90FitError::curve);
    f.sensor = made.sensor;
    return out;
}

}  // namespace kelvora::core
