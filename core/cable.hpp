// Extension (X) and compensating (C) cables of thermocouples: their tolerance classes and
// the temperatures the cable itself may be at, as one table.
//
// Units: tolerances in µV (± about the thermocouple's own EMF-temperature relation),
// temperatures in °C.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/conversion.hpp"
#include "core/sensor.hpp"

namespace kelvora::core {

enum class CableClass : std::uint8_t { one = 1, two = 2 };

struct Cable {
    std::string_view name;  // "KX", "KCA", …
    ThermocoupleType type;  // the one thermocouple type the cable fits
    double class1Uv;        // ±µV; 0 where the cable has no class 1
    double class2Uv;        // ±µV
    Limits range;           // the cable's own temperature, both ends included
};

// IEC 60584-3, Thermocouples — Part 3: Extension and compensating cables — Tolerances and
// identification system: the tolerances over the cable's temperature range. A compensating
// cable (C, with A or B for its temperature range) has class 2 only.
inline constexpr std::string_view kCableStandard = "IEC 60584-3";
inline constexpr std::array<Cable, 13> kCables{{
    {"JX", ThermocoupleType::J, 85, 140, {-25, 200, true}},
    {"TX", ThermocoupleType::T, 30, 60, {-25, 100, true}},
    {"EX", ThermocoupleType::E, 120, 200, {-25, 200, true}},
    {"KX", ThermocoupleType::K, 60, 100, {-25, 200, true}},
    {"NX", ThermocoupleType::N, 60, 100, {-25, 200, true}},
    {"KCA", ThermocoupleType::K, 0, 100, {0, 150, true}},
    {"KCB", ThermocoupleType::K, 0, 100, {0, 100, true}},
    {"NC", ThermocoupleType::N, 0, 100, {0, 150, true}},
    {"RCA", ThermocoupleType::R, 0, 30, {0, 100, true}},
    {"SCA", ThermocoupleType::S, 0, 30, {0, 100, true}},
    {"RCB", ThermocoupleType::R, 0, 60, {0, 200, true}},
    {"SCB", ThermocoupleType::S, 0, 60, {0, 200, true}},
    {"BC", ThermocoupleType::B, 0, 40, {0, 100, true}},
}};

// The cable of that name in any letter case ("kx", "KCA"); none for any other text.
std::optional<Cable> findCable(std::string_view name);

// "1" or "2"; none for any other text.
std::optional<CableClass> parseCableClass(std::string_view text);

// The cable's tolerance in ±µV in class c; none when the cable has no class c.
std::optional<double> cableToleranceUv(const Cable& cable, CableClass c);

}  // namespace kelvora::core
