#include "answers/loop_sheet.hpp"

#include <cmath>
#include <string_view>

#include "core/reference_junction.hpp"

namespace kelvora::answers {

namespace {

// A verdict's limit counts as met within this much of it (% of span): a found value typed
// with 3 decimals lands a few units in the last place either side of its exact error.
constexpr double kPassSlackPct = 1e-9;

void needFinite(const std::vector<double>& values, std::string_view en, std::string_view zh,
                const Say& say) {
    for (const double v : values) {
        if (!std::isfinite(v)) {
            throw usage(
                std::string(en) + ": " + core::formatFixed(v, 0) + " is not a finite number",
                std::string(zh) + "：" + core::formatFixed(v, 0) + " 不是有限的数", say);
        }
    }
}

void needOnePerRow(const std::vector<double>& values, std::size_t rows, std::string_view en,
                   std::string_view zh, const Say& say) {
    if (values.empty() || values.size() == rows) return;
    const std::string n = std::to_string(values.size()), r = std::to_string(rows);
    throw usage(std::string(en) + ": " + n + " values for " + r + " points; give one per point",
                std::string(zh) + "：给了 " + n + " 个值，测试点有 " + r + " 个；每个测试点一个值",
                say);
}

std::optional<SheetVerdict> verdictOf(const SheetQuestion& q, const std::vector<double>& values,
                                      std::size_t i, double expected) {
    if (values.empty()) return std::nullopt;
    const core::Transmitter& x = q.transmitter;
    SheetVerdict v{};
    v.value = values[i];
    v.errorPct = (v.value - expected) / (x.signal.hi - x.signal.lo) * 100;
    v.errorC = v.errorPct / 100 * (x.urv - x.lrv);
    if (q.accuracyPct) v.pass = std::fabs(v.errorPct) <= *q.accuracyPct + kPassSlackPct;
    return v;
}

// An error as the sheet shows it: taken to 1e-9 first, so that a found value typed in decimals
// whose error is a decimal tie (12.01 mA against 12 mA: 0.0625 %, held as 0.06249999…) rounds
// as written, half away from zero, like its neighbours.
std::string errorText(double v) {
    if (std::fabs(v) < 1e6) v = std::round(v * 1e9) / 1e9;
    return core::formatFixed(v, 3);
}

std::string yesNo(bool b) {
    return b ? "yes" : "no";
}

}  // namespace

core::OutputSignal signalOf(std::string_view text, const Say& say) {
    if (const std::optional<core::OutputSignal> s = core::parseSignal(trim(text))) return *s;
    const std::string t(trim(text));
    throw usage("signal '" + t +
                    "': write LO-HI and its unit, mA or V, with 0 <= LO < HI: 4-20mA (the "
                    "default), 0-20mA, 1-5V, 0-10V, 2-10V",
                "输出信号“" + t +
                    "”：应写作 LO-HI 加单位 mA 或 V，0 ≤ LO < HI：4-20mA（默认）、0-20mA、"
                    "1-5V、0-10V、2-10V",
                say);
}

core::Transmitter transmitterOf(double lrv, double urv, const core::OutputSignal& s,
                                const Say& say) {
    if (const std::optional<core::Transmitter> x = core::makeTransmitter(lrv, urv, s)) return *x;
    const std::string l = core::formatSignificant(lrv), u = core::formatSignificant(urv);
    throw usage("range " + l + "," + u +
                    ": write LRV,URV in °C, two finite numbers that differ, like 0,500 (URV "
                    "below LRV gives a falling output)",
                "量程 " + l + "," + u +
                    "：应写作 LRV,URV（℃），两个不相等的有限数，如 0,500（URV 低于 LRV 时输出"
                    "随温度下降）",
                say);
}

double finiteNumber(std::string_view text, std::string_view what, const Say& say) {
    const double v = number(text, what, say);
    if (std::isfinite(v)) return v;
    const std::string t(trim(text));
    throw usage(std::string(what) + " '" + t + "' is beyond the largest number (about 1.8e308)",
                std::string(what) + "“" + t + "”超出最大的数（约 1.8e308）", say);
}

std::vector<double> numberList(std::string_view text, std::string_view what, const Say& say) {
    std::vector<double> values;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string_view item = text.substr(start, comma - start);
        if (trim(item).empty()) {
            throw usage(std::string(what) + " '" + std::string(text) +
                            "': write the values as numbers with commas between them, like "
                            "4,8,12.02",
                        std::string(what) + "“" + std::string(text) +
                            "”：应写作以逗号分隔的数，如 4,8,12.02",
                        say);
        }
        values.push_back(finiteNumber(item, what, say));
        if (comma == std::string_view::npos) return values;
        start = comma + 1;
    }
}

std::string stateNote(const core::Transmitter& x, const core::LoopReading& r, const Say& say) {
    if (r.state == core::LoopState::inRange) return "";
    const std::string state = say(core::stateText(r.state), core::stateTextInChinese(r.state));
    if (!core::isNamur(x.signal)) {
        const std::string signal = core::signalText(x.signal);
        return say(state + " of " + signal, signal + " " + state);
    }
    return "NAMUR NE 43" + say(": ", "：") + state +
           (r.saturated ? say(", saturated (the temperature is at or beyond it)",
                              "，已饱和（温度在此或更远）")
                        : std::string());
}

