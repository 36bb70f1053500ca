#include "app/cli/commands.hpp"

#include <algorithm>
#include <istream>
#include <ostream>

#include "app/cli/cli.hpp"
#include "app/cli/report.hpp"
#include "core/reference_junction.hpp"
#include "core/sensors.hpp"
#include "core/thermocouple.hpp"
#include "core/tolerance.hpp"

namespace kelvora::cli {

namespace {

Failure usage(const std::string& en, const std::string& zh, const Say& say) {
    return Failure{kExitUsage, say(en, zh)};
}

void needThermocouple(const core::Sensor& s, std::string_view command, const Say& say) {
    if (s.isThermocouple()) return;
    const std::string code = core::sensorCode(s);
    throw usage(std::string(command) + " needs a thermocouple (S R B K N E J T); " + code +
                    " is a resistance thermometer",
                std::string(command) + " 只用于热电偶（S R B K N E J T）；" + code + " 是热电阻",
                say);
}

// The EMFs an inverse takes against 0 °C, moved to a reference junction whose EMF is e0.
std::string emfRange(core::Limits l, double e0, const std::string& reference, const Say& say) {
    l.lo -= e0;
    l.hi -= e0;
    return rangeText(l, 3, say.unit("mV"), say) +
           say(" with the reference junction at " + reference + say.celsius(),
               "（参考端 " + reference + say.celsius() + "）");
}

std::string classesOf(const core::Sensor& s) {
    std::string list;
    for (int k = 0; k <= static_cast<int>(core::ToleranceClass::C); ++k) {
        const auto c = static_cast<core::ToleranceClass>(k);
        if (core::hasClass(s, c)) (list += list.empty() ? "" : " ") += core::toleranceClassName(c);
    }
    return list;
}

}  // namespace

int convertValues(std::string_view value, const Convert& convert, std::istream& in, LineWriter& out,
                  std::ostream& err, const Say& say) {
    if (value != "-") {
        try {
            const std::string result = convert(value);
            out.put(result);
            out.put('\n');
            return kExitOk;
        } catch (const Failure& f) {
            report(err, f.message);
            return f.status;
        }
    }
    int status = kExitOk;
    long long lineNo = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        if (!trim(line).empty()) {
            try {
                out.put(convert(line));
            } catch (const Failure& f) {
                out.flush();
                report(err, say("line " + std::to_string(lineNo) + ": ",
                                "第 " + std::to_string(lineNo) + " 行：") +
                                f.message);
                status = std::max(status, f.status);
            }
        }
        out.put('\n');
        if (in.rdbuf()->in_avail() <= 0) out.flush();
    }
    return status;
}

Convert emfConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say) {
    needThermocouple(s, "emf", say);
    const double e0 = referenceEmf(s, o.cj, say);
    return [&say, s, e0, digits = o.digits.value_or(3)](std::string_view text) {
        const std::string what = say("temperature", "温度");
        const auto e = core::emfAgainstReference(core::reading(s, number(text, what, say)), e0);
        if (!e) throw Failure{kExitOutOfRange, temperatureOutOfRange(what, text, s, say)};
        return core::formatFixed(*e, digits);
    };
}

Convert temperatureConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say) {
    noReferenceFor(s, o.cj, say);
    const int digits = o.digits.value_or(2);
    if (!s.isThermocouple()) {
        if (o.exact) {
            throw usage(
                "--exact applies to thermocouples only: a resistance thermometer's "
                "temperature is always the exact inverse of its characteristic",
                "--exact 只用于热电偶：热电阻的温度总是其特性的精确反算", say);
        }
        return [&say, s, digits](std::string_view text) {
            const std::string what = say("resistance", "电阻");
            const double T = core::temperature(s, number(text, what, say));
            if (core::outOfRange(T)) {
                throw Failure{kExitOutOfRange,
                              outOfRangeMessage(
                                  what, text, say.unit("Ω"), s,
                                  rangeText(core::readingLimits(s), 2, say.unit("Ω"), say), say)};
            }
            return core::formatFixed(T, digits);
        };
    }
    const double e0 = referenceEmf(s, o.cj, say);
    const std::string reference = core::formatTrimmed(o.cj ? number(*o.cj, "", say) : 0.0, 15);
    return [&say, s, e0, reference, digits, exact = o.exact](std::string_view text) {
        const std::string what = say("EMF", "热电势");
        const double v = number(text, what, say);
        if (!exact) {
            const double T =
                core::temperatureAgainstReference(v, e0, static_cast<double>(s.type), core::t);
            if (core::outOfRange(T)) {
                throw Failure{
                    kExitOutOfRange,
                    outOfRangeMessage(what, text, say.unit("mV"), s,
                                      emfRange(core::readingLimits(s), e0, reference, say), say)};
            }
            return core::formatFixed(T, digits);
        }
        const core::ExactTemperature T = core::exactTemperatureAgainstReference(s.type, v, e0);
        const core::Limits l = core::exactReadingLimits(s.type);
        if (T.status == core::ExactStatus::twoTemperatures) {
            const std::string zero =
                core::formatTrimmed(core::exactTemperatureLimits(s.type).lo, 2);
            throw Failure{
                kExitOutOfRange,
                say(what + " " + std::string(trim(text)) + " mV gives two temperatures for " +
                        sensorName(s, say) + ", whose EMF is 0 mV or below from 0 °C to " + zero +
                        " °C: the exact inverse takes " + emfRange(l, e0, reference, say),
                    what + " " + std::string(trim(text)) + "mV 对 " + sensorName(s, say) +
                        " 有两个温度（0℃～" + zero + "℃ 间其热电势不大于 0 mV）：精确反算只接受 " +
                        emfRange(l, e0, reference, say))};
        }
        if (T.status != core::ExactStatus::ok) {
            throw Failure{kExitOutOfRange, outOfRangeMessage(what, text, say.unit("mV"), s,
                                                             emfRange(l, e0, reference, say), say)};
        }
        return core::formatFixed(T.temperatureC, digits);
    };
}

