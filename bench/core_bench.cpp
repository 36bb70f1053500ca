// The conversion core per call, and one keystroke on the window-less model, each beside
// its floor. bench/run.py runs this with repetitions in random interleaving and reads the
// JSON; the counters below carry what it needs besides the times:
//   calls   conversions per iteration (time per call = time per iteration / calls)
//   allocs  heap allocations per call, or per keystroke
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "allocation_counter.hpp"
#include "answers/loop_sheet.hpp"
#include "core/conversion.hpp"
#include "core/its90_coefficients.hpp"
#include "core/portable_exp.hpp"
#include "core/rtd.hpp"
#include "core/sensor.hpp"
#include "core/thermocouple.hpp"
#include "core/transmitter.hpp"
#include "ui/controller.hpp"
#include "ui/form_model.hpp"

namespace {

namespace core = kelvora::core;
namespace its90 = kelvora::core::its90;
using kelvora::bench::allocationCount;
using kelvora::ui::Control;

// ---- Inputs ------------------------------------------------------------------------------

// Points per range: evenly spread inside each range, clear of its limits.
constexpr int kPointsPerRange = 64;

struct Inputs {
    std::vector<double> x;
    std::vector<double> typ;
};

void addRange(Inputs& in, double lo, double hi, double typ) {
    for (int k = 0; k < kPointsPerRange; ++k) {
        in.x.push_back(lo + (hi - lo) * (k + 0.5) / kPointsPerRange);
        in.typ.push_back(typ);
    }
}

// The order of the calls. Grouped: sensor after sensor, as a user works with one sensor at a
// time, and within a sensor its points over all of its ranges in random order, as the values
// typed come. Mixed: every call may be another sensor and another range.
enum class Order { grouped, mixed };

// A fixed shuffle of in[first, last), the same on every run and with every library.
void shuffle(Inputs& in, std::size_t first, std::size_t last, std::mt19937_64& random) {
    for (std::size_t n = last - first; n > 1; --n) {
        const std::size_t j = first + random() % n;
        std::swap(in.x[first + n - 1], in.x[j]);
        std::swap(in.typ[first + n - 1], in.typ[j]);
    }
}

Inputs ordered(Inputs in, Order order) {
    std::mt19937_64 random(20240601);
    if (order == Order::mixed) {
        shuffle(in, 0, in.x.size(), random);
        return in;
    }
    for (std::size_t first = 0; first < in.x.size();) {
        std::size_t last = first;
        while (last < in.x.size() && in.typ[last] == in.typ[first]) ++last;
        shuffle(in, first, last, random);
        first = last;
    }
    return in;
}

template <std::size_t N>
void addPieces(Inputs& in, const std::array<core::Piece, N>& pieces, double typ) {
    for (const core::Piece& p : pieces) addRange(in, p.lo, p.hi, typ);
}

// Temperatures over every range of every thermocouple's reference function.
Inputs temperatureInputs(Order order) {
    Inputs in;
    addPieces(in, its90::kEmfS, 0);
    addPieces(in, its90::kEmfR, 1);
    addPieces(in, its90::kEmfB, 2);
    addPieces(in, its90::kEmfK, 3);
    addPieces(in, its90::kEmfN, 4);
    addPieces(in, its90::kEmfE, 5);
    addPieces(in, its90::kEmfJ, 6);
    addPieces(in, its90::kEmfT, 7);
    return ordered(std::move(in), order);
}

// EMFs over every range of every inverse polynomial.
Inputs emfInputs(Order order) {
    Inputs in;
    addPieces(in, its90::kTemperatureS, 0);
    addPieces(in, its90::kTemperatureR, 1);
    addPieces(in, its90::kTemperatureB, 2);
    addPieces(in, its90::kTemperatureK, 3);
    addPieces(in, its90::kTemperatureN, 4);
    addPieces(in, its90::kTemperatureE, 5);
    addPieces(in, its90::kTemperatureJ, 6);
    addPieces(in, its90::kTemperatureT, 7);
    return ordered(std::move(in), order);
}

// Temperatures for the resistance thermometers, typ 8 to 11: platinum on both sides of
// 0 °C (the third-order term applies below it only), copper over its whole range.
Inputs rtdInputs(Order order) {
    Inputs in;
    for (double typ : {8.0, 9.0}) {
        addRange(in, -200, 0, typ);
        addRange(in, 0, 850, typ);
    }
    for (double typ : {10.0, 11.0}) addRange(in, -50, 150, typ);
    return ordered(std::move(in), order);
}

const Inputs& temperatures(Order order = Order::grouped) {
    static const Inputs grouped = temperatureInputs(Order::grouped);
    static const Inputs mixed = temperatureInputs(Order::mixed);
    return order == Order::grouped ? grouped : mixed;
}
const Inputs& emfs(Order order = Order::grouped) {
    static const Inputs grouped = emfInputs(Order::grouped);
    static const Inputs mixed = emfInputs(Order::mixed);
    return order == Order::grouped ? grouped : mixed;
}
const Inputs& rtdTemperatures() {
    static const Inputs in = rtdInputs(Order::grouped);
    return in;
}

// Type K from 0 to 1372 °C, the range with the exponential term, in a fixed random order;
// and the arguments that term passes to exp at those temperatures.
const Inputs& kExponentialRange() {
    static const Inputs in = [] {
        Inputs out;
        addPieces(out, std::array{its90::kEmfK[1]}, 3);
        return ordered(std::move(out), Order::mixed);
    }();
    return in;
}
const std::vector<double>& kTermArguments() {
    static const std::vector<double> args = [] {
        std::vector<double> out;
        const core::Exponential& k = its90::kEK1Exponential;
        for (double t : kExponentialRange().x) out.push_back((t - k.a2) * (t - k.a2) * k.a1);
        return out;
    }();
    return args;
}

// The resistances r_T formats, as numbers: what formatFixed alone gets to do.
const std::vector<double>& rtdResistances() {
    static const std::vector<double> r = [] {
        std::vector<double> out;
        const Inputs& in = rtdTemperatures();
        for (std::size_t i = 0; i < in.x.size(); ++i) {
            constexpr double kR0[] = {100, 10, 100, 50};  // Pt100, Pt10, Cu100, Cu50
            const double r0 = kR0[static_cast<std::size_t>(in.typ[i]) - 8];
            out.push_back((in.typ[i] < 10 ? core::r_Pt(in.x[i]) : core::r_Cu(in.x[i])) * r0);
        }
        return out;
    }();
    return r;
}

// ---- Floor -------------------------------------------------------------------------------

// Horner's rule on a degree-10 polynomial and nothing else: no range test, no dispatch, no
// fault check. The coefficients are those of type K below 0 °C, copied into writable memory
// so the compiler cannot fold them into the code; the "memory" clobber of DoNotOptimize
// after every call makes it load them again each time, as the core does.
std::array<double, 11> gFloorCoefficients = its90::kEK0;

inline double horner10(double x) {
    double r = gFloorCoefficients[10];
    for (int i = 9; i >= 0; --i) r = r * x + gFloorCoefficients[i];
    return r;
}

// ---- Helpers -----------------------------------------------------------------------------

void setCounters(benchmark::State& state, std::size_t calls, std::uint64_t allocations) {
    state.counters["calls"] = static_cast<double>(calls);
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(calls),
                           benchmark::Counter::kAvgIterations);
}

