#include "answers/messages.hpp"

#include "ui/box_value.hpp"

namespace kelvora::answers {

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
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
    return say(core::describe(e), core::describeInChinese(e));
}

}  // namespace kelvora::answers
