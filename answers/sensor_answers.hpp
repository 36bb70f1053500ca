// The answers of the web app's sensor view: one sensor given by its code (and, for platinum, a
// certificate's R0 and Callendar–Van Dusen coefficients), one temperature or one reading, and
// everything the core says about them at once: the other of the two, the Seebeck coefficient
// or dR/dt, and the tolerance of every class the sensor has. Every number is the core's,
// shown with kelvora-cli's digits; every message is a short Chinese text for the field it
// concerns. A pure function of the fields' texts: the page only shows what it returns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/sensor.hpp"

namespace kelvora::answers {

// The fields as the user left them. Empty R0 and coefficients are those of the code and of
// IEC 60751; an empty reference-junction temperature is 0 °C.
struct SensorQuestion {
    std::string_view code = {};                                    // "K", "Pt1000", "cu50", …
    std::string_view r0Ohm = {}, cvdA = {}, cvdB = {}, cvdC = {};  // platinum only
    std::string_view cjC = {};                                     // thermocouples only
    std::string_view temperatureC = {};
    std::string_view reading = {};  // mV against the reference junction, or Ω
    bool fromReading = false;       // the reading was edited last: the temperature follows it
    bool exact = false;             // thermocouples: the exact inverse of the reference function
};

enum class SensorKind : std::uint8_t { none, thermocouple, platinum, copper, nickel };

struct ToleranceRow {
    std::string className;  // "1", "AA", …
    std::string element;    // "wire" or "film" for platinum, "" otherwise
    std::string label;      // "1 级", "AA 级 绕线"
    std::string celsius;    // "0.35" (±, in °C), or "超出范围" outside the class's range
    std::string reading;    // "0.134" (±, in mV or Ω, the tolerance times the slope), or ""
};

struct SensorAnswers {
    SensorKind kind = SensorKind::none;  // none: the code names no sensor
    std::string description, range;  // "铂热电阻R0=1000", "温度测量范围 -200℃～850℃"
    std::string readingLabel, unit;  // "热电势", "mV" or "电阻值", "Ω"
    std::string slopeLabel, slopeUnit;  // "塞贝克系数", "µV/℃" or "电阻变化率", "Ω/℃"
    std::string r0Placeholder;          // the code's R0, "1000"
    // The box that follows the edited one ("" when nothing is asked), the slope and the
    // tolerance rows: numbers, or "超出范围" where the core cannot give one.
    std::string temperatureC, reading, slope;
    std::vector<ToleranceRow> tolerance;
    std::string toleranceNote;  // why there are no rows
    // Beside the fields: what is wrong with each ("" when nothing is).
    std::string codeNote, r0Note, cvdNote, cjNote, temperatureNote, readingNote;
};

SensorAnswers answer(const SensorQuestion& q);

// ---- What every view that takes a sensor from its fields shares -------------------------

// A sensor as a view's fields give it: the code and, for platinum, a certificate's R0 and
// Callendar–Van Dusen coefficients (empty: the code's own and IEC 60751's).
struct SensorFields {
    std::string_view code = {};
    std::string_view r0Ohm = {}, cvdA = {}, cvdB = {}, cvdC = {};
};

struct FieldSensor {
    std::optional<core::Sensor> sensor;  // none: the notes say why
    SensorKind kind = SensorKind::none;  // as far as the code tells
    std::string r0Placeholder;           // platinum: the code's R0, "1000"
    std::string description, range;      // with the sensor: as SensorAnswers has them
    std::string codeNote, r0Note, cvdNote;
};

FieldSensor sensorOfFields(const SensorFields& fields);

// A field's number: `empty` for a blank field; none for anything but a number, with the
// short Chinese note that says how to write one.
std::optional<double> fieldNumber(std::string_view text, std::optional<double> empty,
                                  std::string& note);

}  // namespace kelvora::answers