Convert resistanceConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say) {
    if (s.isThermocouple()) {
        const std::string code = core::sensorCode(s);
        throw usage("res needs a resistance thermometer (PtN, CuN or NiN, like Pt100 or Cu50); " +
                        code + " is a thermocouple",
                    "res 只用于热电阻（PtN、CuN、NiN，如 Pt100、Cu50）；" + code + " 是热电偶",
                    say);
    }
    return [&say, s, digits = o.digits.value_or(2)](std::string_view text) {
        const std::string what = say("temperature", "温度");
        const double r = core::reading(s, number(text, what, say));
        if (core::outOfRange(r))
            throw Failure{kExitOutOfRange, temperatureOutOfRange(what, text, s, say)};
        return core::formatFixed(r, digits);
    };
}

Convert slopeConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say) {
    return
        [&say, s, digits = o.digits.value_or(s.isThermocouple() ? 3 : 4)](std::string_view text) {
            const std::string what = say("temperature", "温度");
            const double d = core::slope(s, number(text, what, say));
            if (core::outOfRange(d))
                throw Failure{kExitOutOfRange, temperatureOutOfRange(what, text, s, say)};
            return core::formatFixed(d, digits);
        };
}

Convert toleranceConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say) {
    const std::string name = sensorName(s, say);
    const std::optional<core::ToleranceClass> c = core::parseToleranceClass(o.cls.value_or(""));
    if (!c) {
        throw usage("--class '" + o.cls.value_or("") +
                        "': one of 1 2 3 (thermocouples), AA A B C (platinum), 1 (copper)",
                    "--class“" + o.cls.value_or("") +
                        "”：可用 1 2 3（热电偶）、AA A B C（铂热电阻）、1（铜热电阻）",
                    say);
    }
    const bool platinum = !s.isThermocouple() && s.material == core::RtdMaterial::platinum;
    if (o.element && !platinum) {
        throw usage("--element applies to platinum thermometers only; " + name + " has none",
                    "--element 只用于铂热电阻；" + name + " 不分元件类型", say);
    }
    if (!core::hasClass(s, *c)) {
        const std::string classes = classesOf(s);
        const std::string wanted(core::toleranceClassName(*c));
        if (classes.empty())
            throw usage(name + " has no tolerance classes", name + " 没有允差等级", say);
        throw usage(name + " has no tolerance class " + wanted + ": its classes are " + classes,
                    name + " 没有 " + wanted + " 级允差：可用 " + classes, say);
    }
    const core::Element element = o.element == "film" ? core::Element::film : core::Element::wire;
    const std::string className =
        std::string(core::toleranceClassName(*c)) +
        (platinum ? say(element == core::Element::film ? " (film)" : " (wire-wound)",
                        element == core::Element::film ? "（薄膜）" : "（绕线）")
                  : std::string());
    return [&say, s, c = *c, element, name, className](std::string_view text) {
        const std::string what = say("temperature", "温度");
        const double t = number(text, what, say);
        const double tol = core::tolerance(s, t, c, element);
        if (core::outOfRange(tol)) {
            const std::string range =
                rangeText(*core::toleranceLimits(s, c, element), 3, say.celsius(), say);
            throw Failure{kExitOutOfRange,
                          say(what + " " + std::string(trim(text)) + say.celsius() +
                                  " is outside class " + className + " of " + name + ": " + range,
                              what + " " + std::string(trim(text)) + say.celsius() + " 超出 " +
                                  name + " " + className + " 级允差的范围：" + range)};
        }
        return core::formatFixed(tol, 2) + " " +
               core::formatFixed(core::toleranceReading(s, t, c, element), 3);
    };
}

void listSensors(LineWriter& out) {
    for (std::size_t i = 0; i < core::kSensorListTexts.size(); ++i) {
        std::string_view range = core::kSensorRangeTexts[i];
        range.remove_prefix(std::min(range.find(' ') + 1, range.size()));
        out.put(std::string(core::kSensorListTexts[i]) + '\t' +
                std::string(core::kSensorDescriptionTexts[i]) + '\t' + std::string(range) + '\n');
    }
}

}  // namespace kelvora::cli
