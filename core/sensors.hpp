// The twelve sensors Kelvora knows, in the order of the sensor list.
//
// A SensorIndex is the position of a sensor in the drop-down list: 0 to 7 are the ITS-90
// thermocouple types S, R, B, K, N, E, J and T (output: EMF in mV), 8 to 11 the resistance
// thermometers Pt100, Pt10, Cu100 and Cu50 (output: resistance in ohms). The conversion
// dispatchers e, t and r_T take the index as a double holding that whole number.
#pragma once

#include <array>
#include <string_view>

namespace kelvora::core {

using SensorIndex = int;

inline constexpr int kSensorCount = 12;

// Thermocouple when the index is below 8, resistance thermometer otherwise.
constexpr bool isThermocouple(SensorIndex i) {
    return i < 8;
}

// Texts of the drop-down list, UTF-8, in index order.
inline constexpr std::array<std::string_view, kSensorCount> kSensorListTexts{
    "S", "R", "B", "K", "N", "E", "J", "T", "Pt100", "Pt10", "Cu100", "Cu50"};

// One-line descriptions, UTF-8, in index order.
inline constexpr std::array<std::string_view, kSensorCount> kSensorDescriptionTexts{
    "铂铑10-铂热电偶",         "铂铑13-铂热电偶",
    "铂铑30-铂铑6热电偶",  // platinum-30 % rhodium against platinum-6 % rhodium
    "镍铬-镍硅热电偶",         "镍铬硅-镍硅热电偶",       "镍铬-铜镍合金(康铜)热电偶",
    "铁-铜镍合金(康铜)热电偶", "铜-铜镍合金(康铜)热电偶", "铂热电阻R0=100",
    "铂热电阻R0=10",           "铜热电阻R0=100",          "铜热电阻R0=50",
};

// Measuring-range texts for display, UTF-8, in index order ("℃" is U+2103, "～" U+FF5E).
// They are display texts only: the conversion functions enforce their own limits.
inline constexpr std::array<std::string_view, kSensorCount> kSensorRangeTexts{
    "温度测量范围 -50℃～1768.1℃", "温度测量范围 -50℃～1768.1℃", "温度测量范围 0℃～1820℃",
    "温度测量范围 -270℃～1372℃",  "温度测量范围 -270℃～1300℃",  "温度测量范围 -270℃～1000℃",
    "温度测量范围 -210℃～1200℃",  "温度测量范围 -270℃～400℃",   "温度测量范围 -200℃～850℃",
    "温度测量范围 -200℃～850℃",   "温度测量范围 -50℃～150℃",    "温度测量范围 -50℃～150℃",
};

}  // namespace kelvora::core
