#include "answers/calibration.hpp"

#include <algorithm>
#include <cmath>
#include <istream>
#include <set>

#include "core/conversion.hpp"
#include "core/reference_junction.hpp"

namespace kelvora::answers {

namespace {

std::string text(double v) {
    return core::formatSignificant(v);
}

std::string countText(std::size_t n) {
    return std::to_string(n);
}

// The value a coefficient's text gives back.
double rounded(double v) {
    return ui::boxValue(coefficientText(v));
}

}  // namespace

std::string PointTable::where(std::size_t i, const Say& say) const {
    if (i < lines.size()) {
        const std::string n = std::to_string(lines[i]);
        return say("line " + n, "第 " + n + " 行");
    }
    const std::string n = std::to_string(i + 1);
    return say("point " + n, "第 " + n + " 个点");
}

Failure resistanceRefused(const std::string& where, double resistanceOhm, const Say& say) {
    return usage(where + ": resistance " + text(resistanceOhm) +
                     " Ω: a resistance must be a finite number above 0 Ω",
                 where + "：电阻 " + text(resistanceOhm) + " Ω：电阻必须是大于 0 Ω 的有限数", say);
}

PointTable readPointTable(std::istream& in, std::string_view xWhat, std::string_view yWhat,
                          const Say& say) {
    PointTable p;
    long long lineNo = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        std::string_view v = line;
        if (lineNo == 1 && v.substr(0, 3) == "\xEF\xBB\xBF") v.remove_prefix(3);  // a BOM
        v = trim(v.substr(0, v.find('#')));
        if (v.empty()) continue;
        const std::size_t comma = v.find(',');
        const std::string_view a = trim(v.substr(0, comma));
        const std::string_view b =
            comma == std::string_view::npos ? std::string_view{} : trim(v.substr(comma + 1));
        if (comma == std::string_view::npos || !isNumberText(a) || !isNumberText(b)) {
            const std::string n = std::to_string(lineNo);
            throw usage("line " + n + " '" + std::string(v) + "': write the " + std::string(xWhat) +
                            " and the " + std::string(yWhat) +
                            " as two numbers with a comma between them, '.' as the decimal point",
                        "第 " + n + " 行“" + std::string(v) + "”：应写作" + std::string(xWhat) +
                            "和" + std::string(yWhat) + "两个数，以逗号分隔，小数点用“.”",
                        say);
        }
        p.x.push_back(ui::boxValue(a));
        p.y.push_back(ui::boxValue(b));
        p.lines.push_back(lineNo);
    }
    return p;
}

// ---- Callendar–Van Dusen coefficients from points ------------------------------------------

std::string coefficientText(double v) {
    return core::formatSignificant(v, kCoefficientDigits);
}

std::vector<FitPoint> residuals(const core::Sensor& s, const PointTable& points) {
    std::vector<FitPoint> out;
    for (std::size_t i = 0; i < points.x.size(); ++i) {
        const double t = points.x[i], r = points.y[i];
        const double fit = core::reading(s, t);
        const double residual = r - fit;
        out.push_back({t, r, fit, residual, residual / core::slope(s, t) * 1000});
    }
    return out;
}

double largestResidualMk(const std::vector<FitPoint>& points) {
    double largest = 0;
    for (const FitPoint& p : points) largest = std::max(largest, std::fabs(p.residualMk));
    return largest;
}

std::string unknownsText(bool r0Fixed, bool cFitted, const Say& say) {
    if (r0Fixed) return cFitted ? say("A, B and C", "A、B、C") : say("A and B", "A、B");
    return cFitted ? say("R0, A, B and C", "R0、A、B、C") : say("R0, A and B", "R0、A、B");
}

