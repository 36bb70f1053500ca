// A loop-check sheet: the test points of a temperature transmitter's range, at each the input
// to source in place of the sensor (a thermocouple's EMF against its cold junction, or a
// resistance thermometer's resistance), the output expected, and, when given, the output
// found before adjustment (as found) and after it (as left) with its error in % of span and
// °C and its verdict against an accuracy. The same rows for every front end (kelvora-cli
// check, kelvora.check in Python, the web app's loop view).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "answers/messages.hpp"
#include "core/sensor.hpp"
#include "core/transmitter.hpp"

namespace kelvora::answers {

// The most points a sheet takes (--points N, N ≥ 2).
inline constexpr int kMaxSheetPoints = 1'000'000;
// kelvora-cli check's status when a point with a verdict fails.
inline constexpr int kExitCheckFailed = 3;

// ---- A transmitter from what a user writes ------------------------------------------------

// The signal written as core::parseSignal reads it; a usage failure naming the accepted form.
core::OutputSignal signalOf(std::string_view text, const Say& say);
// The transmitter on LRV…URV °C; a usage failure when an end is not finite or LRV = URV.
core::Transmitter transmitterOf(double lrv, double urv, const core::OutputSignal& s,
                                const Say& say);
// The number in `text` as `number` reads it, and finite: a usage failure naming `what`
// otherwise (1e999 included).
double finiteNumber(std::string_view text, std::string_view what, const Say& say);
// "V1,V2,…": finite numbers, at least one; a usage failure naming `what` otherwise.
std::vector<double> numberList(std::string_view text, std::string_view what, const Say& say);

// What an output value means when it is not in range, for a message: "NAMUR NE 43: failure
// signal, low", "NAMUR NE 43: below range, saturated (the temperature is at or beyond it)",
// and for other signals "above range of 0-10V"; empty for in range.
std::string stateNote(const core::Transmitter& x, const core::LoopReading& r, const Say& say);
// Why an output gives no temperature (a failure signal, or not a measurement): "NAMUR NE 43:
// failure signal, low: 3.5 mA carries no temperature", valueText as the user wrote it.
std::string noTemperature(const core::Transmitter& x, const core::LoopReading& r,
                          std::string_view valueText, const Say& say);

// ---- The sheet ----------------------------------------------------------------------------

// Percent of span of each row: `points` N (2 ≤ N ≤ kMaxSheetPoints) evenly from 0 to 100 when
// given, otherwise `at` as given when not empty, otherwise 0 25 50 75 100; with updown, up
// through them and back down without the top twice (0 25 50 75 100 75 50 25 0). Front ends
// refuse points with at, and N outside 2…kMaxSheetPoints (here: no rows).
std::vector<double> sheetPercents(std::optional<int> points, const std::vector<double>& at,
                                  bool updown);

struct SheetQuestion {
    core::Sensor sensor;
    core::Transmitter transmitter;
    double cjC = 0;  // thermocouples' reference junction, °C
    std::vector<double> percents;
    std::vector<double> found, left;    // empty, or one per row, in the signal's unit
    std::optional<double> accuracyPct;  // ± % of span
};

// An output found at a row: the value, its error (value − expected)/(hi − lo)·100 in % of span
// and the same in °C (errorPct/100·(URV − LRV); negative on a falling range for a value above
// the expected one), and with an accuracy its verdict: |errorPct| ≤ accuracy (within
// 1e-9 % of span, for the rounding of a decimal value).
struct SheetVerdict {
    double value, errorPct, errorC;
    std::optional<bool> pass;
};

struct SheetRow {
    double percent, temperatureC;  // temperatureC = LRV + percent/100·(URV − LRV)
    double input;                  // E(t) − E(cj) in mV, or R(t) in Ω
    double expected;               // core::expectedOutput: clamped on saturated rows
    bool saturated;
    std::optional<SheetVerdict> found, left;
};

struct Sheet {
    std::vector<SheetRow> rows;
    bool emfInput;  // input in mV (thermocouple), or in Ω
    bool allPass;   // every row with a verdict passes (true without an accuracy)
};

// The sheet, whole or not at all. Throws Failure: status 1 when a point's temperature (or the
// cold junction) is outside the sensor's range, naming it; 2 for a found/left count unequal
// to the rows (naming both), no points, or a percent, cold junction, found or left value or
// accuracy that is not a finite number (the accuracy also not below 0).
Sheet loopSheet(const SheetQuestion& q, const Say& say);

// The sheet's columns, as csv, json and Python name them, only those that apply, in order:
// percent, temperature_C, input_mV or input_ohm, expected_mA or expected_V, saturated, then
// for found and left each: found_mA (or _V), found_error_pct, found_error_C, and with an
// accuracy found_pass.
std::vector<std::string> sheetColumns(const SheetQuestion& q);

// A row's cells in the columns' order as text: percent with up to 6 decimals and no zeros at
// the end (core::formatTrimmed), temperature 2 decimals, input, expected, found, left and
// errors 3 (core::formatFixed; the errors taken to 1e-9 first, so decimal ties round up), saturated
// and pass "yes" or "no".
std::vector<std::string> sheetCells(const SheetQuestion& q, const SheetRow& row);

}  // namespace kelvora::answers
