#include "app/cli/budget_command.hpp"

#include <algorithm>
#include <cmath>
#include <istream>

#include "answers/budget_sheet.hpp"
#include "app/cli/commands.hpp"

namespace kelvora::cli {

namespace {

std::optional<double> numberOption(const std::optional<std::string>& text, std::string_view name,
                                   const Say& say) {
    if (!text) return std::nullopt;
    return number(*text, name, say);
}

std::vector<std::string> split(const std::string& s, char at) {
    std::vector<std::string> parts(1);
    for (const char c : s) {
        if (c == at)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

LeadOptions leadOptions(const LeadTexts& t, const Say& say) {
    LeadOptions o;
    o.wires = numberOption(t.wires, "--wires", say);
    o.ohms = numberOption(t.ohms, "--ohms", say);
    o.length = numberOption(t.length, "--length", say);
    o.area = numberOption(t.area, "--area", say);
    o.awg = numberOption(t.awg, "--awg", say);
    o.at = numberOption(t.at, "--at", say).value_or(20);
    o.imbalance = numberOption(t.imbalance, "--imbalance", say).value_or(0);
    return o;
}

// ---- Printing ------------------------------------------------------------------------------

std::string significant(double v) {
    return core::formatSignificant(v, 6);
}

std::string divisorText(const BudgetRow& r, bool symbols) {
    switch (r.contribution.distribution) {
        case core::Distribution::rectangular:
            return symbols ? "√3" : significant(r.divisor);
        case core::Distribution::triangular:
            return symbols ? "√6" : significant(r.divisor);
        default:
            return significant(r.divisor);
    }
}

std::string unitSymbol(core::Unit u) {
    switch (u) {
        case core::Unit::celsius:
            return "°C";
        case core::Unit::millivolt:
            return "mV";
        case core::Unit::microvolt:
            return "µV";
        case core::Unit::ohm:
            return "Ω";
    }
    return "";
}

// The columns of a row as csv and json give them, in the csv's order.
std::vector<std::string> cells(const BudgetRow& r) {
    const core::Contribution& c = r.contribution;
    return {r.name,
            significant(c.value),
            std::string(core::unitName(c.unit)),
            distributionText(c),
            divisorText(r, false),
            significant(c.sensitivity),
            core::formatFixed(r.uC, 4),
            core::formatFixed(r.sharePct, 1)};
}

constexpr const char* kColumns[] = {"contribution", "value",    "unit",
                                    "distribution", "divisor",  "sensitivity_C_per_unit",
                                    "u_C",          "share_pct"};

// Columns on a terminal: each as wide as its widest cell, in characters (a UTF-8 sequence is
// one; the wide CJK characters of the Chinese header two).
std::size_t width(const std::string& s) {
    std::size_t w = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) == 0x80) continue;
        w += c >= 0xE3 && c <= 0xED ? 2 : 1;  // U+3000…U+DFFF: CJK
    }
    return w;
}

void printText(const BudgetSheet& b, LineWriter& out, const Say& say) {
    std::vector<std::vector<std::string>> table;
    table.push_back({say("contribution", "分量"), say("value", "数值"), say("unit", "单位"),
                     say("distribution", "分布"), say("divisor", "除数"),
                     say("sensitivity °C/unit", "灵敏系数 ℃/单位"), say("u_i °C", "u_i ℃"),
                     say("share %", "占比 %")});
    for (const BudgetRow& r : b.rows) {
        std::vector<std::string> c = cells(r);
        c[2] = unitSymbol(r.contribution.unit);
        c[4] = divisorText(r, true);
        table.push_back(c);
    }
    std::vector<std::size_t> widths(table[0].size(), 0);
    for (const auto& line : table)
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], width(line[i]));
    for (const auto& line : table) {
        std::string text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            text += line[i];
            if (i + 1 < line.size()) text += std::string(widths[i] - width(line[i]) + 2, ' ');
        }
        out.put(text + '\n');
    }
    const std::string celsius = say.celsius();
    out.put("u_c = " + core::formatFixed(b.uC, 4) + celsius + '\n');
    out.put("k = " + core::formatSignificant(b.k) + '\n');
    out.put("U = " + core::formatFixed(b.expandedC, 3) + celsius + '\n');
    for (const Correction& c : b.corrections) {
        out.put(say("correction (" + c.name + ", a known bias, in no u_i) = ",
                    "修正值（" + c.name + "，已知偏差，不计入 u_i）= ") +
                core::formatFixed(c.valueC, 3) + celsius + '\n');
    }
}

void printCsv(const BudgetSheet& b, LineWriter& out) {
    std::string header;
    for (const char* c : kColumns) (header += header.empty() ? "" : ",") += c;
    out.put(header + '\n');
    for (const BudgetRow& r : b.rows) {
        std::string line;
        for (const std::string& c : cells(r)) (line += line.empty() ? "" : ",") += c;
        out.put(line + '\n');
    }
    out.put("combined," + core::formatFixed(b.uC, 4) + '\n');
    out.put("coverage," + core::formatSignificant(b.k) + '\n');
    out.put("expanded," + core::formatFixed(b.expandedC, 3) + '\n');
    for (const Correction& c : b.corrections)
        out.put("correction_C," + core::formatFixed(c.valueC, 3) + '\n');
}

