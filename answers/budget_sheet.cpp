#include "answers/budget_sheet.hpp"

#include <algorithm>
#include <cmath>

#include "core/reference_junction.hpp"

namespace kelvora::answers {

namespace {

Failure outOfRange(const std::string& en, const std::string& zh, const Say& say) {
    return Failure{kExitOutOfRange, say(en, zh)};
}

// A number as a message shows it: 0.5, -3, 1e+300 as its digits, inf.
std::string text(double v) {
    return core::formatSignificant(v);
}

std::string classesOf(const core::Sensor& s) {
    std::string list;
    for (int k = 0; k <= static_cast<int>(core::ToleranceClass::C); ++k) {
        const auto c = static_cast<core::ToleranceClass>(k);
        if (core::hasClass(s, c)) (list += list.empty() ? "" : " ") += core::toleranceClassName(c);
    }
    return list;
}

std::string cableNames() {
    std::string list;
    for (const core::Cable& c : core::kCables) (list += list.empty() ? "" : " ") += c.name;
    return list;
}

std::string typeLetter(core::ThermocoupleType type) {
    return core::sensorCode(core::thermocoupleSensor(type));
}

// A value that must be finite and at least 0: a half-width, a percentage, an uncertainty.
void needNotNegative(double v, const std::string& what, const Say& say) {
    if (!(std::isfinite(v) && v >= 0))
        throw usage(what + " must be a finite number, 0 or more (not " + text(v) + ")",
                    what + " 必须是不小于 0 的有限数（而非 " + text(v) + "）", say);
}

// The sensitivity at t in °C per unit; status 1 where the slope is 0 (type B near 21 °C).
double sensitivity(const core::Sensor& s, double t, core::Unit unit, const Say& say) {
    const double c = core::sensitivityCPerUnit(s, t, unit);
    if (core::outOfRange(c) || !std::isfinite(c)) {
        const std::string name = sensorName(s, say);
        throw outOfRange("the slope of " + name + " is 0 at " + text(t) +
                             " °C: a reading there tells nothing of the temperature",
                         name + " 在 " + text(t) + "℃ 的斜率为 0：此处读数反映不了温度", say);
    }
    return c;
}

BudgetRow row(std::string name, double value, core::Unit unit, core::Distribution d,
              double coverage, double sensitivityCPerUnit) {
    const core::Contribution c{value, unit, d, coverage, sensitivityCPerUnit};
    return {std::move(name), c, core::divisor(d, coverage), 0, 0};
}

// "NAME,VALUE,UNIT,DIST"'s unit and distribution, checked for sensor s.
BudgetRow customRow(const core::Sensor& s, double t, const RowOption& r, const Say& say) {
    const std::string what = "--row " + r.name;
    const auto odd = [](char c) {
        return c == ',' || c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
    };
    if (r.name.empty() || std::any_of(r.name.begin(), r.name.end(), odd)) {
        throw usage(
            "--row NAME,VALUE,UNIT,DIST: the name must not be empty nor hold a comma, "
            "a quote, a backslash or a control character",
            "--row NAME,VALUE,UNIT,DIST：名称不能为空，也不能含逗号、引号、反斜杠或控制字符", say);
    }
    needNotNegative(r.value, what + ": VALUE", say);
    const std::optional<core::Unit> unit = core::parseUnit(r.unit);
    if (!unit) {
        throw usage(what + ": unit '" + r.unit + "' is not one of C mV uV ohm",
                    what + "：单位“" + r.unit + "”不是 C mV uV ohm 之一", say);
    }
    if (*unit != core::Unit::celsius && s.isThermocouple() == (*unit == core::Unit::ohm)) {
        const std::string code = core::sensorCode(s);
        throw usage(what + ": " + code + " reads " +
                        (s.isThermocouple() ? "mV (or uV), not ohm" : "ohm, not mV or uV"),
                    what + "：" + code + " 的读数单位是" +
                        (s.isThermocouple() ? " mV（或 uV），不是 ohm" : " ohm，不是 mV 或 uV"),
                    say);
    }
    const std::string& d = r.distribution;
    const std::size_t colon = d.find(':');
    const std::optional<core::Distribution> dist = core::parseDistribution(d.substr(0, colon));
    const bool normal = dist == core::Distribution::normal;
    if (!dist || normal != (colon != std::string::npos)) {
        throw usage(what + ": distribution '" + d + "' is not one of rect, tri, normal:K, std",
                    what + "：分布“" + d + "”不是 rect、tri、normal:K、std 之一", say);
    }
    double coverage = 0;
    if (normal) {
        coverage = number(d.substr(colon + 1), what + " normal:K", say);
        if (!(std::isfinite(coverage) && coverage > 0)) {
            throw usage(what + ": normal:K needs a coverage factor K greater than 0",
                        what + "：normal:K 的包含因子 K 必须大于 0", say);
        }
    }
    return row(r.name, r.value, *unit, *dist, coverage, sensitivity(s, t, *unit, say));
}

}  // namespace

// ---- Tolerance classes ---------------------------------------------------------------------

ClassChoice resolveClass(const core::Sensor& s, const std::optional<std::string>& cls,
                         const std::optional<std::string>& element, const Say& say) {
    const std::string name = sensorName(s, say);
    const std::optional<core::ToleranceClass> c = core::parseToleranceClass(cls.value_or(""));
    if (!c) {
        throw usage("--class '" + cls.value_or("") +
                        "': one of 1 2 3 (thermocouples), AA A B C (platinum), 1 (copper)",
                    "--class“" + cls.value_or("") +
                        "”：可用 1 2 3（热电偶）、AA A B C（铂热电阻）、1（铜热电阻）",
                    say);
    }
    const bool platinum = !s.isThermocouple() && s.material == core::RtdMaterial::platinum;
    if (element && !platinum) {
        throw usage("--element applies to platinum thermometers only; " + name + " has none",
                    "--element 只用于铂热电阻；" + name + " 不分元件类型", say);
    }
    if (element && *element != "wire" && *element != "film") {
        throw usage("--element '" + *element + "': wire or film",
                    "--element“" + *element + "”：可用 wire 或 film", say);
    }
    if (!core::hasClass(s, *c)) {
        const std::string classes = classesOf(s);
        const std::string wanted(core::toleranceClassName(*c));
        if (classes.empty())
            throw usage(name + " has no tolerance classes", name + " 没有允差等级", say);
        throw usage(name + " has no tolerance class " + wanted + ": its classes are " + classes,
                    name + " 没有 " + wanted + " 级允差：可用 " + classes, say);
    }
    const core::Element e = element == "film" ? core::Element::film : core::Element::wire;
    const std::string label =
        std::string(core::toleranceClassName(*c)) +
        (platinum ? say(e == core::Element::film ? " (film)" : " (wire-wound)",
                        e == core::Element::film ? "（薄膜）" : "（绕线）")
                  : std::string());
    return {*c, e, label};
}

double classTolerance(const core::Sensor& s, double t, std::string_view tText, const ClassChoice& c,
                      const Say& say) {
    const double tol = core::tolerance(s, t, c.cls, c.element);
    if (core::outOfRange(tol)) {
        const std::string what = say("temperature", "温度"), name = sensorName(s, say);
        const std::string range =
            rangeText(*core::toleranceLimits(s, c.cls, c.element), 3, say.celsius(), say);
        const std::string value = what + " " + std::string(trim(tText)) + say.celsius();
        throw outOfRange(value + " is outside class " + c.label + " of " + name + ": " + range,
                         value + " 超出 " + name + " " + c.label + " 级允差的范围：" + range, say);
    }
    return tol;
}

// ---- Leads ---------------------------------------------------------------------------------

Leads resolveLeads(const core::Sensor& s, const LeadOptions& o, const Say& say) {
    if (s.isThermocouple()) {
        const std::string code = core::sensorCode(s);
        throw usage(code +
                        " is a thermocouple: lead resistance does not enter a thermocouple's "
                        "high-impedance reading; for its extension or compensating cable see "
                        "--cable of budget",
                    code +
                        " 是热电偶：引线电阻不影响热电偶的高阻抗测量；其延长型或补偿型导线见 "
                        "budget 的 --cable",
                    say);
    }
    const double w = o.wires.value_or(0);
    if (w != 2 && w != 3 && w != 4)
        throw usage("--wires must be 2, 3 or 4", "--wires 须为 2、3 或 4", say);
    const bool made = o.length || o.area || o.awg;
    if (o.ohms.has_value() == made) {
        throw usage(
            "give the lead's resistance one way: --ohms R_L, or --length L with --area A "
            "or --awg N",
            "引线电阻须以一种方式给出：--ohms R_L，或 --length L 加 --area A 或 --awg N", say);
    }
    const auto positive = [&](double v, const char* option, const char* unit) {
        if (!(std::isfinite(v) && v > 0)) {
            throw usage(
                std::string(option) + " must be a finite number greater than 0 " + unit + " (not " +
                    text(v) + ")",
                std::string(option) + " 必须是大于 0 " + unit + " 的有限数（而非 " + text(v) + "）",
                say);
        }
    };
    if (!std::isfinite(o.imbalance))
        throw usage("--imbalance must be a finite number of Ω", "--imbalance 必须是有限的 Ω 数",
                    say);
    const auto wiring = static_cast<core::Wiring>(static_cast<int>(w));
    if (o.ohms) {
        positive(*o.ohms, "--ohms", "Ω");
        return {wiring, *o.ohms, o.imbalance};
    }
    if (!o.length)
        throw usage("--area and --awg go with --length", "--area 与 --awg 须与 --length 一起给出",
                    say);
    if (o.area.has_value() == o.awg.has_value()) {
        throw usage("--length needs the cross-section one way: --area A (mm²) or --awg N",
                    "--length 须给出截面积（二选一）：--area A（mm²）或 --awg N", say);
    }
    positive(*o.length, "--length", "m");
    double area;
    if (o.area) {
        positive(*o.area, "--area", "mm²");
        area = *o.area;
    } else {
        area = core::awgAreaMm2(*o.awg);
        if (core::outOfRange(area)) {
            throw usage("--awg must be a whole number from 0 to 40 (not " + text(*o.awg) + ")",
                        "--awg 必须是 0 到 40 的整数（而非 " + text(*o.awg) + "）", say);
        }
    }
    const double r = core::copperLeadOhm(*o.length, area, o.at);
    if (core::outOfRange(r)) {
        throw usage(
            "--at must be a finite temperature above -234.45 °C, where copper's "
            "resistance would fall to 0 (not " +
                text(o.at) + ")",
            "--at 必须是高于 -234.45℃ 的有限温度（铜的电阻在该温度降为 0），而非 " + text(o.at),
            say);
    }
    return {wiring, r, o.imbalance};
}

LeadAnswer leadAnswer(const core::Sensor& s, double t, const Leads& l, const Say& say) {
    const double r = core::reading(s, t);
    if (core::outOfRange(r))
        throw Failure{kExitOutOfRange,
                      temperatureOutOfRange(say("temperature", "温度"), text(t), s, say)};
    const double wired = core::wiredReadingOhm(r, l.wiring, l.leadOhm, l.imbalanceOhm);
    const double error = core::leadErrorC(s, t, l.wiring, l.leadOhm, l.imbalanceOhm);
    if (core::outOfRange(error)) {
        throw Failure{
            kExitOutOfRange,
            outOfRangeMessage(say("the reading through the leads", "经引线的读数"),
                              core::formatFixed(wired, 3), say.unit("Ω"), s,
                              rangeText(core::readingLimits(s), 2, say.unit("Ω"), say), say)};
    }
    return {l.leadOhm, wired, error};
}

// ---- Cables --------------------------------------------------------------------------------

namespace {

core::Cable cableNamed(const std::string& name, const Say& say) {
    const std::optional<core::Cable> c = core::findCable(name);
    if (!c) {
        throw usage("unknown cable '" + name + "': one of " + cableNames() + " (" +
                        std::string(core::kCableStandard) + ")",
                    "未知的导线“" + name + "”：可用 " + cableNames() + "（" +
                        std::string(core::kCableStandard) + "）",
                    say);
    }
    return *c;
}

double toleranceOf(const core::Cable& c, std::optional<core::CableClass> cls,
                   const std::string& clsText, const Say& say) {
    const std::optional<double> uv = cls ? core::cableToleranceUv(c, *cls) : std::nullopt;
    if (!uv) {
        const std::string name(c.name);
        const bool both = c.class1Uv > 0;
        throw usage("cable " + name + " has no class " + clsText + ": " +
                        (both ? "its classes are 1 and 2" : "its class is 2"),
                    name + " 导线没有 " + clsText + " 级：可用 " + (both ? "1、2" : "2") + " 级",
                    say);
    }
    return *uv;
}

}  // namespace

CableChoice resolveCable(const core::Sensor& s, const std::string& choice, const Say& say) {
    if (!s.isThermocouple()) {
        const std::string code = core::sensorCode(s);
        throw usage("--cable applies to thermocouples only; " + code +
                        " is a resistance thermometer, whose leads go with --leads",
                    "--cable 只用于热电偶；" + code + " 是热电阻，其引线用 --leads", say);
    }
    const std::size_t colon = choice.find(':');
    if (colon == std::string::npos) {
        throw usage(
            "--cable '" + choice + "': write NAME:CLASS, like KX:2 (cables " + cableNames() + ")",
            "--cable“" + choice + "”：应写作 NAME:CLASS，如 KX:2（导线 " + cableNames() + "）",
            say);
    }
    const core::Cable c = cableNamed(choice.substr(0, colon), say);
    if (c.type != s.type) {
        const std::string name(c.name), fits = typeLetter(c.type), given = typeLetter(s.type);
        throw usage("cable " + name + " is for type " + fits + " thermocouples, not type " + given,
                    name + " 导线只用于 " + fits + " 型热电偶，不能用于 " + given + " 型", say);
    }
    const std::string clsText = choice.substr(colon + 1);
    const std::optional<core::CableClass> cls = core::parseCableClass(clsText);
    const double uv = toleranceOf(c, cls, clsText, say);  // a class the cable has
    return {c, *cls, uv};
}

double cableToleranceUv(const std::string& name, int cls, const Say& say) {
    const core::Cable c = cableNamed(name, say);
    const std::string clsText = std::to_string(cls);
    return toleranceOf(c, core::parseCableClass(clsText), clsText, say);
}

// ---- The budget ----------------------------------------------------------------------------

std::string distributionText(const core::Contribution& c) {
    const std::string name(core::distributionName(c.distribution));
    if (c.distribution != core::Distribution::normal) return name;
    return name + ":" + core::formatSignificant(c.coverage);
}

BudgetSheet budgetSheet(const core::Sensor& s, const BudgetRequest& q, const Say& say) {
    using core::Distribution;
    using core::Unit;
    const double t = q.t;
    if (!core::temperatureLimits(s).contains(t))
        throw Failure{kExitOutOfRange,
                      temperatureOutOfRange(say("temperature", "温度"), text(t), s, say)};
    if (!(std::isfinite(q.k) && q.k > 0))
        throw usage("--k must be greater than 0 (not " + text(q.k) + ")",
                    "--k 必须大于 0（而非 " + text(q.k) + "）", say);
    if (q.cj && !s.isThermocouple()) {
        const std::string code = core::sensorCode(s);
        throw usage("--cj applies to thermocouples only; " + code + " has no reference junction",
                    "--cj 只用于热电偶；" + code + " 没有参考端", say);
    }
    const double cj = q.cj.value_or(0);
    if (s.isThermocouple() && !core::temperatureLimits(s).contains(cj)) {
        throw Failure{
            kExitOutOfRange,
            temperatureOutOfRange(say("reference temperature", "参考端温度"), text(cj), s, say)};
    }

    BudgetSheet b{s, t, {}, 0, q.k, 0, {}};
    if (q.element && !q.cls)
        throw usage("--element goes with --class", "--element 须与 --class 一起给出", say);
    if (q.cls) {
        const ClassChoice c = resolveClass(s, q.cls, q.element, say);
        b.rows.push_back(row("class", classTolerance(s, t, text(t), c, say), Unit::celsius,
                             Distribution::rectangular, 0, 1));
    }
    if (q.cjError) {
        if (!s.isThermocouple()) {
            const std::string code = core::sensorCode(s);
            throw usage(
                "--cj-error applies to thermocouples only; " + code + " has no reference junction",
                "--cj-error 只用于热电偶；" + code + " 没有参考端", say);
        }
        needNotNegative(*q.cjError, "--cj-error", say);
        sensitivity(s, t, Unit::microvolt, say);  // S(t) is not 0
        const double c = core::referenceJunctionSensitivity(s, t, cj);
        b.rows.push_back(row("cj", *q.cjError, Unit::celsius, Distribution::rectangular, 0, c));
    }
    if (q.cableAt && !q.cable)
        throw usage("--cable-at goes with --cable", "--cable-at 须与 --cable 一起给出", say);
    if (q.cable) {
        const CableChoice c = resolveCable(s, *q.cable, say);
        const double at = q.cableAt.value_or(cj);
        if (!c.cable.range.contains(at)) {
            const std::string name(c.cable.name), value = text(at) + say.celsius();
            const std::string range = rangeText(c.cable.range, 3, say.celsius(), say);
            throw outOfRange("cable temperature " + value + " is outside the range of cable " +
                                 name + " (" + std::string(core::kCableStandard) + "): " + range,
                             "导线温度 " + value + " 超出 " + name + " 导线（" +
                                 std::string(core::kCableStandard) + "）的范围：" + range,
                             say);
        }
        b.rows.push_back(row("cable", c.toleranceUv, Unit::microvolt, Distribution::rectangular, 0,
                             sensitivity(s, t, Unit::microvolt, say)));
    }
    if (q.meterPct) {
        needNotNegative(*q.meterPct, "--meter PCT", say);
        needNotNegative(q.meterAbs, "--meter ABS", say);
        // What the instrument reads: E(t) − E(cj) in mV, or R(t) in Ω.
        const double reading =
            s.isThermocouple() ? core::reading(s, t) - core::reading(s, cj) : core::reading(s, t);
        const Unit unit = s.isThermocouple() ? Unit::millivolt : Unit::ohm;
        b.rows.push_back(row("meter", *q.meterPct / 100 * std::fabs(reading) + q.meterAbs, unit,
                             Distribution::rectangular, 0, sensitivity(s, t, unit, say)));
    }
    if (q.transmitterPct.has_value() != (q.rangeLow.has_value() && q.rangeHigh.has_value())) {
        throw usage("--transmitter PCT and --range LRV,URV go together",
                    "--transmitter PCT 与 --range LRV,URV 须一起给出", say);
    }
    if (q.transmitterPct) {
        needNotNegative(*q.transmitterPct, "--transmitter", say);
        const double lo = *q.rangeLow, hi = *q.rangeHigh;
        if (!(std::isfinite(lo) && std::isfinite(hi) && lo < hi)) {
            throw usage("--range LRV,URV: LRV must be below URV, both finite",
                        "--range LRV,URV：LRV 必须小于 URV，且都是有限数", say);
        }
        const core::Limits range{lo, hi, true};
        if (!range.contains(t)) {
            const std::string r = rangeText(range, 3, say.celsius(), say);
            throw outOfRange(
                "temperature " + text(t) + " °C is outside the transmitter's range " + r,
                "温度 " + text(t) + "℃ 超出变送器的量程 " + r, say);
        }
        b.rows.push_back(row("transmitter", *q.transmitterPct / 100 * (hi - lo), Unit::celsius,
                             Distribution::rectangular, 0, 1));
    }
    for (const RowOption& r : q.rows) b.rows.push_back(customRow(s, t, r, say));
    if (q.leads) {
        const LeadAnswer a = leadAnswer(s, t, resolveLeads(s, *q.leads, say), say);
        b.corrections.push_back({"leads", -a.errorC});
    }
    if (b.rows.empty() && b.corrections.empty()) {
        throw usage(
            "the budget has no contributions: give --class, --cj-error, --cable, --meter, "
            "--transmitter, --row or --leads",
            "预算中没有任何分量：请给出 --class、--cj-error、--cable、--meter、--transmitter、"
            "--row 或 --leads",
            say);
    }

    std::vector<core::Contribution> contributions;
    for (const BudgetRow& r : b.rows) contributions.push_back(r.contribution);
    const core::Budget combined = core::combine(contributions, q.k);
    for (std::size_t i = 0; i < b.rows.size(); ++i) {
        b.rows[i].uC = combined.uC[i];
        b.rows[i].sharePct = combined.sharePct[i];
    }
    b.uC = combined.combinedC;
    b.expandedC = combined.expandedC;
    return b;
}

}  // namespace kelvora::answers
