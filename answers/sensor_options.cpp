#include "answers/sensor_options.hpp"

#include <algorithm>
#include <vector>

#include "core/its90_prt.hpp"
#include "core/reference_junction.hpp"

namespace kelvora::answers {

namespace {

std::vector<std::string> commaParts(std::string_view text) {
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// "A,B,C" or "A,B" (C = 0): the certificate's Callendar–Van Dusen coefficients.
core::CvdCoefficients cvdOf(const std::string& text, const Say& say) {
    const std::vector<std::string> parts = commaParts(text);
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

// The names of a sub-range's coefficients: "a", "a,b" or "a,b,c".
std::string coefficientNames(int count) {
    return std::string("a,b,c").substr(0, static_cast<std::size_t>(2 * count - 1));
}

// One --dev N:a,b[,c]: the sub-range and its coefficients, as many as its function has.
struct Deviation {
    int subrange;
    std::vector<double> c;
};
Deviation deviationOf(const std::string& text, const Say& say) {
    const std::size_t colon = text.find(':');
    const std::string n =
        colon == std::string::npos ? "" : std::string(trim(text.substr(0, colon)));
    const std::vector<std::string> parts =
        commaParts(colon == std::string::npos ? "" : text.substr(colon + 1));
    bool numbers = !n.empty() && n.size() <= 2 &&
                   std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; });
    for (const std::string& p : parts) numbers = numbers && isNumberText(trim(p));
    if (!numbers) {
        throw usage("--dev '" + text +
                        "': write the sub-range, a colon and its deviation coefficients, like "
                        "--dev 8:-1.5e-4,1.0e-5",
                    "--dev“" + text + "”：应写作分区号、冒号和偏差系数，如 --dev 8:-1.5e-4,1.0e-5",
                    say);
    }
    const int subrange = std::stoi(n);
    const core::its90::prt::Subrange* r = core::its90::prt::subrangeOf(subrange);
    if (r == nullptr) {
        throw usage("--dev '" + text + "': there is no sub-range " + n + "; " +
                        std::string(core::describe(core::SensorError::unknownSubrange)),
                    "--dev“" + text + "”：没有分区 " + n + "；" +
                        std::string(core::describeInChinese(core::SensorError::unknownSubrange)),
                    say);
    }
    if (parts.size() != static_cast<std::size_t>(r->coefficients)) {
        const std::string count = std::to_string(r->coefficients);
        const std::string names = coefficientNames(r->coefficients);
        throw usage("--dev '" + text + "': sub-range " + n + " takes " + count +
                        (r->coefficients == 1 ? " coefficient, " : " coefficients, ") + names,
                    "--dev“" + text + "”：分区 " + n + " 有 " + count + " 个系数：" + names, say);
    }
    Deviation d{subrange, {}};
    for (const std::string& p : parts) d.c.push_back(number(p, "--dev", say));
    return d;
}

core::Sensor its90Of(const SensorOptions& o, const Say& say) {
    const char* option = o.r0      ? "--r0"
                         : o.cvd   ? "--cvd"
                         : o.alpha ? "--alpha"
                         : o.delta ? "--delta"
                         : o.beta  ? "--beta"
                                   : nullptr;
    if (option != nullptr) {
        throw usage(std::string(option) +
                        " gives a Callendar-Van Dusen certificate (PtN codes only); an ITS90 "
                        "thermometer takes --rtpw and --dev",
                    std::string(option) +
                        " 只用于 PtN 的 Callendar-Van Dusen 证书值；ITS90 "
                        "用 --rtpw 和 --dev",
                    say);
    }
    if (!o.rtpw) {
        throw usage(
            "ITS90 needs --rtpw R, the thermometer's resistance at the water triple point "
            "in Ω",
            "ITS90 须给出 --rtpw R：水三相点时的电阻，单位 Ω", say);
    }
    if (o.dev.empty()) {
        throw usage(
            "ITS90 needs its deviation functions: --dev N:a,b[,c] for one sub-range below "
            "0.01 °C (4 or 5), one above (7 to 11), or both",
            "ITS90 须给出偏差函数：--dev N:a,b[,c]，0.01℃ 以下一个分区（4 或 5）、"
            "以上一个分区（7～11），或两者都给",
            say);
    }
    const double rtpw = number(*o.rtpw, "--rtpw", say);
    std::vector<Deviation> deviations;
    for (const std::string& text : o.dev) deviations.push_back(deviationOf(text, say));
    std::vector<core::Its90Given> given;
    for (const Deviation& d : deviations) given.push_back({d.subrange, d.c});
    const core::SensorOrError made = core::its90Sensor(rtpw, given);
    if (!made.ok()) {
        throw Failure{kExitUsage, say("the certificate is refused: ", "证书值不能用：") +
                                      sensorError(made.error, say)};
    }
    return made.sensor;
}

}  // namespace

bool isIts90Code(std::string_view code) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    constexpr std::string_view its90 = "its90";
    return code.size() == its90.size() && std::equal(code.begin(), code.end(), its90.begin(),
                                                     [&](char x, char y) { return lower(x) == y; });
}

std::string knownSensors() {
    std::string s;
    for (std::string_view code : core::kSensorListTexts) (s += code) += ' ';
    return s + "PtN CuN NiN ITS90";
}

core::Sensor resolveSensor(const SensorOptions& o, const Say& say) {
    if (isIts90Code(o.code)) return its90Of(o, say);
    if (o.rtpw || !o.dev.empty()) {
        const std::string option = o.rtpw ? "--rtpw" : "--dev";
        throw usage(
            option + " gives an ITS-90 thermometer's certificate (sensor ITS90 only), not " +
                o.code + "'s",
            option + " 只用于 ITS-90 铂电阻温度计（传感器 ITS90）的证书值，不用于 " + o.code, say);
    }
    const core::SensorOrError parsed = core::parseSensorCode(o.code);
    if (parsed.error == core::SensorError::unknownCode) {
        throw usage("unknown sensor '" + o.code + "': one of " + knownSensors() +
                        " (PtN, CuN and NiN for any R0 = N Ω, like Pt1000; ITS90 with --rtpw and "
                        "--dev; kelvora-cli list)",
                    "未知的传感器“" + o.code + "”：可用 " + knownSensors() +
                        "（PtN、CuN、NiN 为 R0 = N Ω 的热电阻，如 Pt1000；ITS90 须给出 --rtpw 和 "
                        "--dev；见 kelvora-cli list）",
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
