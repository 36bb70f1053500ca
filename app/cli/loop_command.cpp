#include "app/cli/loop_command.hpp"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <vector>

#include "answers/loop_sheet.hpp"
#include "app/cli/commands.hpp"
#include "core/transmitter.hpp"

namespace kelvora::cli {

namespace {

core::Transmitter transmitterOptions(const std::string& range,
                                     const std::optional<std::string>& signal, const Say& say) {
    const core::OutputSignal s = signalOf(signal.value_or("4-20mA"), say);
    const std::vector<double> ends = numberList(range, "--range", say);
    if (ends.size() != 2) {
        throw usage("--range '" + range +
                        "': write LRV,URV in °C, like --range 0,500 (URV below LRV gives a "
                        "falling output)",
                    "--range“" + range +
                        "”：应写作 LRV,URV（℃），如 --range 0,500（URV 低于 LRV "
                        "时输出随温度下降）",
                    say);
    }
    return transmitterOf(ends[0], ends[1], s, say);
}

// Columns shown on a terminal: two for East Asian wide characters, one for the others.
std::size_t displayWidth(std::string_view s) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = n == 1 ? c : c & (0xFF >> (n + 1));
        for (std::size_t k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                          (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                          (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                          (cp >= 0xFFE0 && cp <= 0xFFE6) || cp >= 0x20000;
        width += wide ? 2 : 1;
        i += n;
    }
    return width;
}

// The text table's heading of a csv column.
std::string heading(const std::string& column, const Say& say) {
    struct Name {
        const char *column, *en, *zh;
    };
    static constexpr Name kFixed[] = {
        {"percent", "% of span", "量程 %"},          {"temperature_C", "temperature °C", "温度 ℃"},
        {"input_mV", "input mV", "输入 mV"},         {"input_ohm", "input Ω", "输入 Ω"},
        {"expected_mA", "expected mA", "应输出 mA"}, {"expected_V", "expected V", "应输出 V"},
        {"saturated", "saturated", "饱和"},
    };
    for (const Name& n : kFixed)
        if (column == n.column) return say(n.en, n.zh);
    // found_… and left_…
    const bool found = column.rfind("found_", 0) == 0;
    const std::string rest = column.substr(column.find('_') + 1);
    const std::string who = say(found ? "as found" : "as left", found ? "校前" : "校后");
    if (rest == "error_pct") return who + say(" error %", "误差 %");
    if (rest == "error_C") return who + say(" error °C", "误差 ℃");
    if (rest == "pass") return who + say(" pass", "合格");
    return who + " " + rest;  // the unit
}

// A cell as the text table shows it: yes and no in the user's language.
std::string shown(const std::string& column, const std::string& cell, const Say& say) {
    if (cell != "yes" && cell != "no") return cell;
    const bool yes = cell == "yes";
    if (column == "saturated") return say(cell, yes ? "是" : "否");
    return say(yes ? "pass" : "FAIL", yes ? "合格" : "不合格");
}

void printText(const answers::SheetQuestion& q, const answers::Sheet& sheet,
               const std::vector<std::string>& columns, LineWriter& out, const Say& say) {
    const core::Transmitter& x = q.transmitter;
    const core::Sensor& s = q.sensor;
    const auto celsius = [&](double t) { return core::formatSignificant(t) + say.celsius(); };
    std::string title = say("Loop check of ", "回路校验：") + sensorName(s, say) +
                        say(", range " + celsius(x.lrv) + " to " + celsius(x.urv) + ", signal ",
                            "，量程 " + celsius(x.lrv) + "～" + celsius(x.urv) + "，输出 ") +
                        core::signalText(x.signal);
    if (s.isThermocouple()) title += say(", cold junction ", "，冷端 ") + celsius(q.cjC);
    const std::string accuracy =
        q.accuracyPct ? "±" + core::formatSignificant(*q.accuracyPct) + say(" % of span", "% 量程")
                      : "";
    if (q.accuracyPct) title += say(", accuracy ", "，准确度 ") + accuracy;
    out.put(title + "\n");

    std::vector<std::vector<std::string>> lines{{}};
    for (const std::string& c : columns) lines[0].push_back(heading(c, say));
    for (const answers::SheetRow& r : sheet.rows) {
        const std::vector<std::string> cells = sheetCells(q, r);
        lines.emplace_back();
        for (std::size_t i = 0; i < cells.size(); ++i)
            lines.back().push_back(shown(columns[i], cells[i], say));
    }
    std::vector<std::size_t> width(columns.size(), 0);
    for (const auto& line : lines)
        for (std::size_t i = 0; i < line.size(); ++i)
            width[i] = std::max(width[i], displayWidth(line[i]));
    for (const auto& line : lines) {
        std::string text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            text += std::string(width[i] - displayWidth(line[i]) + (i == 0 ? 0 : 2), ' ');
            text += line[i];
        }
        out.put(text + "\n");
    }

    if (!q.accuracyPct) return;
    const std::string n = std::to_string(sheet.rows.size());
    for (const bool found : {true, false}) {
        if ((found ? q.found : q.left).empty()) continue;
        const std::size_t failed = static_cast<std::size_t>(std::count_if(
            sheet.rows.begin(), sheet.rows.end(),
            [&](const answers::SheetRow& r) { return !*(found ? r.found : r.left)->pass; }));
        const std::string who =
            say(found ? "as found: " : "as left: ", found ? "校前：" : "校后：");
        const std::string f = std::to_string(failed);
        out.put(who +
                (failed == 0 ? say("all " + n + " points within " + accuracy,
                                   n + " 个测试点均在 " + accuracy + " 以内")
                             : say(f + " of " + n + " points beyond " + accuracy,
                                   n + " 个测试点中 " + f + " 个超出 " + accuracy)) +
                "\n");
    }
}

void printCsv(const answers::SheetQuestion& q, const answers::Sheet& sheet,
              const std::vector<std::string>& columns, LineWriter& out) {
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (const std::string& c : cells) (text += text.empty() ? "" : ",") += c;
        out.put(text + "\n");
    };
    line(columns);
    for (const answers::SheetRow& r : sheet.rows) line(sheetCells(q, r));
}

void printJson(const answers::SheetQuestion& q, const answers::Sheet& sheet,
               const std::vector<std::string>& columns, LineWriter& out) {
    const core::Transmitter& x = q.transmitter;
    out.put("{\"sensor\": \"" + core::sensorCode(q.sensor) + "\", \"range\": [" +
            core::formatSignificant(x.lrv) + ", " + core::formatSignificant(x.urv) +
            "], \"signal\": \"" + core::signalText(x.signal) +
            "\", \"cj\": " + (q.sensor.isThermocouple() ? core::formatSignificant(q.cjC) : "null") +
            ", \"rows\": [\n");
    for (std::size_t k = 0; k < sheet.rows.size(); ++k) {
        const std::vector<std::string> cells = sheetCells(q, sheet.rows[k]);
        std::string text = "{";
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const std::string& c = cells[i];
            text += (i == 0 ? "\"" : ", \"") + columns[i] + "\": " +
                    (c == "yes"  ? "true"
                     : c == "no" ? "false"
                                 : c);
        }
        out.put(text + (k + 1 < sheet.rows.size() ? "},\n" : "}\n"));
    }
    out.put("]}\n");
}

}  // namespace

