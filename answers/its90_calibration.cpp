#include "answers/its90_calibration.hpp"

#include <set>

#include "core/its90_prt.hpp"

namespace kelvora::answers {

namespace {

std::string text(double v) {
    return core::formatSignificant(v);
}

// "a and b", "a, b and c", "a".
std::string coefficientsText(int count, const Say& say) {
    if (count == 1) return "a";
    return count == 2 ? say("a and b", "a、b") : say("a, b and c", "a、b、c");
}

}  // namespace

std::string subrangeText(int subrange, const Say& say) {
    const core::its90::prt::Subrange* r = core::its90::prt::subrangeOf(subrange);
    const std::string n = std::to_string(subrange);
    if (r == nullptr) return say("sub-range " + n, "分区 " + n);
    const std::string range =
        rangeText(core::its90::prt::subrangeLimits(*r), 4, say.celsius(), say);
    return say("sub-range " + n + ": " + range, "分区 " + n + "：" + range);
}

std::string deviationOption(const core::Its90Fit& fit) {
    std::string s = std::to_string(fit.subrange) + ":";
    for (int k = 0; k < fit.coefficients; ++k) {
        if (k > 0) s += ',';
        s += coefficientText(fit.c[static_cast<std::size_t>(k)]);
    }
    return s;
}

Its90Report its90Report(const PointTable& points, int subrange, double rtpwOhm, const Say& say) {
    std::vector<core::CalibrationPoint> given;
    for (std::size_t i = 0; i < points.x.size(); ++i) given.push_back({points.x[i], points.y[i]});
    const core::Its90FitOrError f = core::fitIts90Deviation(given, subrange, rtpwOhm);
    const std::string which = subrangeText(subrange, say);
    const std::string names = coefficientsText(f.fit.coefficients, say);
    const std::string needed = std::to_string(f.needed);
    const auto at = [&](std::size_t i) { return points.where(i, say); };
    switch (f.error) {
        case core::Its90FitError::none:
            break;
        case core::Its90FitError::unknownSubrange:
            throw usage(
                "there is no sub-range " + std::to_string(subrange) + "; " +
                    std::string(core::describe(core::SensorError::unknownSubrange)),
                "没有分区 " + std::to_string(subrange) + "；" +
                    std::string(core::describeInChinese(core::SensorError::unknownSubrange)),
                say);
        case core::Its90FitError::rtpw:
            throw Failure{kExitUsage,
                          "R_tpw " + text(rtpwOhm) + " Ω: " + sensorError(f.sensorError, say)};
        case core::Its90FitError::temperatureOutOfRange:
            throw usage(
                at(f.point) + ": temperature " + text(given[f.point].temperatureC) +
                    " °C lies outside " + which,
                at(f.point) + "：温度 " + text(given[f.point].temperatureC) + "℃ 超出" + which,
                say);
        case core::Its90FitError::resistanceNotValid:
            throw resistanceRefused(at(f.point), given[f.point].resistanceOhm, say);
        case core::Its90FitError::tooFewPoints:
            throw usage("fitting " + names + " of sub-range " + std::to_string(subrange) +
                            " takes at least " + needed + " points; there " +
                            (given.size() == 1 ? "is " : "are ") + std::to_string(given.size()),
                        "拟合分区 " + std::to_string(subrange) + " 的 " + names + " 至少需要 " +
                            needed + " 个点；现有 " + std::to_string(given.size()) + " 个",
                        say);
        case core::Its90FitError::conflictingPoints: {
            const std::string t = text(given[f.point].temperatureC);
            throw usage(
                at(f.point) + " and " + at(f.other) + ": two resistances at " + t +
                    " °C; with as many points as coefficients the function passes "
                    "through every point, and cannot through both",
                at(f.point) + "与" + at(f.other) + "：" + t +
                    "℃ 有两个电阻值；点数与系数一样多时函数通过每个点，不能同时通过这两个点",
                say);
        }
        case core::Its90FitError::tooFewTemperatures: {
            std::set<double> ts(points.x.begin(), points.x.end());
            ts.erase(core::its90::prt::kTriplePointC);
            throw usage("the points lie at " + std::to_string(ts.size()) +
                            (ts.size() == 1 ? " temperature" : " different temperatures") +
                            " besides the water triple point (where "
                            "the deviation is 0 whatever its coefficients); fitting " +
                            names + " takes " + needed,
                        "除水三相点（该处偏差恒为 0）外，这些点只在 " + std::to_string(ts.size()) +
                            " 个不同的温度上；拟合 " + names + " 需要 " + needed + " 个",
                        say);
        }
        case core::Its90FitError::singular:
            throw usage("the points do not determine " + names + ": the fit is singular",
                        "这些点不能确定 " + names + "：拟合是奇异的", say);
        case core::Its90FitError::curve:
            throw Failure{kExitUsage, say("the deviation function fitted to the points is "
                                          "refused: ",
                                          "按这些点拟合的偏差函数不能用：") +
                                          sensorError(f.sensorError, say)};
    }

    Its90Report report;
    report.fit = f.fit;
    std::vector<double> c;
    for (int k = 0; k < f.fit.coefficients; ++k) {
        double& v = report.fit.c[static_cast<std::size_t>(k)];
        v = ui::boxValue(coefficientText(v));
        c.push_back(v);
    }
    const core::Its90Given deviation{subrange, c};
    const core::SensorOrError made = core::its90Sensor(rtpwOhm, std::span(&deviation, 1));
    if (!made.ok())  // the rounding of a function at the very edge of the check
        throw Failure{kExitUsage, say("the deviation function fitted to the points is refused: ",
                                      "按这些点拟合的偏差函数不能用：") +
                                      sensorError(made.error, say)};
    report.sensor = report.fit.sensor = made.sensor;
    report.points = residuals(report.sensor, points);
    report.maxResidualMk = largestResidualMk(report.points);
    return report;
}

}  // namespace kelvora::answers
