#include "core/cvd_fit.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "core/least_squares.hpp"
#include "core/rtd_curves.hpp"

namespace kelvora::core {

CallendarConstants callendarConstants(const CvdCoefficients& k) {
    const double alpha = k.a + 100 * k.b;
    return {alpha, -1e4 * k.b / alpha, -1e8 * k.c / alpha};
}

CvdFitOrError fitCallendarVanDusen(std::span<const CalibrationPoint> points,
                                   std::optional<double> r0Ohm) {
    CvdFitOrError out;
    const auto fail = [&out](CvdFitError e, std::size_t point = 0, std::size_t other = 0) {
        out.error = e;
        out.point = point;
        out.other = other;
        return out;
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!rtd::kPtRange.contains(points[i].temperatureC))
            return fail(CvdFitError::temperatureOutOfRange, i);
        if (!(std::isfinite(points[i].resistanceOhm) && points[i].resistanceOhm > 0))
            return fail(CvdFitError::resistanceNotValid, i);
    }
    if (r0Ohm) {
        out.sensorError = platinumSensor(*r0Ohm).error;
        if (out.sensorError != SensorError::none) return fail(CvdFitError::curve);
    }

    CvdFit& f = out.fit;
    f.r0Fixed = r0Ohm.has_value();
    f.cFitted = std::any_of(points.begin(), points.end(),
                            [](const CalibrationPoint& p) { return p.temperatureC < 0; });
    f.unknowns = 3 + f.cFitted - f.r0Fixed;
    const auto n = static_cast<std::size_t>(f.unknowns);
    out.needed = f.unknowns;
    if (points.size() < n) return fail(CvdFitError::tooFewPoints);

    // The points by temperature, to count the different temperatures.
    std::vector<std::size_t> order(points.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
        return points[i].temperatureC < points[j].temperatureC;
    });
    std::size_t temperatures = points.empty() ? 0 : 1;
    for (std::size_t k = 1; k < order.size(); ++k) {
        const CalibrationPoint &p = points[order[k - 1]], &q = points[order[k]];
        if (p.temperatureC != q.temperatureC) {
            ++temperatures;
        } else if (points.size() == n && p.resistanceOhm != q.resistanceOhm) {
            // A curve through every point would have to take two values at one temperature.
            return fail(CvdFitError::conflictingPoints, std::min(order[k - 1], order[k]),
                        std::max(order[k - 1], order[k]));
        }
    }
    if (temperatures < n) return fail(CvdFitError::tooFewTemperatures);

    // R = R0 + (R0·A)·t + (R0·B)·t² + (R0·C)·(t − 100)·t³, or with R0 known
    // R − R0 = (R0·A)·t + (R0·B)·t² + (R0·C)·(t − 100)·t³.
    std::vector<double> a, b;
    a.reserve(points.size() * n);
    b.reserve(points.size());
    for (const CalibrationPoint& p : points) {
        const double t = p.temperatureC;
        if (!f.r0Fixed) a.push_back(1);
        a.push_back(t);
        a.push_back(t * t);
        if (f.cFitted) a.push_back(t < 0 ? (t - 100) * t * t * t : 0.0);
        b.push_back(f.r0Fixed ? p.resistanceOhm - *r0Ohm : p.resistanceOhm);
    }
    const LeastSquaresSolution s = solveLeastSquares(a, b, n);
    if (!s.ok()) return fail(CvdFitError::singular);
    const std::size_t first = f.r0Fixed ? 0 : 1;  // where R0·A stands
    f.r0Ohm = f.r0Fixed ? *r0Ohm : s.x[0];
    f.cvd = {s.x[first] / f.r0Ohm, s.x[first + 1] / f.r0Ohm,
             f.cFitted ? s.x[first + 2] / f.r0Ohm : 0.0};
    out.sensorError = platinumSensor(f.r0Ohm, f.cvd).error;
    if (out.sensorError != SensorError::none) return fail(CvdFitError::curve);
    return out;
}

}  // namespace kelvora::core
