#include "answers/sensor_answers.hpp"

#include <cmath>
#include <optional>
#include <utility>

#include "core/conversion.hpp"
#include "core/reference_junction.hpp"
#include "core/sensor.hpp"
#include "core/thermocouple.hpp"
#include "core/tolerance.hpp"
#include "ui/box_value.hpp"

namespace kelvora::answers {

namespace {

using core::Sensor;

constexpr std::string_view kOutOfRangeText = "超出范围";
constexpr std::string_view kNotANumber = "不是数：应写作 25、-3.5 或 1.2e3";

// Why the fields give no sensor.
std::string refused(core::SensorError error) {
    std::string note(core::describeInChinese(error));
    if (error == core::SensorError::unknownCode)
        note += "：可用 S R B K N E J T，或 Pt、Cu、Ni 后接 R0，如 Pt1000";
    return note;
}

bool blank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// A field's number, `empty` for a blank field; none, with the note, for anything else.
std::optional<double> field(std::string_view text, std::optional<double> empty, std::string& note) {
    if (blank(text)) return empty;
    const std::optional<double> v = ui::numberValue(text);
    if (!v) note = kNotANumber;
    return v;
}

std::string outOfRange(std::string_view why) {
    return std::string(kOutOfRangeText) + "：" + std::string(why);
}

// "lo～hi unit", each limit marked when it is not included.
std::string rangeText(core::Limits l, double shift, int decimals, std::string_view unit) {
    const std::string hi = core::formatTrimmed(l.hi - shift, decimals);
    return (l.loIncluded ? "" : "高于 ") + core::formatTrimmed(l.lo - shift, decimals) + "～" + hi +
           " " + std::string(unit) + (l.hiIncluded ? "" : "（不含 " + hi + "）");
}

SensorKind kindOf(const Sensor& s) {
    if (s.isThermocouple()) return SensorKind::thermocouple;
    switch (s.material) {
        case core::RtdMaterial::platinum:
            return SensorKind::platinum;
        case core::RtdMaterial::copper:
            return SensorKind::copper;
        case core::RtdMaterial::nickel:
            return SensorKind::nickel;
    }
    return SensorKind::none;
}

}  // namespace

std::optional<double> fieldNumber(std::string_view text, std::optional<double> empty,
                                  std::string& note) {
    return field(text, empty, note);
}

FieldSensor sensorOfFields(const SensorFields& q) {
    FieldSensor a;
    const core::SensorOrError coded = core::parseSensorCode(q.code);
    if (coded.error == core::SensorError::unknownCode) {
        a.codeNote = refused(coded.error);
        return a;
    }
    a.kind = kindOf(coded.sensor);
    if (!coded.ok()) {
        a.codeNote = refused(coded.error);
        return a;
    }
    const auto found = [&](const Sensor& s) {
        a.sensor = s;
        a.description = core::sensorDescription(s);
        if (a.kind == SensorKind::platinum && !(s.cvd == core::kIec60751))
            a.description += "，证书系数";
        a.range = core::sensorRangeText(s);
        return a;
    };
    if (a.kind != SensorKind::platinum) return found(coded.sensor);

    a.r0Placeholder = core::sensorCode(coded.sensor).substr(2);
    const std::optional<double> r0 = field(q.r0Ohm, coded.sensor.r0Ohm, a.r0Note);
    std::string cvdNote;
    const std::optional<double> ca = field(q.cvdA, core::kIec60751.a, cvdNote);
    const std::optional<double> cb = field(q.cvdB, core::kIec60751.b, cvdNote);
    const std::optional<double> cc = field(q.cvdC, core::kIec60751.c, cvdNote);
    if (!cvdNote.empty()) a.cvdNote = "A、B、C " + cvdNote;
    if (!r0 || !ca || !cb || !cc) return a;
    const core::SensorOrError s = core::platinumSensor(*r0, {*ca, *cb, *cc});
    if (s.ok()) return found(s.sensor);
    const bool aboutR0 = s.error == core::SensorError::r0NotPositive ||
                         s.error == core::SensorError::r0OutOfReach ||
                         (s.error == core::SensorError::notFinite && !std::isfinite(*r0));
    (aboutR0 ? a.r0Note : a.cvdNote) = refused(s.error);
    return a;
}

namespace {

// The sensor the fields describe, with the notes on the fields that describe none.
std::optional<Sensor> sensorOf(const SensorQuestion& q, SensorAnswers& a) {
    FieldSensor f = sensorOfFields({q.code, q.r0Ohm, q.cvdA, q.cvdB, q.cvdC});
    a.kind = f.kind;
    a.r0Placeholder = std::move(f.r0Placeholder);
    a.codeNote = std::move(f.codeNote);
    a.r0Note = std::move(f.r0Note);
    a.cvdNote = std::move(f.cvdNote);
    a.description = std::move(f.description);
    a.range = std::move(f.range);
    return f.sensor;
}

void describeSensor(const Sensor& s, SensorAnswers& a) {
    const bool tc = s.isThermocouple();
    a.readingLabel = tc ? "热电势" : "电阻值";
    a.unit = tc ? "mV" : "Ω";
    a.slopeLabel = tc ? "塞贝克系数" : "电阻变化率";
    a.slopeUnit = tc ? "µV/℃" : "Ω/℃";
}

// The tolerance classes a sensor has, in the standards' order; platinum's wire-wound
// elements first, then film.
void toleranceRows(const Sensor& s, SensorAnswers& a) {
    using core::ToleranceClass;
    const auto add = [&](ToleranceClass c, core::Element e) {
        if (!core::hasClass(s, c)) return;
        const bool platinum = a.kind == SensorKind::platinum;
        const std::string name(core::toleranceClassName(c));
        a.tolerance.push_back(
            {name, platinum ? (e == core::Element::wire ? "wire" : "film") : "",
             name + " 级" + (platinum ? (e == core::Element::wire ? " 绕线" : " 薄膜") : ""), "",
             ""});
    };
    if (a.kind == SensorKind::platinum) {
        for (const core::Element e : {core::Element::wire, core::Element::film})
            for (const ToleranceClass c :
                 {ToleranceClass::AA, ToleranceClass::A, ToleranceClass::B, ToleranceClass::C})
                add(c, e);
    } else {
        for (const ToleranceClass c :
             {ToleranceClass::one, ToleranceClass::two, ToleranceClass::three})
            add(c, core::Element::wire);
    }
    if (a.tolerance.empty()) a.toleranceNote = "此传感器没有公差等级";
}

// The slope and the tolerances at temperature t (none: it could not be found).
void atTemperature(const Sensor& s, std::optional<double> t, SensorAnswers& a) {
    const bool tc = s.isThermocouple();
    const double slope = t ? core::slope(s, *t) : core::kOutOfRange;
    a.slope = core::outOfRange(slope) ? std::string(kOutOfRangeText)
                                      : core::formatFixed(slope, tc ? 3 : 4);
    for (ToleranceRow& row : a.tolerance) {
        const core::ToleranceClass c = *core::parseToleranceClass(row.className);
        const core::Element e = row.element == "film" ? core::Element::film : core::Element::wire;
        const double tol = t ? core::tolerance(s, *t, c, e) : core::kOutOfRange;
        if (core::outOfRange(tol)) {
            row.celsius = kOutOfRangeText;
            continue;
        }
        row.celsius = core::formatFixed(tol, 2);
        row.reading = core::formatFixed(core::toleranceReading(s, *t, c, e), 3);
    }
}

// The temperature at a reading: none, with the note that says why, when there is none.
std::optional<double> temperatureAt(const Sensor& s, double v, double t0, double e0,
                                    const SensorQuestion& q, SensorAnswers& a) {
    if (!s.isThermocouple()) {
        const double t = core::temperature(s, v);
        if (!core::outOfRange(t)) return t;
        a.readingNote = outOfRange("电阻值 " + rangeText(core::readingLimits(s), 0, 2, "Ω"));
        return std::nullopt;
    }
    const core::ExactTemperature exact = core::exactTemperatureAgainstReference(s.type, v, e0);
    // The EMFs taken, moved by the reference junction's own.
    const auto emfs = [&](core::Limits l) {
        return rangeText(l, e0, 3, "mV") +
               (t0 == 0 ? "" : "（参考端 " + core::formatSignificant(t0) + "℃）");
    };
    if (q.exact) {
        if (exact.status == core::ExactStatus::ok) return exact.temperatureC;
        a.readingNote =
            exact.status == core::ExactStatus::twoTemperatures
                ? outOfRange("有两个温度（0℃～" +
                             core::formatTrimmed(core::exactTemperatureLimits(s.type).lo, 2) +
                             "℃ 间其热电势不大于 0 mV）")
                : outOfRange("参考函数覆盖 " + emfs(core::exactReadingLimits(s.type)));
        return std::nullopt;
    }
    const double t = core::temperatureAgainstReference(v, e0, static_cast<double>(s.type), core::t);
    if (!core::outOfRange(t)) return t;
    a.readingNote = outOfRange("反函数多项式覆盖 " + emfs(core::readingLimits(s)));
    if (exact.status == core::ExactStatus::ok) a.readingNote += "；勾选“精确反算”可算出";
    return std::nullopt;
}

void compute(const Sensor& s, const SensorQuestion& q, SensorAnswers& a) {
    const bool tc = s.isThermocouple();
    double t0 = 0, e0 = 0;  // the reference junction, and E(t0) against 0 °C
    if (tc) {
        const std::optional<double> cj = field(q.cjC, 0.0, a.cjNote);
        if (!cj) return;
        t0 = *cj;
        e0 = core::reading(s, t0);
        if (core::outOfRange(e0)) a.cjNote = outOfRange(a.range);
    }
    const bool junction = !tc || !core::outOfRange(e0);

    std::optional<double> t;
    if (!q.fromReading) {
        if (blank(q.temperatureC)) return;
        t = field(q.temperatureC, std::nullopt, a.temperatureNote);
        if (!t) return;
        const double v = core::reading(s, *t);
        if (core::outOfRange(v)) a.temperatureNote = outOfRange(a.range);
        const std::optional<double> shown = tc                    ? core::emfAgainstReference(v, e0)
                                            : core::outOfRange(v) ? std::nullopt
                                                                  : std::optional(v);
        a.reading = shown ? core::formatFixed(*shown, tc ? 3 : 2) : std::string(kOutOfRangeText);
    } else {
        if (blank(q.reading)) return;
        const std::optional<double> v = field(q.reading, std::nullopt, a.readingNote);
        if (!v) return;
        if (junction) t = temperatureAt(s, *v, t0, e0, q, a);
        a.temperatureC = t ? core::formatFixed(*t, 2) : std::string(kOutOfRangeText);
    }
    atTemperature(s, t, a);
}

}  // namespace

SensorAnswers answer(const SensorQuestion& q) {
    SensorAnswers a;
    const std::optional<Sensor> s = sensorOf(q, a);
    if (!s) return a;
    describeSensor(*s, a);
    toleranceRows(*s, a);
    try {
        compute(*s, q, a);
    } catch (const core::ConversionFault&) {
        // Never a number from a faulty evaluation; the window says the same.
        (q.fromReading ? a.temperatureC : a.reading) = a.slope = "计算错误";
        for (ToleranceRow& row : a.tolerance) row.celsius = row.reading = "";
    }
    return a;
}

}  // namespace kelvora::answers
