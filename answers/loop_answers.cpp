#include "answers/loop_answers.hpp"

#include <cmath>
#include <optional>
#include <utility>

#include "answers/loop_sheet.hpp"
#include "core/conversion.hpp"
#include "core/reference_junction.hpp"
#include "core/transmitter.hpp"

namespace kelvora::answers {

namespace {

using core::LoopState;

// The reverse question's states, as the view names them.
std::string_view stateName(LoopState s) {
    switch (s) {
        case LoopState::failureLow:
            return "故障（低）";
        case LoopState::notMeasurementLow:
        case LoopState::notMeasurementHigh:
            return "非测量值";
        case LoopState::belowRange:
            return "低于量程";
        case LoopState::inRange:
            return "量程内";
        case LoopState::aboveRange:
            return "高于量程";
        case LoopState::failureHigh:
            return "故障（高）";
    }
    return "";
}

// The transmitter of the range and signal fields; none, with the range's note, when they
// give none.
std::optional<core::Transmitter> transmitterOfFields(const LoopQuestion& q, LoopAnswers& a) {
    const std::optional<core::OutputSignal> signal = core::parseSignal(q.signal);
    if (!signal) {
        a.rangeNote = "未知的输出信号";
        return std::nullopt;
    }
    a.unit = core::unitText(signal->unit);
    std::string lrvNote, urvNote;
    const std::optional<double> lrv = fieldNumber(q.lrvC, std::nullopt, lrvNote);
    const std::optional<double> urv = fieldNumber(q.urvC, std::nullopt, urvNote);
    if (!lrvNote.empty() || !urvNote.empty()) {
        a.rangeNote = lrvNote.empty() ? "量程上限" + urvNote : "量程下限" + lrvNote;
        return std::nullopt;
    }
    if (!lrv || !urv) return std::nullopt;  // still being typed
    const std::optional<core::Transmitter> x = core::makeTransmitter(*lrv, *urv, *signal);
    if (!x) a.rangeNote = *lrv == *urv ? "量程下限与上限不能相等" : "量程的两端应为有限的数";
    return x;
}

void reverse(const core::Transmitter& x, std::string_view text, LoopAnswers& a) {
    const std::optional<double> v = fieldNumber(text, std::nullopt, a.outputNote);
    if (!v) return;
    if (!std::isfinite(*v)) {
        a.outputNote = "应为有限的数";
        return;
    }
    const core::LoopReading r = core::readOutput(x, *v);
    a.outputState = stateName(r.state);
    if (core::hasTemperature(r.state)) a.outputTemperatureC = core::formatFixed(r.temperatureC, 2);
    if (r.saturated) a.outputAbout = "输出已饱和：温度在此值或更远处";
}

// The points' percentages of span: none when `points` is neither a count nor a list of
// numbers (the page offers only those).
std::vector<double> percentsOf(std::string_view points, bool updown) {
    try {
        const std::vector<double> p = numberList(points, "", Say(true));
        if (p.size() > 1) return sheetPercents(std::nullopt, p, updown);
        if (p[0] != std::floor(p[0]) || p[0] > kMaxSheetPoints) return {};
        return sheetPercents(static_cast<int>(p[0]), {}, updown);
    } catch (const Failure&) {
        return {};
    }
}

// The sheet's cells, row by row, as kelvora-cli check prints them. The found values typed so
// far go to the sheet with each blank row's own expected output in its place, whose error is
// then not shown: a row's error and verdict depend on its own value only, so the rows typed
// show what kelvora-cli check gives once every row is.
void fillSheet(SheetQuestion& q, const std::vector<std::optional<double>>& found, LoopAnswers& a) {
    const Say say(true);
    Sheet sheet;
    try {
        sheet = loopSheet(q, say);
        bool any = false;
        for (std::size_t i = 0; i < found.size(); ++i) {
            q.found.push_back(found[i].value_or(sheet.rows[i].expected));
            any = any || found[i];
        }
        if (any) sheet = loopSheet(q, say);
    } catch (const Failure& f) {
        // Out of the sensor's range: the cold junction, or a point of the range.
        const bool junction =
            q.sensor.isThermocouple() && core::outOfRange(core::reading(q.sensor, q.cjC));
        (junction ? a.cjNote : a.rangeNote) = f.message;
        return;
    }
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        const std::vector<std::string> cells = sheetCells(q, sheet.rows[i]);
        LoopRow& r = a.rows[i];
        r.percent = cells[0];
        r.temperatureC = cells[1];
        r.input = cells[2];
        r.expected = cells[3];
        r.saturated = sheet.rows[i].saturated;
        if (!found[i]) continue;
        r.errorPct = cells[6];
        r.errorC = cells[7];
        if (q.accuracyPct) r.verdict = *sheet.rows[i].found->pass ? "合格" : "不合格";
    }
}

}  // namespace

LoopAnswers loopAnswer(const LoopQuestion& q) {
    LoopAnswers a;
    const std::optional<core::Transmitter> x = transmitterOfFields(q, a);
    if (x) reverse(*x, q.output, a);

    const std::vector<double> percents = percentsOf(q.points, q.updown);
    a.rows.resize(percents.size());
    std::vector<std::optional<double>> found(percents.size());
    for (std::size_t i = 0; i < percents.size() && i < q.found.size(); ++i) {
        found[i] = fieldNumber(q.found[i], std::nullopt, a.rows[i].foundNote);
        if (!a.rows[i].foundNote.empty() || (found[i] && !std::isfinite(*found[i]))) {
            a.rows[i].foundNote = "不是数";
            found[i].reset();
        }
    }

    FieldSensor f = sensorOfFields({q.code, q.r0Ohm, q.cvdA, q.cvdB, q.cvdC});
    a.kind = f.kind;
    a.description = std::move(f.description);
    a.range = std::move(f.range);
    a.r0Placeholder = std::move(f.r0Placeholder);
    a.codeNote = std::move(f.codeNote);
    a.r0Note = std::move(f.r0Note);
    a.cvdNote = std::move(f.cvdNote);
    const std::optional<core::Sensor>& s = f.sensor;
    if (s) a.inputUnit = s->isThermocouple() ? "mV" : "Ω";

    const std::optional<double> cj =
        s && s->isThermocouple() ? fieldNumber(q.cjC, 0.0, a.cjNote) : std::optional(0.0);
    if (cj && !std::isfinite(*cj)) a.cjNote = "应为有限的数";
    const std::optional<double> accuracy = fieldNumber(q.accuracyPct, std::nullopt, a.accuracyNote);
    if (accuracy && !(std::isfinite(*accuracy) && *accuracy >= 0))
        a.accuracyNote = "应为不小于 0 的数，如 0.1";
    if (!s || !x || !a.cjNote.empty() || !a.accuracyNote.empty() || percents.empty()) return a;
    SheetQuestion sheet{.sensor = *s,
                        .transmitter = *x,
                        .cjC = *cj,
                        .percents = percents,
                        .found = {},
                        .left = {},
                        .accuracyPct = accuracy};
    try {
        fillSheet(sheet, found, a);
    } catch (const core::ConversionFault&) {
        a.rangeNote = "计算错误";  // the rows are filled only once the sheet is whole
    }
    return a;
}

}  // namespace kelvora::answers