std::string noTemperature(const core::Transmitter& x, const core::LoopReading& r,
                          std::string_view valueText, const Say& say) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) of "…" + std::string,
    // Say::unit's among them, once inlined here.
    std::string value(trim(valueText)), en = ": ", zh = "：";
    if (!say.zh()) value += ' ';
    value += core::unitText(x.signal.unit);
    en.append(value).append(" carries no temperature");
    zh.append(value).append(" 不对应温度");
    return stateNote(x, r, say) + say(en, zh);
}

std::vector<double> sheetPercents(std::optional<int> points, const std::vector<double>& at,
                                  bool updown) {
    std::vector<double> up;
    if (points) {
        if (*points < 2 || *points > kMaxSheetPoints) return {};
        for (int i = 0; i < *points; ++i) up.push_back(100.0 * i / (*points - 1));
    } else if (!at.empty()) {
        up = at;
    } else {
        up = {0, 25, 50, 75, 100};
    }
    if (updown)
        for (std::size_t i = up.size() - 1; i-- > 0;) up.push_back(up[i]);
    return up;
}

Sheet loopSheet(const SheetQuestion& q, const Say& say) {
    const core::Sensor& s = q.sensor;
    const core::Transmitter& x = q.transmitter;
    const std::size_t n = q.percents.size();
    if (n == 0) throw usage("a sheet needs at least one point", "测试点至少要有一个", say);
    needFinite(q.percents, "points", "测试点", say);
    needFinite({q.cjC}, "cold junction", "冷端温度", say);
    needFinite(q.found, "as found", "校前值", say);
    needFinite(q.left, "as left", "校后值", say);
    needOnePerRow(q.found, n, "as found", "校前值", say);
    needOnePerRow(q.left, n, "as left", "校后值", say);
    if (q.accuracyPct && !(std::isfinite(*q.accuracyPct) && *q.accuracyPct >= 0)) {
        throw usage("accuracy: write it as ± % of span, a number 0 or above, like 0.1",
                    "准确度：以量程的 ± % 给出，不小于 0 的数，如 0.1", say);
    }

    double emfAtCj = 0;
    if (s.isThermocouple()) {
        emfAtCj = core::reading(s, q.cjC);
        if (core::outOfRange(emfAtCj)) {
            throw Failure{kExitOutOfRange,
                          temperatureOutOfRange(say("cold junction temperature", "冷端温度"),
                                                core::formatSignificant(q.cjC), s, say)};
        }
    }

    Sheet sheet{{}, s.isThermocouple(), true};
    sheet.rows.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        SheetRow row{};
        row.percent = q.percents[i];
        row.temperatureC = x.lrv + row.percent / 100 * (x.urv - x.lrv);
        const double reading = core::reading(s, row.temperatureC);
        if (core::outOfRange(reading)) {
            const std::string pct = core::formatTrimmed(row.percent, 6);
            throw Failure{kExitOutOfRange,
                          temperatureOutOfRange(say("test point at " + pct + " % of span:",
                                                    "量程 " + pct + "% 处的测试点温度"),
                                                core::formatTrimmed(row.temperatureC, 6), s, say)};
        }
        row.input = s.isThermocouple() ? reading - emfAtCj : reading;
        const core::ExpectedOutput e = core::expectedOutput(x, row.temperatureC);
        row.expected = e.value;
        row.saturated = e.saturated;
        row.found = verdictOf(q, q.found, i, row.expected);
        row.left = verdictOf(q, q.left, i, row.expected);
        for (const std::optional<SheetVerdict>& v : {row.found, row.left})
            if (v && v->pass == false) sheet.allPass = false;
        sheet.rows.push_back(row);
    }
    return sheet;
}

std::vector<std::string> sheetColumns(const SheetQuestion& q) {
    const std::string unit(core::unitText(q.transmitter.signal.unit));
    std::vector<std::string> c{"percent", "temperature_C",
                               q.sensor.isThermocouple() ? "input_mV" : "input_ohm",
                               "expected_" + unit, "saturated"};
    for (const auto& [values, name] : {std::pair{&q.found, "found"}, std::pair{&q.left, "left"}}) {
        if (values->empty()) continue;
        const std::string p(name);
        c.insert(c.end(), {p + "_" + unit, p + "_error_pct", p + "_error_C"});
        if (q.accuracyPct) c.push_back(p + "_pass");
    }
    return c;
}

std::vector<std::string> sheetCells(const SheetQuestion& q, const SheetRow& row) {
    std::vector<std::string> c{
        core::formatTrimmed(row.percent, 6), core::formatFixed(row.temperatureC, 2),
        core::formatFixed(row.input, 3), core::formatFixed(row.expected, 3), yesNo(row.saturated)};
    for (const std::optional<SheetVerdict>& v : {row.found, row.left}) {
        if (!v) continue;
        c.insert(c.end(),
                 {core::formatFixed(v->value, 3), errorText(v->errorPct), errorText(v->errorC)});
        if (q.accuracyPct) c.push_back(yesNo(v->pass.value_or(false)));
    }
    return c;
}

}  // namespace kelvora::answers