std::string quoted(const std::string& s) {
    return '"' + s + '"';  // names hold no quote, backslash or control character
}

void printJson(const BudgetSheet& b, LineWriter& out) {
    std::string j = "{\"sensor\": " + quoted(core::sensorCode(b.sensor)) +
                    ", \"t\": " + core::formatSignificant(b.t) + ", \"rows\": [";
    for (std::size_t n = 0; n < b.rows.size(); ++n) {
        const std::vector<std::string> c = cells(b.rows[n]);
        j += n ? ",\n" : "\n";
        j += "{";
        for (std::size_t i = 0; i < c.size(); ++i) {
            const bool text = i == 0 || i == 2 || i == 3;
            j += (i ? ", " : "") + quoted(kColumns[i]) + ": " + (text ? quoted(c[i]) : c[i]);
        }
        j += "}";
    }
    j += "\n], \"u_c\": " + core::formatFixed(b.uC, 4) +
         ", \"k\": " + core::formatSignificant(b.k) +
         ", \"U\": " + core::formatFixed(b.expandedC, 3) + ", \"corrections\": [";
    for (std::size_t n = 0; n < b.corrections.size(); ++n) {
        j += (n ? ", " : "") + std::string("{\"contribution\": ") + quoted(b.corrections[n].name) +
             ", \"correction_C\": " + core::formatFixed(b.corrections[n].valueC, 3) + "}";
    }
    out.put(j + "]}\n");
}

}  // namespace

int leads(const LeadsCommand& o, std::istream& in, LineWriter& out, std::ostream& err,
          const Say& say) {
    const core::Sensor s = resolveSensor(o.sensor, say);
    const Leads l = resolveLeads(s, leadOptions(o.leads, say), say);
    const Convert convert = [&](std::string_view text) {
        const double t = number(text, say("temperature", "温度"), say);
        const LeadAnswer a = leadAnswer(s, t, l, say);
        return core::formatFixed(a.leadOhm, 4) + " " + core::formatFixed(a.readingOhm, 3) + " " +
               core::formatFixed(a.errorC, 3);
    };
    return convertValues(o.temp, convert, in, out, err, say);
}

int budget(const BudgetCommand& o, LineWriter& out, const Say& say) {
    const core::Sensor s = resolveSensor(o.sensor, say);
    BudgetRequest q;
    q.t = number(o.temp, say("temperature", "温度"), say);
    q.cls = o.cls;
    q.element = o.element;
    q.cjError = numberOption(o.cjError, "--cj-error", say);
    q.cj = numberOption(o.cj, say("reference temperature", "参考端温度"), say);
    q.cable = o.cable;
    q.cableAt = numberOption(o.cableAt, "--cable-at", say);
    if (o.meter) {
        const std::vector<std::string> p = split(*o.meter, ',');
        if (p.size() > 2) {
            throw usage("--meter '" + *o.meter + "': write PCT or PCT,ABS, like --meter 0.05,0.01",
                        "--meter“" + *o.meter + "”：应写作 PCT 或 PCT,ABS，如 --meter 0.05,0.01",
                        say);
        }
        q.meterPct = number(p[0], "--meter PCT", say);
        if (p.size() == 2) q.meterAbs = number(p[1], "--meter ABS", say);
    }
    if (o.leadTexts.any() && !o.leads) {
        throw usage(
            "--wires, --ohms, --length, --area, --awg, --at and --imbalance go with --leads",
            "--wires、--ohms、--length、--area、--awg、--at、--imbalance 须与 --leads 一起给出",
            say);
    }
    if (o.leads) q.leads = leadOptions(o.leadTexts, say);
    q.transmitterPct = numberOption(o.transmitter, "--transmitter", say);
    if (o.range) {
        const std::vector<std::string> p = split(*o.range, ',');
        if (p.size() != 2) {
            throw usage("--range '" + *o.range + "': write LRV,URV in °C, like --range 0,200",
                        "--range“" + *o.range + "”：应写作 LRV,URV（℃），如 --range 0,200", say);
        }
        q.rangeLow = number(p[0], "--range LRV", say);
        q.rangeHigh = number(p[1], "--range URV", say);
    }
    for (const std::string& r : o.rows) {
        const std::vector<std::string> p = split(r, ',');
        if (p.size() != 4) {
            throw usage(
                "--row '" + r + "': write NAME,VALUE,UNIT,DIST, like --row drift,0.05,C,rect",
                "--row“" + r + "”：应写作 NAME,VALUE,UNIT,DIST，如 --row drift,0.05,C,rect", say);
        }
        q.rows.push_back({p[0], number(p[1], "--row " + p[0] + " VALUE", say), p[2], p[3]});
    }
    q.k = numberOption(o.k, "--k", say).value_or(2);

    const BudgetSheet b = budgetSheet(s, q, say);
    if (o.format == "csv")
        printCsv(b, out);
    else if (o.format == "json")
        printJson(b, out);
    else
        printText(b, out, say);
    return kExitOk;
}

}  // namespace kelvora::cli
