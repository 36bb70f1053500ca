// What every front end beyond the window says: why a value or a request gave no result, in
// English or Chinese, the exit status it asks for, and the reading of the numbers it is given.
// kelvora-cli prints these texts, kelvora for Python raises them.
#pragma once

#include <string>
#include <string_view>

#include "core/conversion.hpp"
#include "core/sensor.hpp"
#include "ui/box_value.hpp"

namespace kelvora::answers {

// Exit statuses (kelvora-cli's; Python maps them to its exceptions).
inline constexpr int kExitOk = 0;
inline constexpr int kExitOutOfRange = 1;  // a value outside a sensor's range
inline constexpr int kExitUsage = 2;       // a bad number, sensor, option or argument

// Why a value or a command gave no result: the exit status it asks for and the message.
struct Failure {
    int status;
    std::string message;
};

// Texts in the user's language.
class Say {
  public:
    explicit Say(bool chinese) : zh_(chinese) {}
    std::string operator()(std::string_view en, std::string_view zh) const {
        return std::string(zh_ ? zh : en);
    }
    bool zh() const { return zh_; }
    std::string celsius() const { return zh_ ? "℃" : " °C"; }
    std::string unit(std::string_view u) const {
        return zh_ ? std::string(u) : " " + std::string(u);
    }

  private:
    bool zh_;
};

// A usage failure (status 2) with its message in the user's language.
inline Failure usage(const std::string& en, const std::string& zh, const Say& say) {
    return Failure{kExitUsage, say(en, zh)};
}

std::string_view trim(std::string_view s);

// A whole decimal number and nothing else, as the sensor view reads its fields.
using ui::isNumberText;

// The number in `text` ("." whatever the locale), read as the window reads its boxes once the
// whole text is known to be one; a usage failure naming `what` otherwise.
double number(std::string_view text, std::string_view what, const Say& say);

// "-270 °C to 1372 °C", or "… up to 150 °C (150 °C itself excluded)".
std::string rangeText(core::Limits l, int decimals, const std::string& unit, const Say& say);

// "type K thermocouple", "Pt1000" (in Chinese "K 型热电偶", "Pt1000 热电阻").
std::string sensorName(const core::Sensor& s, const Say& say);

// "<what> <text><unit> is out of range for <sensor>: accepted <range>".
std::string outOfRangeMessage(std::string_view what, std::string_view text, const std::string& unit,
                              const core::Sensor& s, const std::string& range, const Say& say);
// The same for a temperature, with the sensor's own temperature range.
std::string temperatureOutOfRange(std::string_view what, std::string_view text,
                                  const core::Sensor& s, const Say& say);

// Why a sensor or a certificate was refused, in the user's language.
std::string sensorError(core::SensorError e, const Say& say);

}  // namespace kelvora::answers