CvdReport cvdReport(const PointTable& points, std::optional<double> r0Ohm, const Say& say) {
    std::vector<core::CalibrationPoint> given;
    for (std::size_t i = 0; i < points.x.size(); ++i) given.push_back({points.x[i], points.y[i]});
    const core::CvdFitOrError f = core::fitCallendarVanDusen(given, r0Ohm);
    const std::string unknowns = unknownsText(f.fit.r0Fixed, f.fit.cFitted, say);
    const std::string needed = std::to_string(f.needed);
    const auto at = [&](std::size_t i) { return points.where(i, say); };
    switch (f.error) {
        case core::CvdFitError::none:
            break;
        case core::CvdFitError::temperatureOutOfRange:
            throw usage(at(f.point) + ": temperature " + text(given[f.point].temperatureC) +
                            " °C is outside -200 °C to 850 °C, the range of the "
                            "Callendar-Van Dusen equation",
                        at(f.point) + "：温度 " + text(given[f.point].temperatureC) +
                            "℃ 超出 Callendar-Van Dusen 方程的范围 -200℃～850℃",
                        say);
        case core::CvdFitError::resistanceNotValid:
            throw resistanceRefused(at(f.point), given[f.point].resistanceOhm, say);
        case core::CvdFitError::tooFewPoints:
            throw usage("fitting " + unknowns + " takes at least " + needed +
                            " points (C only when a point lies below 0 °C); there " +
                            (given.size() == 1 ? "is " : "are ") + countText(given.size()),
                        "拟合 " + unknowns + " 至少需要 " + needed +
                            " 个点（有低于 0℃ 的点时才拟合 C）；现有 " + countText(given.size()) +
                            " 个",
                        say);
        case core::CvdFitError::conflictingPoints: {
            const std::string t = text(given[f.point].temperatureC);
            throw usage(at(f.point) + " and " + at(f.other) + ": two resistances at " + t +
                            " °C; with as many points as unknowns (" + unknowns +
                            ") the curve passes through every point, and cannot through both",
                        at(f.point) + "与" + at(f.other) + "：" + t +
                            "℃ 有两个电阻值；点数与未知数（" + unknowns +
                            "）一样多时曲线通过每个点，不能同时通过这两个点",
                        say);
        }
        case core::CvdFitError::tooFewTemperatures: {
            std::set<double> ts(points.x.begin(), points.x.end());
            throw usage("the points lie at " + countText(ts.size()) +
                            " different temperatures; fitting " + unknowns + " takes " + needed,
                        "这些点只在 " + countText(ts.size()) + " 个不同的温度上；拟合 " + unknowns +
                            " 需要 " + needed + " 个",
                        say);
        }
        case core::CvdFitError::singular:
            throw usage("the points do not determine " + unknowns + ": the fit is singular",
                        "这些点不能确定 " + unknowns + "：拟合是奇异的", say);
        case core::CvdFitError::curve:
            if (r0Ohm && !core::platinumSensor(*r0Ohm).ok())
                throw Failure{kExitUsage,
                              "R0 " + text(*r0Ohm) + " Ω: " + sensorError(f.sensorError, say)};
            throw Failure{kExitUsage, say("the coefficients fitted to the points are no "
                                          "platinum curve: ",
                                          "按这些点拟合的系数不是铂电阻的曲线：") +
                                          sensorError(f.sensorError, say)};
    }

    CvdReport report;
    report.fit = f.fit;
    if (!f.fit.r0Fixed) report.fit.r0Ohm = rounded(f.fit.r0Ohm);
    report.fit.cvd = {rounded(f.fit.cvd.a), rounded(f.fit.cvd.b), rounded(f.fit.cvd.c)};
    const core::CallendarConstants k = core::callendarConstants(report.fit.cvd);
    report.constants = {rounded(k.alpha), rounded(k.delta), rounded(k.beta)};
    const core::SensorOrError made = core::platinumSensor(report.fit.r0Ohm, report.fit.cvd);
    if (!made.ok())  // the rounding of a curve at the very edge of the check
        throw Failure{kExitUsage, say("the coefficients fitted to the points are no platinum "
                                      "curve: ",
                                      "按这些点拟合的系数不是铂电阻的曲线：") +
                                      sensorError(made.error, say)};
    report.sensor = made.sensor;
    report.points = residuals(report.sensor, points);
    report.maxResidualMk = largestResidualMk(report.points);
    return report;
}

// ---- A thermocouple's own deviation ----------------------------------------------------------

