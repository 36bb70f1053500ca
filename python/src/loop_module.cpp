// kelvora._core's transmitters and loop-check sheets, over the layer kelvora-cli loop and
// check stand on: one ufunc each for a transmitter's output, the temperature at an output and
// its NAMUR NE 43 state, every transmitter's numbers their inputs; the sheet's columns as
// arrays; the refusals in kelvora-cli's words. Arguments arrive checked by the Python layer
// (kelvora/_loop.py).
#define NPY_NO_DEPRECATED_API NPY_1_7_API_VERSION
#include "python/src/loop_module.hpp"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>
// clang-format off
#include <numpy/arrayobject.h>
#include <numpy/ufuncobject.h>
// clang-format on

#include <cfenv>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "answers/loop_sheet.hpp"
#include "answers/messages.hpp"
#include "core/sensor.hpp"
#include "core/transmitter.hpp"

namespace py = pybind11;
namespace core = kelvora::core;
namespace answers = kelvora::answers;

namespace kelvora::python {

namespace {

// The comparisons of NE 43's bands raise the invalid flag on NaN input; NaN in is no fault of
// the caller's, so numpy is not to warn about it.
void clearFloatingPointFlags() {
    std::feclearexcept(FE_ALL_EXCEPT);
}

// A transmitter arrives as its numbers: lrv, urv (°C), lo, hi and the unit (0 mA, 1 V), each
// an input of the ufuncs, so that one ufunc serves every transmitter and numpy broadcasts
// them (one value for the whole loop in the Python layer's calls).
core::Transmitter transmitterOf(double lrv, double urv, double lo, double hi, double unit) {
    return {lrv, urv, {lo, hi, unit == 0 ? core::SignalUnit::milliampere : core::SignalUnit::volt}};
}

double inputAt(char* const* args, const npy_intp* steps, int k, npy_intp i) {
    return *reinterpret_cast<const double*>(args[k] + i * steps[k]);
}

// (t, lrv, urv, lo, hi) -> the output, exactly lo + (hi − lo)·(t − lrv)/(urv − lrv). With the
// transmitter's numbers one for the whole loop (strides 0), a loop over t alone, which the
// compiler vectorises: the same operations in the same order, the same bits.
void outputLoop(char** args, const npy_intp* dimensions, const npy_intp* steps, void*) {
    const npy_intp n = dimensions[0];
    if (steps[1] == 0 && steps[2] == 0 && steps[3] == 0 && steps[4] == 0) {
        const core::Transmitter x =
            transmitterOf(inputAt(args, steps, 1, 0), inputAt(args, steps, 2, 0),
                          inputAt(args, steps, 3, 0), inputAt(args, steps, 4, 0), 0);
        if (steps[0] == sizeof(double) && steps[5] == sizeof(double)) {
            const auto* t = reinterpret_cast<const double*>(args[0]);
            auto* out = reinterpret_cast<double*>(args[5]);
            for (npy_intp i = 0; i < n; ++i) out[i] = core::output(x, t[i]);
        } else {
            for (npy_intp i = 0; i < n; ++i)
                *reinterpret_cast<double*>(args[5] + i * steps[5]) =
                    core::output(x, inputAt(args, steps, 0, i));
        }
    } else {
        for (npy_intp i = 0; i < n; ++i) {
            const core::Transmitter x =
                transmitterOf(inputAt(args, steps, 1, i), inputAt(args, steps, 2, i),
                              inputAt(args, steps, 3, i), inputAt(args, steps, 4, i), 0);
            *reinterpret_cast<double*>(args[5] + i * steps[5]) =
                core::output(x, inputAt(args, steps, 0, i));
        }
    }
    clearFloatingPointFlags();
}

// The state codes of the states, in core::LoopState's order, and one more for a NaN value.
constexpr std::uint8_t kNoState = 7;

// (value, lrv, urv, lo, hi, unit) -> the temperature (NaN where the state has none), or the
// state's code.
template <bool state>
void readingLoop(char** args, const npy_intp* dimensions, const npy_intp* steps, void*) {
    for (npy_intp i = 0; i < dimensions[0]; ++i) {
        const double v = inputAt(args, steps, 0, i);
        const core::LoopReading r =
            core::readOutput(transmitterOf(inputAt(args, steps, 1, i), inputAt(args, steps, 2, i),
                                           inputAt(args, steps, 3, i), inputAt(args, steps, 4, i),
                                           inputAt(args, steps, 5, i)),
                             v);
        char* out = args[6] + i * steps[6];
        if constexpr (state) {
            *reinterpret_cast<std::uint8_t*>(out) =
                v != v ? kNoState : static_cast<std::uint8_t>(r.state);
        } else {
            *reinterpret_cast<double*>(out) = r.temperatureC;
        }
    }
    clearFloatingPointFlags();
}

PyUFuncGenericFunction kOutputLoops[] = {outputLoop};
PyUFuncGenericFunction kTemperatureLoops[] = {readingLoop<false>};
PyUFuncGenericFunction kStateLoops[] = {readingLoop<true>};
void* kNoData[] = {nullptr};
char kOutputTypes[] = {NPY_DOUBLE, NPY_DOUBLE, NPY_DOUBLE, NPY_DOUBLE, NPY_DOUBLE, NPY_DOUBLE};
char kTemperatureTypes[] = {NPY_DOUBLE, NPY_DOUBLE, NPY_DOUBLE, NPY_DOUBLE,
                            NPY_DOUBLE, NPY_DOUBLE, NPY_DOUBLE};
char kStateTypes[] = {NPY_DOUBLE, NPY_DOUBLE, NPY_DOUBLE, NPY_DOUBLE,
                      NPY_DOUBLE, NPY_DOUBLE, NPY_UINT8};

py::object transmitterUfunc(PyUFuncGenericFunction* loops, char* types, int inputs,
                            const char* name, const char* doc) {
    PyObject* u =
        PyUFunc_FromFuncAndData(loops, kNoData, types, 1, inputs, 1, PyUFunc_None, name, doc, 0);
    if (u == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(u);
}

// A transmitter's numbers (lrv, urv, lo, hi, unit, signal text), or (None, the message).
py::tuple transmitter(double lrv, double urv, const std::string& signal) {
    try {
        const answers::Say say(false);
        const core::Transmitter x =
            answers::transmitterOf(lrv, urv, answers::signalOf(signal, say), say);
        return py::make_tuple(x.lrv, x.urv, x.signal.lo, x.signal.hi,
                              x.signal.unit == core::SignalUnit::milliampere ? 0 : 1,
                              core::signalText(x.signal));
    } catch (const answers::Failure& f) {
        return py::make_tuple(py::none(), f.message);
    }
}

// Why value gives no temperature, in kelvora-cli's words.
std::string noTemperature(double lrv, double urv, double lo, double hi, double unit, double value,
                          const std::string& text) {
    const core::Transmitter x = transmitterOf(lrv, urv, lo, hi, unit);
    return answers::noTemperature(x, core::readOutput(x, value), text, answers::Say(false));
}

// The loop-check sheet: (columns, one array of doubles per column, "") with 1 and 0 for yes
// and no, or (None, None, the message).
py::tuple loopCheck(const core::Sensor& s, double lrv, double urv, double lo, double hi,
                    double unit, double cj, const std::vector<double>& percents,
                    const std::vector<double>& found, const std::vector<double>& left,
                    std::optional<double> accuracy) {
    answers::SheetQuestion q;
    q.sensor = s;
    q.transmitter = transmitterOf(lrv, urv, lo, hi, unit);
    q.cjC = cj;
    q.percents = percents;
    q.found = found;
    q.left = left;
    q.accuracyPct = accuracy;
    answers::Sheet sheet;
    try {
        sheet = answers::loopSheet(q, answers::Say(false));
    } catch (const answers::Failure& f) {
        return py::make_tuple(py::none(), py::none(), f.message);
    }
    const std::vector<std::string> columns = answers::sheetColumns(q);
    std::vector<py::array_t<double>> arrays;
    std::vector<double*> at;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        arrays.emplace_back(static_cast<py::ssize_t>(sheet.rows.size()));
        at.push_back(arrays.back().mutable_data());
    }
    for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
        const answers::SheetRow& r = sheet.rows[i];
        std::size_t c = 0;
        for (const double v :
             {r.percent, r.temperatureC, r.input, r.expected, r.saturated ? 1.0 : 0.0})
            at[c++][i] = v;
        for (const std::optional<answers::SheetVerdict>& v : {r.found, r.left}) {
            if (!v) continue;
            at[c++][i] = v->value;
            at[c++][i] = v->errorPct;
            at[c++][i] = v->errorC;
            if (v->pass) at[c++][i] = *v->pass ? 1.0 : 0.0;
        }
    }
    return py::make_tuple(columns, arrays, "");
}

}  // namespace

