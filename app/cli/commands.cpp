#include "app/cli/commands.hpp"

#include <algorithm>
#include <istream>
#include <ostream>

#include "answers/budget_sheet.hpp"
#include "answers/calibration.hpp"
#include "app/cli/cli.hpp"
#include "app/cli/report.hpp"
#include "core/reference_junction.hpp"
#include "core/sensors.hpp"
#include "core/thermocouple.hpp"
#include "core/tolerance.hpp"

namespace kelvora::cli {

namespace {

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

// A note when t lies outside the deviation's calibrated temperatures.
void note(Notes* notes, const core::ThermocoupleDeviation& d, double t, const std::string& what,
          const Say& say) {
    if (notes == nullptr) return;
    std::string n = extrapolationNote(d, t, t, what, say);
    if (!n.empty()) notes->pending.push_back(std::move(n));
}

void noteReference(const CalibratedThermocouple& c, const ConvertOptions& o, const Say& say) {
    note(o.notes, c.deviation, c.t0,
         say("the reference junction at ", "参考端 ") + core::formatTrimmed(c.t0, 15) +
             say.celsius(),
         say);
}

}  // namespace

int convertValues(std::string_view value, const Convert& convert, std::istream& in, LineWriter& out,
                  std::ostream& err, const Say& say, Notes* notes) {
    // The notes left so far, after the results written so far; those of the set-up first.
    const auto reportNotes = [&](const std::string& where) {
        if (notes == nullptr || notes->pending.empty()) return;
        out.flush();
        for (const std::string& n : notes->pending) report(err, where + n);
        notes->pending.clear();
    };
    reportNotes("");
    if (value != "-") {
        try {
            const std::string result = convert(value);
            out.put(result);
            out.put('\n');
            reportNotes("");
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
                reportNotes(say("line " + std::to_string(lineNo) + ": ",
                                "第 " + std::to_string(lineNo) + " 行："));
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
    if (o.deviation) {
        const CalibratedThermocouple c = calibratedThermocouple(s, *o.deviation, o.cj, say);
        noteReference(c, o, say);
        return [&say, c, notes = o.notes, digits = o.digits.value_or(3)](std::string_view text) {
            const std::string what = say("temperature", "温度");
            const double t = number(text, what, say);
            const double e = calibratedEmf(c, t);
            if (core::outOfRange(e))
                throw Failure{kExitOutOfRange, temperatureOutOfRange(what, text, c.sensor, say)};
            note(notes, c.deviation, t, std::string(trim(text)) + say.celsius(), say);
            return core::formatFixed(e, digits);
        };
    }
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
    // An ITS-90 thermometer's temperatures to 0.1 mK.
    const int digits = o.digits.value_or(s.isIts90() ? 4 : 2);
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
                              outOfRangeMessage(what, text, say.unit("Ω"), s,
                                                rangeText(core::readingLimits(s),
                                                          s.isIts90() ? 6 : 2, say.unit("Ω"), say),
                                                say)};
            }
            return core::formatFixed(T, digits);
        };
    }
    if (o.deviation) {
        // E + ΔE inverted exactly, with --exact or without: the inverse polynomials are the
        // reference function's alone.
        const CalibratedThermocouple c = calibratedThermocouple(s, *o.deviation, o.cj, say);
        noteReference(c, o, say);
        return [&say, c, notes = o.notes, digits](std::string_view text) {
            const std::string what = say("EMF", "热电势");
            const core::ExactTemperature T = calibratedTemperature(c, number(text, what, say));
            if (T.status != core::ExactStatus::ok) {
                throw Failure{kExitOutOfRange,
                              outOfRangeMessage(what, text, say.unit("mV"), c.sensor,
                                                calibratedReadingRange(c, say), say)};
            }
            note(notes, c.deviation, T.temperatureC,
                 core::formatTrimmed(T.temperatureC, digits) + say.celsius(), say);
            return core::formatFixed(T.temperatureC, digits);
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
    // An ITS-90 thermometer's resistances to 1 µΩ, 10 µK or so.
    return [&say, s, digits = o.digits.value_or(s.isIts90() ? 6 : 2)](std::string_view text) {
        const std::string what = say("temperature", "温度");
        const double r = core::reading(s, number(text, what, say));
        if (core::outOfRange(r))
            throw Failure{kExitOutOfRange, temperatureOutOfRange(what, text, s, say)};
        return core::formatFixed(r, digits);
    };
}

Convert slopeConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say) {
    if (o.deviation) {
        return [&say, s, d = *o.deviation, notes = o.notes,
                digits = o.digits.value_or(3)](std::string_view text) {
            const std::string what = say("temperature", "温度");
            const double t = number(text, what, say);
            const double v = core::correctedSlope(d, t);
            if (core::outOfRange(v))
                throw Failure{kExitOutOfRange, temperatureOutOfRange(what, text, s, say)};
            note(notes, d, t, std::string(trim(text)) + say.celsius(), say);
            return core::formatFixed(v, digits);
        };
    }
    return [&say, s,
            digits = o.digits.value_or(s.isThermocouple() ? 3
                                       : s.isIts90()      ? 6
                                                          : 4)](std::string_view text) {
        const std::string what = say("temperature", "温度");
        const double d = core::slope(s, number(text, what, say));
        if (core::outOfRange(d))
            throw Failure{kExitOutOfRange, temperatureOutOfRange(what, text, s, say)};
        return core::formatFixed(d, digits);
    };
}

Convert toleranceConversion(const core::Sensor& s, const ConvertOptions& o, const Say& say) {
    const ClassChoice c = resolveClass(s, o.cls, o.element, say);
    return [&say, s, c](std::string_view text) {
        const double t = number(text, say("temperature", "温度"), say);
        const double tol = classTolerance(s, t, text, c, say);
        return core::formatFixed(tol, 2) + " " +
               core::formatFixed(core::toleranceReading(s, t, c.cls, c.element), 3);
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