// ---- Core --------------------------------------------------------------------------------

void floorOver(benchmark::State& state, const Inputs& in) {
    const std::span<const double> x = in.x;
    for (auto _ : state) {
        for (double xi : x) {
            double v = horner10(xi);
            benchmark::DoNotOptimize(v);
        }
    }
    setCounters(state, x.size(), 0);
}

template <double (*F)(double, double)>
void conversionOver(benchmark::State& state, const Inputs& in) {
    const std::span<const double> x = in.x;
    const std::span<const double> typ = in.typ;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        for (std::size_t i = 0; i < x.size(); ++i) {
            double v = F(x[i], typ[i]);
            benchmark::DoNotOptimize(v);
        }
    }
    setCounters(state, x.size(), allocationCount() - before);
}

void BM_floor_e(benchmark::State& state) {
    floorOver(state, temperatures());
}
void BM_core_e(benchmark::State& state) {
    conversionOver<core::e>(state, temperatures());
}
void BM_floor_t(benchmark::State& state) {
    floorOver(state, emfs());
}
void BM_core_t(benchmark::State& state) {
    conversionOver<core::t>(state, emfs());
}
void BM_floor_e_mixed(benchmark::State& state) {
    floorOver(state, temperatures(Order::mixed));
}
void BM_core_e_mixed(benchmark::State& state) {
    conversionOver<core::e>(state, temperatures(Order::mixed));
}
void BM_floor_t_mixed(benchmark::State& state) {
    floorOver(state, emfs(Order::mixed));
}
void BM_core_t_mixed(benchmark::State& state) {
    conversionOver<core::t>(state, emfs(Order::mixed));
}
void BM_floor_r_T(benchmark::State& state) {
    floorOver(state, rtdTemperatures());
}

