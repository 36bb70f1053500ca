// A temperature transmitter: its range LRV…URV in °C and its output signal, a current or a
// voltage linear in temperature, both ways; and what a current of a 4–20 mA loop means under
// NAMUR NE 43 (failure signals, saturation, below and above range).
//
// Pure and allocation-free but for the texts; no exceptions. A reversed range (URV < LRV)
// gives a falling output.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::core {

enum class SignalUnit : std::uint8_t { milliampere, volt };

// The output span lo…hi in the unit (0 ≤ lo < hi, finite).
struct OutputSignal {
    double lo;
    double hi;
    SignalUnit unit;
    friend constexpr bool operator==(const OutputSignal&, const OutputSignal&) = default;
};

inline constexpr OutputSignal k4To20mA{4, 20, SignalUnit::milliampere};

// NAMUR NE 43 (2003), "Standardization of the signal level for the failure information of
// digital transmitters": the levels of a 4–20 mA signal, in mA.
struct Ne43Levels {
    double failureLow;      // I ≤ 3.6: failure signal, low
    double saturationLow;   // 3.8 ≤ I < 4: a measurement below range, saturated at 3.8
    double saturationHigh;  // 20 < I ≤ 20.5: a measurement above range, saturated at 20.5
    double failureHigh;     // I ≥ 21: failure signal, high
};                          // between failure and saturation: not a measurement
inline constexpr Ne43Levels kNe43{3.6, 3.8, 20.5, 21.0};

// "4-20mA", "0-20mA", "1-5V", "0-10V", or any "LO-HIunit": LO and HI plain decimal numbers
// (digits with at most one "."; no sign, no exponent, no blanks) with 0 ≤ LO < HI, unit "mA"
// or "V" in any letter case. None when unreadable or LO ≥ HI.
std::optional<OutputSignal> parseSignal(std::string_view text);
// "4-20mA", "2-10V", "0.5-4.5V": the ends with the fewest digits that give them back.
std::string signalText(const OutputSignal& s);
std::string_view unitText(SignalUnit u);  // "mA", "V"

// 4–20 mA: the NAMUR NE 43 levels apply.
constexpr bool isNamur(const OutputSignal& s) {
    return s == k4To20mA;
}

struct Transmitter {
    double lrv;  // °C at lo
    double urv;  // °C at hi
    OutputSignal signal;
};

// Finite ends with a finite span, LRV ≠ URV (URV < LRV allowed), and a signal with
// 0 ≤ lo < hi, finite; none otherwise.
std::optional<Transmitter> makeTransmitter(double lrv, double urv, OutputSignal s = k4To20mA);

// The output at t °C, unclamped, exactly as lo + (hi − lo)·(t − LRV)/(URV − LRV) rounds in
// doubles (the same bits as that expression in numpy).
constexpr double output(const Transmitter& x, double t) {
    const OutputSignal& s = x.signal;
    return s.lo + (s.hi - s.lo) * (t - x.lrv) / (x.urv - x.lrv);
}

// The temperature in °C at output v, LRV + (v − lo)·(URV − LRV)/(hi − lo), unclamped.
constexpr double temperatureAtOutput(const Transmitter& x, double v) {
    const OutputSignal& s = x.signal;
    return x.lrv + (v - s.lo) * (x.urv - x.lrv) / (s.hi - s.lo);
}

// What an output value means. Only a 4–20 mA signal has the not-a-measurement bands and the
// failure signals; any other signal is below range under lo, in range from lo to hi, above
// range over hi.
enum class LoopState : std::uint8_t {
    failureLow,          // I ≤ 3.6 mA
    notMeasurementLow,   // 3.6 < I < 3.8 mA
    belowRange,          // 3.8 ≤ I < 4 mA; other signals: below lo
    inRange,             // lo ≤ value ≤ hi
    aboveRange,          // 20 < I ≤ 20.5 mA; other signals: above hi
    notMeasurementHigh,  // 20.5 < I < 21 mA
    failureHigh,         // I ≥ 21 mA
};

// Whether a state carries a temperature (below, in or above range).
constexpr bool hasTemperature(LoopState s) {
    return s == LoopState::belowRange || s == LoopState::inRange || s == LoopState::aboveRange;
}

// English and Chinese names of a state, for messages: "failure signal, low",
// "not a measurement (between failure signal and saturation)", "below range", …
std::string_view stateText(LoopState s);
std::string_view stateTextInChinese(LoopState s);
// A short word for a column or a program: "failure_low", "not_measurement_low",
// "below_range", "in_range", "above_range", "not_measurement_high", "failure_high".
std::string_view stateCode(LoopState s);

struct LoopReading {
    LoopState state;
    double temperatureC;  // NaN where the state has no temperature
    bool saturated;       // 4–20 mA at exactly 3.8 or 20.5 mA: the temperature is at or beyond
};

// The state of output `value` (in the signal's unit) and its temperature. A NaN value reads as
// in range with a NaN temperature.
LoopReading readOutput(const Transmitter& x, double value);

struct ExpectedOutput {
    double value;
    bool saturated;  // clamped at a saturation level
};

// What the transmitter sends at t °C: output(t), clamped for 4–20 mA at NE 43's saturation
// levels (at or beyond 3.8 or 20.5 mA: the level, saturated), for other signals at lo and hi
// (beyond them: lo or hi, saturated). Between 3.8 and 4 mA, and 20 and 20.5 mA, the output is
// a measurement below or above range, not saturated.
ExpectedOutput expectedOutput(const Transmitter& x, double t);

}  // namespace kelvora::core
