#include "core/transmitter.hpp"

#include <algorithm>
#include <cmath>

#include "core/conversion.hpp"

namespace kelvora::core {

namespace {

// A plain decimal number at the front of `text`, taken off it.
std::optional<double> takeNumber(std::string_view& text) {
    const std::size_t n = std::min(text.find('-'), text.size());
    std::size_t end = 0;
    while (end < n && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.')) ++end;
    const std::optional<double> v = plainNumber(text.substr(0, end));
    if (v) text.remove_prefix(end);
    return v;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

bool validSignal(const OutputSignal& s) {
    return std::isfinite(s.lo) && std::isfinite(s.hi) && s.lo >= 0 && s.lo < s.hi;
}

}  // namespace

std::optional<OutputSignal> parseSignal(std::string_view text) {
    const std::optional<double> lo = takeNumber(text);
    if (!lo || text.empty() || text.front() != '-') return std::nullopt;
    text.remove_prefix(1);
    const std::optional<double> hi = takeNumber(text);
    if (!hi) return std::nullopt;
    SignalUnit unit;
    if (equalsIgnoringCase(text, "mA")) {
        unit = SignalUnit::milliampere;
    } else if (equalsIgnoringCase(text, "V")) {
        unit = SignalUnit::volt;
    } else {
        return std::nullopt;
    }
    const OutputSignal s{*lo, *hi, unit};
    if (!validSignal(s)) return std::nullopt;
    return s;
}

std::string signalText(const OutputSignal& s) {
    return formatSignificant(s.lo) + "-" + formatSignificant(s.hi) + std::string(unitText(s.unit));
}

std::string_view unitText(SignalUnit u) {
    return u == SignalUnit::milliampere ? "mA" : "V";
}

std::optional<Transmitter> makeTransmitter(double lrv, double urv, OutputSignal s) {
    if (!std::isfinite(lrv) || !std::isfinite(urv) || !std::isfinite(urv - lrv) || lrv == urv ||
        !validSignal(s))
        return std::nullopt;
    return Transmitter{lrv, urv, s};
}

std::string_view stateText(LoopState s) {
    switch (s) {
        case LoopState::failureLow:
            return "failure signal, low";
        case LoopState::notMeasurementLow:
            return "not a measurement (between failure signal and saturation, low)";
        case LoopState::belowRange:
            return "below range";
        case LoopState::inRange:
            return "in range";
        case LoopState::aboveRange:
            return "above range";
        case LoopState::notMeasurementHigh:
            return "not a measurement (between saturation and failure signal, high)";
        case LoopState::failureHigh:
            return "failure signal, high";
    }
    return "";
}

std::string_view stateTextInChinese(LoopState s) {
    switch (s) {
        case LoopState::failureLow:
            return "故障信号（低）";
        case LoopState::notMeasurementLow:
            return "非测量值（介于故障信号与饱和之间，低端）";
        case LoopState::belowRange:
            return "低于量程";
        case LoopState::inRange:
            return "量程内";
        case LoopState::aboveRange:
            return "高于量程";
        case LoopState::notMeasurementHigh:
            return "非测量值（介于饱和与故障信号之间，高端）";
        case LoopState::failureHigh:
            return "故障信号（高）";
    }
    return "";
}

std::string_view stateCode(LoopState s) {
    switch (s) {
        case LoopState::failureLow:
            return "failure_low";
        case LoopState::notMeasurementLow:
            return "not_measurement_low";
        case LoopState::belowRange:
            return "below_range";
        case LoopState::inRange:
            return "in_range";
        case LoopState::aboveRange:
            return "above_range";
        case LoopState::notMeasurementHigh:
            return "not_measurement_high";
        case LoopState::failureHigh:
            return "failure_high";
    }
    return "";
}

LoopReading readOutput(const Transmitter& x, double value) {
    const OutputSignal& s = x.signal;
    const auto measured = [&](LoopState state, bool saturated) {
        return LoopReading{state, temperatureAtOutput(x, value), saturated};
    };
    const auto none = [](LoopState state) { return LoopReading{state, std::nan(""), false}; };
    if (!isNamur(s)) {
        if (value < s.lo) return measured(LoopState::belowRange, false);
        if (value > s.hi) return measured(LoopState::aboveRange, false);
        return measured(LoopState::inRange, false);
    }
    // The bands of NE 43 from the bottom up; each comparison as the table writes its bound.
    if (value <= kNe43.failureLow) return none(LoopState::failureLow);
    if (value < kNe43.saturationLow) return none(LoopState::notMeasurementLow);
    if (value < s.lo) return measured(LoopState::belowRange, value == kNe43.saturationLow);
    if (value >= kNe43.failureHigh) return none(LoopState::failureHigh);
    if (value > kNe43.saturationHigh) return none(LoopState::notMeasurementHigh);
    if (value > s.hi) return measured(LoopState::aboveRange, value == kNe43.saturationHigh);
    return measured(LoopState::inRange, false);
}

ExpectedOutput expectedOutput(const Transmitter& x, double t) {
    const double v = output(x, t);
    if (isNamur(x.signal)) {
        if (v <= kNe43.saturationLow) return {kNe43.saturationLow, true};
        if (v >= kNe43.saturationHigh) return {kNe43.saturationHigh, true};
        return {v, false};
    }
    if (v < x.signal.lo) return {x.signal.lo, true};
    if (v > x.signal.hi) return {x.signal.hi, true};
    return {v, false};
}

}  // namespace kelvora::core