void BM_core_r_T(benchmark::State& state) {
    const Inputs& in = rtdTemperatures();
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        for (std::size_t i = 0; i < in.x.size(); ++i) {
            std::string s = core::r_T(in.x[i], in.typ[i]);
            benchmark::DoNotOptimize(s);
        }
    }
    setCounters(state, in.x.size(), allocationCount() - before);
}

// formatFixed alone on the values r_T formats.
void BM_formatFixed(benchmark::State& state) {
    const std::vector<double>& r = rtdResistances();
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        for (double v : r) {
            std::string s = core::formatFixed(v, 2);
            benchmark::DoNotOptimize(s);
        }
    }
    setCounters(state, r.size(), allocationCount() - before);
}

// Type K above 0 °C alone: Horner's rule of degree 9 plus the exponential term.
void BM_floor_e_K_exp(benchmark::State& state) {
    floorOver(state, kExponentialRange());
}
void BM_core_e_K_exp(benchmark::State& state) {
    const std::span<const double> x = kExponentialRange().x;
    for (auto _ : state) {
        for (double xi : x) {
            double v = core::e_K(xi);
            benchmark::DoNotOptimize(v);
        }
    }
    setCounters(state, x.size(), 0);
}

// The exponential alone on the K term's arguments: the core's own and the platform's.
template <double (*F)(double)>
void expOver(benchmark::State& state) {
    const std::span<const double> x = kTermArguments();
    for (auto _ : state) {
        for (double xi : x) {
            double v = F(xi);
            benchmark::DoNotOptimize(v);
        }
    }
    setCounters(state, x.size(), 0);
}
double platformExp(double x) {
    return std::exp(x);
}
void BM_portableExp(benchmark::State& state) {
    expOver<core::portableExp>(state);
}
void BM_std_exp(benchmark::State& state) {
    expOver<platformExp>(state);
}

// ---- The sensor library ------------------------------------------------------------------

// The exact inverse of the reference functions on the very EMFs `t` takes above.
void BM_core_exact(benchmark::State& state) {
    const Inputs& in = emfs();
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        for (std::size_t i = 0; i < in.x.size(); ++i) {
            double v =
                core::exactTemperature(static_cast<core::ThermocoupleType>(in.typ[i]), in.x[i])
                    .temperatureC;
            benchmark::DoNotOptimize(v);
        }
    }
    setCounters(state, in.x.size(), allocationCount() - before);
}

// A certificate's platinum thermometer (its own R0 and Callendar constants), on both sides of
// 0 °C: the resistance at a temperature, and the temperature at those resistances.
const core::Sensor& certificateSensor() {
    static const core::Sensor s =
        core::platinumSensor(99.98, core::callendarCoefficients(0.003926, 1.491, 0.11)).sensor;
    return s;
}
const Inputs& certificateTemperatures() {
    static const Inputs in = [] {
        Inputs out;
        addRange(out, -200, 0, 8);
        addRange(out, 0, 850, 8);
        return ordered(std::move(out), Order::mixed);
    }();
    return in;
}
const std::vector<double>& certificateResistances() {
    static const std::vector<double> r = [] {
        std::vector<double> out;
        for (double t : certificateTemperatures().x)
            out.push_back(core::reading(certificateSensor(), t));
        return out;
    }();
    return r;
}

void BM_floor_certificate(benchmark::State& state) {
    floorOver(state, certificateTemperatures());
}