core::ThermocoupleDeviation thermocoupleDeviation(const core::Sensor& s, const PointTable& points,
                                                  std::optional<int> degree, const Say& say) {
    if (!s.isThermocouple()) {
        const std::string code = core::sensorCode(s);
        throw usage(
            "--deviation applies to thermocouples only; " + code + " is a resistance thermometer",
            "--deviation 只用于热电偶；" + code + " 是热电阻", say);
    }
    std::vector<core::DeviationPoint> given;
    for (std::size_t i = 0; i < points.x.size(); ++i) given.push_back({points.x[i], points.y[i]});
    const core::DeviationOrError d = core::fitDeviation(s.type, given, degree);
    const auto at = [&](std::size_t i) { return points.where(i, say); };
    const std::string degreeText = std::to_string(degree.value_or(d.deviation.degree));
    switch (d.error) {
        case core::DeviationError::none:
            return d.deviation;
        case core::DeviationError::noPoints:
            throw usage("the deviation has no points: give lines t,dE (deg C, uV)",
                        "偏差没有数据点：应给出 t,dE 行（℃，µV）", say);
        case core::DeviationError::temperatureOutOfRange:
            throw Failure{kExitUsage,
                          temperatureOutOfRange(at(d.point) + say(": temperature", "：温度"),
                                                text(given[d.point].temperatureC), s, say)};
        case core::DeviationError::deviationNotValid:
            throw usage(at(d.point) + ": deviation " + text(given[d.point].deviationUv) +
                            " µV: a deviation must be a finite number within ±100000 µV",
                        at(d.point) + "：偏差 " + text(given[d.point].deviationUv) +
                            " µV：偏差必须是 ±100000 µV 以内的有限数",
                        say);
        case core::DeviationError::degreeOutOfRange:
            throw usage("--degree " + degreeText + ": a deviation's degree is 0 to 3",
                        "--degree " + degreeText + "：偏差多项式的次数为 0～3", say);
        case core::DeviationError::tooFewTemperatures: {
            std::set<double> ts(points.x.begin(), points.x.end());
            const std::string needed = std::to_string(d.needed);
            throw usage("a deviation of degree " + degreeText + " takes points at " + needed +
                            " different temperatures; the points lie at " + countText(ts.size()),
                        degreeText + " 次偏差多项式需要 " + needed + " 个不同温度上的点；现有 " +
                            countText(ts.size()) + " 个",
                        say);
        }
        case core::DeviationError::singular:
            throw usage("the points do not determine a deviation of degree " + degreeText +
                            ": the fit is singular",
                        "这些点不能确定 " + degreeText + " 次偏差多项式：拟合是奇异的", say);
        case core::DeviationError::notIncreasing: {
            const std::string t = core::formatTrimmed(d.temperatureC, 3);
            throw usage("with this deviation the EMF of the " + sensorName(s, say) + " falls at " +
                            t +
                            " °C, within the calibrated temperatures: no temperature "
                            "could be read from it",
                        "按此偏差，" + sensorName(s, say) + " 的热电势在校准温度内的 " + t +
                            "℃ 处下降：无法由它读出温度",
                        say);
        }
    }
    return d.deviation;
}

CalibratedThermocouple calibratedThermocouple(const core::Sensor& s,
                                              const core::ThermocoupleDeviation& d,
                                              const std::optional<std::string>& cj,
                                              const Say& say) {
    const std::string what = say("reference temperature", "参考端温度");
    CalibratedThermocouple c{s, d, cj ? number(*cj, what, say) : 0.0, 0};
    c.emfAtT0 = core::correctedEmf(d, c.t0);
    if (core::outOfRange(c.emfAtT0))
        throw Failure{kExitOutOfRange, temperatureOutOfRange(what, cj.value_or("0"), s, say)};
    return c;
}

double calibratedEmf(const CalibratedThermocouple& c, double t) {
    const double e = core::correctedEmf(c.deviation, t);
    return core::outOfRange(e) ? core::kOutOfRange : e - c.emfAtT0;
}

core::ExactTemperature calibratedTemperature(const CalibratedThermocouple& c, double emf) {
    return core::correctedTemperature(c.deviation, emf + c.emfAtT0);
}

std::string calibratedReadingRange(const CalibratedThermocouple& c, const Say& say) {
    core::Limits l = core::correctedReadingLimits(c.deviation);
    l.lo -= c.emfAtT0;
    l.hi -= c.emfAtT0;
    const std::string t0 = core::formatTrimmed(c.t0, 15);
    return rangeText(l, 3, say(" mV", "mV"), say) +
           say(" with the reference junction at " + t0 + say.celsius() +
                   " and the thermocouple's deviation",
               "（参考端 " + t0 + say.celsius() + "，计入热电偶自身偏差）");
}

std::string extrapolationNote(const core::ThermocoupleDeviation& d, double lo, double hi,
                              std::string_view what, const Say& say) {
    if (!core::extrapolated(d, lo) && !core::extrapolated(d, hi)) return "";
    const bool one = d.calibratedLo == d.calibratedHi;
    const std::string range =
        one ? core::formatTrimmed(d.calibratedLo, 3) + say.celsius()
            : rangeText({d.calibratedLo, d.calibratedHi, true}, 3, say.celsius(), say);
    return say("note: " + std::string(what) + " lies outside the calibrated temperature" +
                   (one ? " " : "s ") + range + ": the deviation is extrapolated there",
               "注意：" + std::string(what) + " 在校准温度 " + range + " 之外：该处的偏差为外推值");
}

}  // namespace kelvora::answers
