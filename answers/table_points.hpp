// The temperatures of a graduation table: from + k·step as exact decimals, so 0.1 steps add up
// to whole degrees where they should, and a table's points are the same whoever asks for them
// (kelvora-cli table, kelvora.table in Python).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "answers/messages.hpp"
#include "core/sensor.hpp"

namespace kelvora::answers {

// Decimals of the table's --from, --to and --step.
inline constexpr int kMaxDecimals = 9;
// A table longer than this is refused: ten million lines are some 200 MB of text.
inline constexpr long long kMaxRows = 10'000'000;

// A decimal number as a whole number of 10^-decimals.
struct Decimal {
    long long scaled;
    int decimals;
};

// 10^n for 0 ≤ n ≤ kMaxDecimals.
long long pow10(int n);

// The exact decimal of a number text (isNumberText), or none beyond kMaxDecimals decimals
// or 15 digits.
std::optional<Decimal> decimalOf(std::string_view s);

// The text of scaled / 10^decimals, exactly: at p, returning the end; and as a string.
char* writeScaled(char* p, long long scaled, int decimals);
std::string scaledText(long long scaled, int decimals);

struct TablePoints {
    double emfAtT0;        // E(t0) of a thermocouple's reference junction; 0 for an RTD
    long long from, step;  // in units of 10^-scale
    int scale;
    int shown;         // decimals the temperatures are written with
    int stepDecimals;  // decimals of the step as given
    long long count;

    long long scaledAt(long long k) const { return from + k * step; }
    double at(long long k) const;           // the temperature in °C of point k
    std::string textAt(long long k) const;  // and as written
    long long shownAt(long long k) const;   // point k in units of 10^-shown
};

// The points of sensor s's table from `from` to `to` in steps of `step` (texts as given;
// none: the sensor's lowest, its highest, 1), the last one at or below `to`, against a
// reference junction at `cj` °C (thermocouples only; none: 0 °C). Where the sensor's top is
// excluded and `to` is not given, the table ends a step below it. Throws a Failure with
// status 1 when an end or the reference junction lies outside the sensor's range, 2 for a
// bad number or step, from above to, or too many rows.
TablePoints tablePoints(const core::Sensor& s, const std::optional<std::string>& from,
                        const std::optional<std::string>& to,
                        const std::optional<std::string>& step,
                        const std::optional<std::string>& cj, const Say& say);

// The value at temperature t that a table of s shows: the EMF against the reference junction
// (E(t) − E(t0)) or the resistance; kOutOfRange outside the sensor's range.
double tableValue(const core::Sensor& s, double emfAtT0, double t);

}  // namespace kelvora::answers