void bindLoop(py::module_& m) {
    if (_import_array() < 0 || _import_umath() < 0) throw py::error_already_set();
    m.attr("transmitter_output") = transmitterUfunc(
        kOutputLoops, kOutputTypes, 5, "transmitter_output",
        "transmitter_output(t, lrv, urv, lo, hi): the output lo + (hi - lo)(t - lrv)/(urv - lrv) "
        "of a transmitter on lrv...urv °C at t °C, in its signal's unit.");
    m.attr("transmitter_temperature") = transmitterUfunc(
        kTemperatureLoops, kTemperatureTypes, 6, "transmitter_temperature",
        "transmitter_temperature(value, lrv, urv, lo, hi, unit): the temperature in °C at an "
        "output (unit 0: mA, 1: V); NaN where NAMUR NE 43 gives none (4-20 mA).");
    m.attr("transmitter_state") = transmitterUfunc(
        kStateLoops, kStateTypes, 6, "transmitter_state",
        "transmitter_state(value, lrv, urv, lo, hi, unit): the code of an output's state "
        "(0 failure low ... 6 failure high, 7 for NaN).");
    m.def("transmitter", &transmitter);
    m.def("no_temperature", &noTemperature);
    m.def("sheet_percents", &answers::sheetPercents);
    m.def("loop_check", &loopCheck);
    m.attr("MAX_SHEET_POINTS") = answers::kMaxSheetPoints;
}

}  // namespace kelvora::python
