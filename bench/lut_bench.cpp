// The firmware lookup table of type K over −270…1372 °C at ±0.01 °C: its breakpoints beside
// the fixed-step tables that meet the same bound (uniform in temperature, as a graduation
// table is, and uniform in EMF, as a table indexed by the ADC's reading is), and the time
// makeLut takes, the first time (the exact inverse's own tables made too) and the fastest of
// the next runs. Prints one JSON object for bench/run.py.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "core/lut.hpp"
#include "core/sensor.hpp"

int main() {
    using namespace kelvora::core;
    LutRequest request;
    request.sensor = thermocoupleSensor(ThermocoupleType::K);
    request.maxErrorC = 0.01;
    request.fromC = -270;
    request.toC = 1372;
    const auto timed = [&](const LutRequest& r, Lut& out) {
        const auto began = std::chrono::steady_clock::now();
        out = makeLut(r);
        return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - began)
            .count();
    };
    Lut lut;
    const double firstNs = timed(request, lut);
    double fastestNs = firstNs;
    for (int i = 0; i < 9; ++i) fastestNs = std::min(fastestNs, timed(request, lut));
    LutRequest integer = request;
    integer.numbers = LutNumbers::integer;
    Lut lutInt;
    const double integerNs = timed(integer, lutInt);
    const LutUniform byTemperature = uniformLut(lut, false), byReading = uniformLut(lut, true);
    std::printf(
        "{\"points\": %zu, \"max_error_C\": %.9g, \"first_ns\": %.0f, \"ns\": %.0f, "
        "\"int_points\": %zu, \"int_ns\": %.0f, \"cj_points\": %zu, "
        "\"uniform_t_step\": %.9g, \"uniform_t_points\": %d, "
        "\"uniform_e_step_mV\": %.9g, \"uniform_e_points\": %d}\n",
        lut.table.points.size(), lut.table.maxError, firstNs, fastestNs, lutInt.table.points.size(),
        integerNs, lut.coldJunction.points.size(), byTemperature.step, byTemperature.points,
        byReading.step, byReading.points);
    return lut.error == LutError::none ? 0 : 1;
}
