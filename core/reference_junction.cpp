#include "core/reference_junction.hpp"

#include "core/its90_coefficients.hpp"
#include "core/rtd.hpp"

namespace kelvora::core {

namespace {

// The outer limits of a characteristic held as a table of ranges.
template <const auto& pieces>
constexpr Limits limitsOf() {
    return {pieces.front().lo, pieces.back().hi, pieces.back().hiIncluded};
}

constexpr Limits kThermocoupleTemperature[] = {
    limitsOf<its90::kEmfS>(), limitsOf<its90::kEmfR>(), limitsOf<its90::kEmfB>(),
    limitsOf<its90::kEmfK>(), limitsOf<its90::kEmfN>(), limitsOf<its90::kEmfE>(),
    limitsOf<its90::kEmfJ>(), limitsOf<its90::kEmfT>(),
};
constexpr Limits kThermocoupleEmf[] = {
    limitsOf<its90::kTemperatureS>(), limitsOf<its90::kTemperatureR>(),
    limitsOf<its90::kTemperatureB>(), limitsOf<its90::kTemperatureK>(),
    limitsOf<its90::kTemperatureN>(), limitsOf<its90::kTemperatureE>(),
    limitsOf<its90::kTemperatureJ>(), limitsOf<its90::kTemperatureT>(),
};

}  // namespace

Limits temperatureLimits(int i) {
    if (i >= 0 && i < 8) return kThermocoupleTemperature[i];
    return rtdTemperatureLimits(i);
}

Limits readingLimits(int i) {
    if (i >= 0 && i < 8) return kThermocoupleEmf[i];
    return rtdResistanceLimits(i);
}

}  // namespace kelvora::core