int loop(const LoopOptions& o, std::istream& in, LineWriter& out, std::ostream& err,
         const Say& say) {
    const core::Transmitter x = transmitterOptions(o.range, o.signal, say);
    // As Say::unit gives it, which GCC 12 at -O3 warns falsely of (-Wrestrict) when inlined here.
    std::string unit = say.zh() ? "" : " ";
    unit += core::unitText(x.signal.unit);
    Convert convert;
    if (!o.reverse) {
        convert = [&, digits = o.digits.value_or(3)](std::string_view text) {
            const double t = finiteNumber(text, say("temperature", "温度"), say);
            return core::formatFixed(core::output(x, t), digits);
        };
    } else {
        convert = [&, digits = o.digits.value_or(2)](std::string_view text) {
            const core::LoopReading r =
                core::readOutput(x, finiteNumber(text, say("output", "输出"), say));
            const std::string value = std::string(trim(text)) + unit, note = stateNote(x, r, say);
            if (!core::hasTemperature(r.state))
                throw Failure{kExitOutOfRange, noTemperature(x, r, text, say)};
            if (!note.empty()) report(err, value + say(": ", "：") + note);
            return core::formatFixed(r.temperatureC, digits);
        };
    }
    return convertValues(o.value, convert, in, out, err, say);
}

int check(const CheckOptions& o, LineWriter& out, const Say& say) {
    answers::SheetQuestion q;
    q.sensor = resolveSensor(o.sensor, say);
    noReferenceFor(q.sensor, o.cj, say);
    q.transmitter = transmitterOptions(o.range, o.signal, say);
    if (o.points && o.at) {
        throw usage("give the points one way: --points N or --at P1,P2,…",
                    "测试点只能给一种：--points N 或 --at P1,P2,…", say);
    }
    std::optional<int> points;
    if (o.points) {
        const double n = number(*o.points, "--points", say);
        if (!(n >= 2 && n <= answers::kMaxSheetPoints && n == std::floor(n))) {
            throw usage("--points " + std::string(trim(*o.points)) +
                            ": a whole number of points from 2 to " +
                            std::to_string(answers::kMaxSheetPoints) + ", like --points 11",
                        "--points " + std::string(trim(*o.points)) + "：测试点数应为 2 到 " +
                            std::to_string(answers::kMaxSheetPoints) + " 的整数，如 --points 11",
                        say);
        }
        points = static_cast<int>(n);
    }
    const std::vector<double> at = o.at ? numberList(*o.at, "--at", say) : std::vector<double>{};
    q.percents = answers::sheetPercents(points, at, o.updown);
    if (o.cj) q.cjC = finiteNumber(*o.cj, say("cold junction temperature", "冷端温度"), say);
    if (o.found) q.found = numberList(*o.found, "--found", say);
    if (o.left) q.left = numberList(*o.left, "--left", say);
    if (o.accuracy) q.accuracyPct = finiteNumber(*o.accuracy, "--accuracy", say);

    const answers::Sheet sheet = answers::loopSheet(q, say);
    const std::vector<std::string> columns = answers::sheetColumns(q);
    if (o.format == "csv")
        printCsv(q, sheet, columns, out);
    else if (o.format == "json")
        printJson(q, sheet, columns, out);
    else
        printText(q, sheet, columns, out, say);
    return sheet.allPass ? kExitOk : answers::kExitCheckFailed;
}

}  // namespace kelvora::cli