template <double (*F)(const core::Sensor&, double)>
void certificateOver(benchmark::State& state, const std::vector<double>& x) {
    const core::Sensor& s = certificateSensor();
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        for (double xi : x) {
            double v = F(s, xi);
            benchmark::DoNotOptimize(v);
        }
    }
    setCounters(state, x.size(), allocationCount() - before);
}
void BM_core_certificate_r(benchmark::State& state) {
    certificateOver<core::reading>(state, certificateTemperatures().x);
}
void BM_core_certificate_t(benchmark::State& state) {
    certificateOver<core::temperature>(state, certificateResistances());
}

// ---- A loop-check sheet -----------------------------------------------------------------

// A 1,001-point sheet of a type K transmitter on 0…500 °C, cold junction 25 °C, as found and
// as left against ±0.1 % of span, with every row's cells as text: all kelvora-cli check
// computes before it writes (goal: under 10 ms).
void BM_loop_sheet(benchmark::State& state) {
    namespace answers = kelvora::answers;
    answers::SheetQuestion q;
    q.sensor = core::thermocoupleSensor(core::ThermocoupleType::K);
    q.transmitter = *core::makeTransmitter(0, 500);
    q.cjC = 25;
    q.percents = answers::sheetPercents(1001, {}, false);
    for (const double p : q.percents) {
        q.found.push_back(4 + 0.16 * p + 0.01);
        q.left.push_back(4 + 0.16 * p);
    }
    q.accuracyPct = 0.1;
    const answers::Say say(false);
    std::size_t cells = 0;
    for (auto _ : state) {
        const answers::Sheet sheet = answers::loopSheet(q, say);
        for (const answers::SheetRow& r : sheet.rows) cells += answers::sheetCells(q, r).size();
        benchmark::DoNotOptimize(cells);
    }
    state.counters["calls"] = 1;
    state.counters["allocs"] = 0;
}

// ---- Keystroke on the window-less model -------------------------------------------------

// Typing into Text2 and taking it back again: every write changes the text.
constexpr std::array<std::string_view, 6> kTyped{"1", "12", "123", "1234", "123", "12"};

// Text2 changed, the controller's Text2_Change → UpdateEmf → guarded write into Text3.
void BM_model_keystroke(benchmark::State& state) {
    kelvora::ui::FormModel form;
    kelvora::ui::Controller controller{form};
    controller.Form_Load();
    // Each keystroke must reach Text3.
    form.setText(Control::Text2, kTyped.back());
    const std::string shown = form.text(Control::Text3);
    form.setText(Control::Text2, kTyped.front());
    if (form.text(Control::Text3) == shown) state.SkipWithError("Text3 did not change");

    std::size_t k = 1;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        form.setText(Control::Text2, kTyped[k]);
        k = k + 1 == kTyped.size() ? 0 : k + 1;
    }
    const std::uint64_t allocations = allocationCount() - before;
    state.counters["calls"] = 1;
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

// Floor: the same write into a model with no controller attached (the model storing the
// text and nothing else).
void BM_model_floor(benchmark::State& state) {
    kelvora::ui::FormModel form;
    std::size_t k = 0;
    for (auto _ : state) {
        form.setText(Control::Text2, kTyped[k]);
        k = k + 1 == kTyped.size() ? 0 : k + 1;
    }
    state.counters["calls"] = 1;
    state.counters["allocs"] = 0;
}

}  // namespace

BENCHMARK(BM_floor_e);
BENCHMARK(BM_core_e);
BENCHMARK(BM_floor_t);
BENCHMARK(BM_core_t);
BENCHMARK(BM_floor_e_mixed);
BENCHMARK(BM_core_e_mixed);
BENCHMARK(BM_floor_t_mixed);
BENCHMARK(BM_core_t_mixed);
BENCHMARK(BM_floor_e_K_exp);
BENCHMARK(BM_core_e_K_exp);
BENCHMARK(BM_portableExp);
BENCHMARK(BM_std_exp);
BENCHMARK(BM_floor_r_T);
BENCHMARK(BM_core_r_T);
BENCHMARK(BM_formatFixed);
BENCHMARK(BM_core_exact);
BENCHMARK(BM_floor_certificate);
BENCHMARK(BM_core_certificate_r);
BENCHMARK(BM_core_certificate_t);
BENCHMARK(BM_model_floor);
BENCHMARK(BM_model_keystroke);
BENCHMARK(BM_loop_sheet);

BENCHMARK_MAIN();
