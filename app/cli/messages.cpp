#include "app/cli/messages.hpp"

#include <ostream>

#include "app/cli/cli.hpp"
#include "ui/box_value.hpp"

namespace kelvora::cli {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

void report(std::ostream& err, std::string_view message) {
    err << "kelvora-cli: " << message << '\n';
}

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool isNumberText(std::string_view s) {
    std::size_t i = 0, digits = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    for (; i < s.size() && isDigit(s[i]); ++i) ++digits;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && isDigit(s[i]); ++i) ++digits;
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        for (; i < s.size() && isDigit(s[i]); ++i) ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

double number(std::string_view text, std::string_view what, const Say& say) {
    const std::string_view t = trim(text);
    if (!isNumberText(t)) {
        throw Failure{kExitUsage,
                      say(std::string(what) + " '" + std::string(t) +
                              "' is not a number: write it like 25, -3.5 or 1.2e3, with '.' as "
                              "the decimal point",
                          std::string(what) + "“" + std::string(t) +
                              "”不是数：应写作 25、-3.5 或 1.2e3，小数点用“.”")};
    }
    return ui::boxValue(t);
}

std::string rangeText(core::Limits l, int decimals, const std::string& unit, const Say& say) {
    const std::string lo = core::formatTrimmed(l.lo, decimals) + unit,
                      hi = core::formatTrimmed(l.hi, decimals) + unit;
    const std::string from = l.loIncluded ? lo : say("above " + lo, "高于 " + lo);
    if (l.hiIncluded) return say(from + " to " + hi, from + "～" + hi);
    return say(from + " up to " + hi + " (" + hi + " itself excluded)",
               from + "～" + hi + "（不含 " + hi + "）");
}

std::string sensorName(const core::Sensor& s, const Say& say) {
    const std::string code = core::sensorCode(s);
    if (s.isThermocouple()) return say("type " + code + " thermocouple", code + " 型热电偶");
    return say(code, code + " 热电阻");
}

std::string outOfRangeMessage(std::string_view what, std::string_view text, const std::string& unit,
                              const core::Sensor& s, const std::string& range, const Say& say) {
    const std::string value = std::string(trim(text)) + unit;
    return say(
        std::string(what) + " " + value + " is out of range for " + sensorName(s, say) +
            ": accepted " + range,
        std::string(what) + " " + value + " 超出 " + sensorName(s, say) + " 的范围：" + range);
}

std::string temperatureOutOfRange(std::string_view what, std::string_view text,
                                  const core::Sensor& s, const Say& say) {
    return outOfRangeMessage(what, text, say.celsius(), s,
                             rangeText(core::temperatureLimits(s), 3, say.celsius(), say), say);
}

std::string sensorError(core::SensorError e, const Say& say) {
    using core::SensorError;
    const std::string en(core::describe(e));
    switch (e) {
        case SensorError::none:
            return "";
        case SensorError::unknownCode:
            return say(en, "没有这种传感器");
        case SensorError::r0NotPositive:
            return say(en, "R0 必须大于 0 Ω");
        case SensorError::notFinite:
            return say(en, "R0 和系数必须是有限的数");
        case SensorError::r0OutOfReach:
            return say(en, "R0 必须在 1e-200 Ω 到 1e200 Ω 之间");
        case SensorError::coefficientsTooLarge:
            return say(en, "系数过大，不可能是铂热电阻的系数");
        case SensorError::notIncreasing:
            return say(en, "按这些系数，电阻在 -200℃～850℃ 内并非处处随温度上升");
        case SensorError::resistanceNotPositive:
            return say(en, "按这些系数，-200℃ 时的电阻不大于 0 Ω");
    }
    return en;
}

}  // namespace kelvora::cli
