// What the controller may write into a box, shared by the monkey tests of the Qt and the Win32
// window.
#pragma once

#include <string_view>

#include "core/sensors.hpp"
#include "ui/controller.hpp"

namespace kelvora::test {

// Whether `text` is a number as a display format writes it: a minus sign where `negative`
// allows one, digits, a point and exactly `decimals` digits.
inline bool isFixed(std::string_view text, std::size_t decimals, bool negative) {
    if (negative && !text.empty() && text.front() == '-') text.remove_prefix(1);
    const std::size_t point = text.find('.');
    if (point == 0 || point == std::string_view::npos || text.size() - point - 1 != decimals)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i != point && (text[i] < '0' || text[i] > '9')) return false;
    }
    return true;
}

// Whether the controller may write `text` (UTF-8) into Text<box + 1> while `sensor` is
// selected: a number in the box's display format, or a message that belongs there.
inline bool written(int box, std::string_view text, int sensor) {
    namespace msg = ui::message;
    const bool tc = core::isThermocouple(sensor);
    if (box == 0) return text == (tc ? msg::kReferenceOutOfRange : std::string_view("0"));
    if (text == msg::kCalculationError) return true;
    if (box == 1)
        return isFixed(text, 2, true) ||
               text == (tc ? msg::kEmfOutOfRange : msg::kResistanceOutOfRange);
    return isFixed(text, tc ? 3 : 2, tc) || text == msg::kTemperatureOutOfRange;
}

}  // namespace kelvora::test
