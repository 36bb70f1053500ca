#include "answers/sensor_options.hpp"

#include <vector>

#include "core/reference_junction.hpp"

namespace kelvora::answers {

namespace {

Failure usage(const std::string& en, const std::string& zh, const Say& say) {
    return Failure{kExitUsage, say(en, zh)};
}

// "A,B,C" or "A,B" (C = 0): the certificate's Callendar–Van Dusen coefficients.
core::CvdCoefficients cvdOf(const std::string& text, const Say& say) {
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    bool numbers = parts.size() == 2 || parts.size() == 3;
    for (const std::string& p : parts) numbers = numbers && isNumberText(trim(p));
    if (!numbers) {
        throw usage("--cvd '" + text +
                        "': write A,B,C (or A,B with C = 0) as numbers, like "
                        "--cvd 3.9083e-3,-5.775e-7,-4.183e-12",
                    "--cvd“" + text +
                        "”：应写作 A,B,C（或 A,B，此时 C = 0），如 "
                        "--cvd 3.9083e-3,-5.775e-7,-4.183e-12",
                    say);
    }
    return {number(parts[0], "--cvd", say), number(parts[1], "--cvd", say),
            parts.size() == 3 ? number(parts[2], "--cvd", say) : 0.0};
}

}  // namespace

std::string knownSensors() {
    std::string s;
    for (std::string_view code : core::kSensorListTexts) (s += code) += ' ';
    return s + "PtN CuN NiN";
}

core::Sensor resolveSensor(const SensorOptions& o, const Say& say) {
    const core::SensorOrError parsed = core::parseSensorCode(o.code);
    if (parsed.error == core::SensorError::unknownCode) {
        throw usage("unknown sensor '" + o.code + "': one of " + knownSensors() +
                        " (PtN, CuN and NiN for any R0 = N Ω, like Pt1000; kelvora-cli list)",
                    "未知的传感器“" + o.code + "”：可用 " + knownSensors() +
                        "（PtN、CuN、NiN 为 R0 = N Ω 的热电阻，如 Pt1000；见 kelvora-cli list）",
                    say);
    }
    if (!parsed.ok())
        throw Failure{kExitUsage, say("sensor '" + o.code + "': ", "传感器“" + o.code + "”：") +
                                      sensorError(parsed.error, say)};
    const core::Sensor s = parsed.sensor;

    const char* option = o.r0      ? "--r0"
                         : o.cvd   ? "--cvd"
                         : o.alpha ? "--alpha"
                         : o.delta ? "--delta"
                         : o.beta  ? "--beta"
                                   : nullptr;
    if (option == nullptr) return s;
    if (s.isThermocouple() || s.material != core::RtdMaterial::platinum) {
        const std::string kind = s.isThermocouple() ? say("a thermocouple", "热电偶")
                                 : s.material == core::RtdMaterial::copper
                                     ? say("a copper thermometer", "铜热电阻")
                                     : say("a nickel thermometer", "镍热电阻");
        throw usage(
            std::string(option) + " gives a platinum thermometer's certificate (PtN codes only); " +
                o.code + " is " + kind,
            std::string(option) + " 只用于铂热电阻（PtN）的证书值；" + o.code + " 是" + kind, say);
    }
    if (o.cvd && (o.alpha || o.delta || o.beta)) {
        throw usage("give the coefficients one way: --cvd A,B,C or --alpha, --delta and --beta",
                    "系数只能给一种：--cvd A,B,C 或 --alpha、--delta、--beta", say);
    }
    if ((o.alpha || o.beta) && !(o.alpha && o.delta)) {
        throw usage("--alpha and --delta go together (and --beta with them, for below 0 °C)",
                    "--alpha 与 --delta 须一起给出（--beta 用于 0℃ 以下，随它们给出）", say);
    }
    if (o.delta && !o.alpha) {
        throw usage("--delta needs --alpha", "--delta 须与 --alpha 一起给出", say);
    }
    const double r0 = o.r0 ? number(*o.r0, "--r0", say) : s.r0Ohm;
    core::CvdCoefficients k = s.cvd;
    if (o.cvd) {
        k = cvdOf(*o.cvd, say);
    } else if (o.alpha) {
        k = core::callendarCoefficients(number(*o.alpha, "--alpha", say),
                                        number(*o.delta, "--delta", say),
                                        o.beta ? number(*o.beta, "--beta", say) : 0.0);
    }
    const core::SensorOrError made = core::platinumSensor(r0, k);
    if (!made.ok()) {
        throw Failure{kExitUsage, say("the certificate is refused: ", "证书值不能用：") +
                                      sensorError(made.error, say)};
    }
    return made.sensor;
}

double referenceEmf(const core::Sensor& s, const std::optional<std::string>& cj, const Say& say) {
    const std::string what = say("reference temperature", "参考端温度");
    const double t0 = cj ? number(*cj, what, say) : 0.0;
    const double e0 = core::reading(s, t0);
    if (core::outOfRange(e0))
        throw Failure{kExitOutOfRange, temperatureOutOfRange(what, cj.value_or("0"), s, say)};
    return e0;
}

void noReferenceFor(const core::Sensor& s, const std::optional<std::string>& cj, const Say& say) {
    if (cj && !s.isThermocouple()) {
        const std::string code = core::sensorCode(s);
        throw Failure{kExitUsage, say("--cj applies to thermocouples only; " + code +
                                          " has no reference junction",
                                      "--cj 只用于热电偶；" + code + " 没有参考端")};
    }
}

}  // namespace kelvora::answers
