// kelvora._core: the conversion core for Python. A Sensor value, its conversions one value
// at a time, and numpy ufuncs whose inner loops call the same core functions element by
// element; numpy runs such loops without the GIL. The values are the core's doubles, with
// NaN where the core returns kOutOfRange. Checking arguments and wording messages is the
// Python layer's part (the kelvora package's modules): what arrives here is already checked.
//
// Units as in the core: temperatures in °C, EMFs in mV, resistances in Ω, slopes in µV/°C
// (thermocouples) or Ω/°C (resistance thermometers), tolerances in °C.
#define NPY_NO_DEPRECATED_API NPY_1_7_API_VERSION
#include <pybind11/numpy.h>
#include <pybind11/operators.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
// clang-format off
#include <numpy/arrayobject.h>
#include <numpy/ufuncobject.h>
// clang-format on

#include <array>
#include <cfenv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "answers/loop_sheet.hpp"
#include "answers/messages.hpp"
#include "answers/sensor_options.hpp"
#include "answers/table_points.hpp"
#include "core/conversion.hpp"
#include "core/reference_junction.hpp"
#include "core/sensor.hpp"
#include "core/sensors.hpp"
#include "core/tolerance.hpp"
#include "core/transmitter.hpp"

namespace py = pybind11;
namespace core = kelvora::core;
namespace answers = kelvora::answers;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double orNaN(double v) {
    return core::outOfRange(v) ? kNaN : v;
}

// ---- One value --------------------------------------------------------------------------

// E(t) − E(t0) from the reference junction's E(t0) against 0 °C, as the window computes it.
double emfAt(const core::Sensor& s, double t, double emfAtT0) {
    const std::optional<double> e = core::emfAgainstReference(core::reading(s, t), emfAtT0);
    return e ? *e : kNaN;
}

// The eight thermocouples, made once (a Sensor is a few hundred bytes: not one per value).
const std::array<core::Sensor, 8> kThermocouples = [] {
    std::array<core::Sensor, 8> out;
    for (int i = 0; i < 8; ++i)
        out[static_cast<std::size_t>(i)] =
            core::thermocoupleSensor(static_cast<core::ThermocoupleType>(i));
    return out;
}();

// The temperature at a reading: for a thermocouple an EMF measured against a junction whose
// E(t0) is emfAtT0 (ITS-90 inverse polynomials, or the exact inverse of the reference
// function), for a resistance thermometer a resistance.
double temperatureAt(const core::Sensor& s, double reading, double emfAtT0, bool exact) {
    if (!s.isThermocouple()) return orNaN(core::temperature(s, reading));
    if (exact)
        return orNaN(core::exactTemperatureAgainstReference(s.type, reading, emfAtT0).temperatureC);
    // The inverse polynomials of the type given as its index in the window's list, through the
    // sensor's own dispatch (one jump where core::t compares the index with each type's).
    const auto inverse = [](double emfMv, double type) {
        return core::temperature(kThermocouples[static_cast<std::size_t>(type)], emfMv);
    };
    return orNaN(
        core::temperatureAgainstReference(reading, emfAtT0, static_cast<double>(s.type), inverse));
}

// ---- Ufuncs -----------------------------------------------------------------------------

// What a ufunc computes. Of two arguments (thermocouples, against a reference junction at
// t0): emf E(t) − E(t0); temperature, the inverse polynomials at v + E(t0); exactTemperature,
// the exact inverse there. Of one: reading, the reference function's own E(t) against 0 °C
// (for type K E(0) is 1.97e-9 mV, not 0) or an RTD's R(t); inverse, the inverse polynomials at
// an EMF against 0 °C or an RTD's inverse; exactInverse; slope; tolerance.
enum class Op : std::uint8_t {
    emf,
    temperature,
    exactTemperature,
    reading,
    inverse,
    exactInverse,
    slope,
    tolerance
};

// What one ufunc computes: the numpy loop's data.
struct Conversion {
    core::Sensor sensor;
    Op op;
    core::ToleranceClass cls = core::ToleranceClass::one;
    core::Element element = core::Element::wire;
};

constexpr bool hasReference(Op op) {
    return op == Op::emf || op == Op::temperature || op == Op::exactTemperature;
}

double inverseAt(const core::Sensor& s, double reading, bool exact) {
    if (exact && s.isThermocouple())
        return orNaN(core::exactTemperature(s.type, reading).temperatureC);
    return orNaN(core::temperature(s, reading));
}

// The value of `op` at x, against a reference junction whose E(t0) is emfAtT0 where op has one.
template <Op op>
double valueAt(const Conversion& c, double x, double emfAtT0) {
    if constexpr (op == Op::emf) return emfAt(c.sensor, x, emfAtT0);
    if constexpr (op == Op::temperature || op == Op::exactTemperature)
        return temperatureAt(c.sensor, x, emfAtT0, op == Op::exactTemperature);
    if constexpr (op == Op::reading) return orNaN(core::reading(c.sensor, x));
    if constexpr (op == Op::inverse || op == Op::exactInverse)
        return inverseAt(c.sensor, x, op == Op::exactInverse);
    if constexpr (op == Op::slope) return orNaN(core::slope(c.sensor, x));
    if constexpr (op == Op::tolerance) return orNaN(core::tolerance(c.sensor, x, c.cls, c.element));
    return kNaN;
}

// A ConversionFault (a non-finite intermediate, which the core's range tests keep from
// happening) must not leave a numpy loop or a call: that value becomes NaN.
template <class F>
double guarded(F f) {
    try {
        return f();
    } catch (...) {
        return kNaN;
    }
}

// The comparisons of the range tests raise the invalid flag on NaN input; that is no fault
// of the caller's, so numpy is not to warn about it.
void clearFloatingPointFlags() {
    std::feclearexcept(FE_ALL_EXCEPT);
}

// The inner loop of a ufunc: (x) -> value, or (x, t0) -> value with E(t0) evaluated once when
// t0 is one value for the whole loop. Should a value throw, the loop goes on from there value
// by value, each guarded.
template <Op op, bool withReference>
void loop(char** args, const npy_intp* dimensions, const npy_intp* steps, void* data) {
    const Conversion& c = *static_cast<const Conversion*>(data);
    const npy_intp n = dimensions[0];
    const char* in = args[0];
    const char* t0 = args[1];
    char* out = args[withReference ? 2 : 1];
    const npy_intp inStep = steps[0], t0Step = withReference ? steps[1] : 0;
    const npy_intp outStep = steps[withReference ? 2 : 1];
    const auto at = [](const char* p, npy_intp i, npy_intp step) {
        return *reinterpret_cast<const double*>(p + i * step);
    };
    const auto emfAtT0 = [&](npy_intp i) { return core::reading(c.sensor, at(t0, i, t0Step)); };
    const bool oneReference = withReference && t0Step == 0;
    const double fixedEmfAtT0 = oneReference ? guarded([&] { return emfAtT0(0); }) : 0.0;
    npy_intp i = 0;
    try {
        if (withReference && !oneReference) {
            for (; i < n; ++i)
                *reinterpret_cast<double*>(out + i * outStep) =
                    valueAt<op>(c, at(in, i, inStep), emfAtT0(i));
        } else {
            for (; i < n; ++i)
                *reinterpret_cast<double*>(out + i * outStep) =
                    valueAt<op>(c, at(in, i, inStep), fixedEmfAtT0);
        }
    } catch (...) {
        for (; i < n; ++i) {
            *reinterpret_cast<double*>(out + i * outStep) = guarded([&] {
                const double e0 = withReference && !oneReference ? emfAtT0(i) : fixedEmfAtT0;
                return valueAt<op>(c, at(in, i, inStep), e0);
            });
        }
    }
    clearFloatingPointFlags();
}

// The loop of op, with as many inputs as the ufunc has: (x, t0) with a reference junction,
// (x) without one, where a resistance thermometer's temperature is its inverse.
PyUFuncGenericFunction loopOf(Op op, bool withReference) {
    switch (op) {
        case Op::emf:
            return withReference ? loop<Op::emf, true> : loop<Op::reading, false>;
        case Op::temperature:
            return withReference ? loop<Op::temperature, true> : loop<Op::inverse, false>;
        case Op::exactTemperature:
            return withReference ? loop<Op::exactTemperature, true> : loop<Op::exactInverse, false>;
        case Op::reading:
            return loop<Op::reading, false>;
        case Op::inverse:
            return loop<Op::inverse, false>;
        case Op::exactInverse:
            return loop<Op::exactInverse, false>;
        case Op::slope:
            return loop<Op::slope, false>;
        case Op::tolerance:
            break;
    }
    return loop<Op::tolerance, false>;
}

// One value, for the Python layer's calls with numbers: the same values as the loops.
double valueOf(const Conversion& c, double x, double t0) {
    const double e0 = hasReference(c.op) ? core::reading(c.sensor, t0) : 0.0;
    switch (c.op) {
        case Op::emf:
            return valueAt<Op::emf>(c, x, e0);
        case Op::temperature:
            return valueAt<Op::temperature>(c, x, e0);
        case Op::exactTemperature:
            return valueAt<Op::exactTemperature>(c, x, e0);
        case Op::reading:
            return valueAt<Op::reading>(c, x, e0);
        case Op::inverse:
            return valueAt<Op::inverse>(c, x, e0);
        case Op::exactInverse:
            return valueAt<Op::exactInverse>(c, x, e0);
        case Op::slope:
            return valueAt<Op::slope>(c, x, e0);
        case Op::tolerance:
            break;
    }
    return valueAt<Op::tolerance>(c, x, e0);
}

// Everything a ufunc points to, owned by the ufunc (through its `obj`, which numpy releases
// with the ufunc) so that it lives exactly as long.
struct UfuncParts {
    Conversion conversion;
    std::string name, doc;
    PyUFuncGenericFunction functions[1];
    void* data[1];
    char types[3];
};

core::ToleranceClass toleranceClass(int c);
core::Element element(int e);

Conversion conversionOf(const core::Sensor& s, Op op, int cls, int e) {
    return {s, op, toleranceClass(cls), element(e)};
}

py::object makeUfunc(const core::Sensor& s, Op op, int cls, int element, const std::string& name,
                     const std::string& doc) {
    // An EMF against a reference junction is a thermocouple's; refused here, so that no such
    // ufunc is made by name (kelvora._ufuncs.emf_Pt100) either.
    if (op == Op::emf && !s.isThermocouple())
        throw py::value_error("emf needs a thermocouple; " + core::sensorCode(s) +
                              " is a resistance thermometer");
    auto* parts = new UfuncParts{};
    py::capsule owner(parts, [](void* p) { delete static_cast<UfuncParts*>(p); });
    parts->conversion = conversionOf(s, op, cls, element);
    parts->name = name;
    parts->doc = doc;
    const bool withReference = hasReference(op) && s.isThermocouple();
    parts->functions[0] = loopOf(op, withReference);
    parts->data[0] = &parts->conversion;
    parts->types[0] = parts->types[1] = parts->types[2] = NPY_DOUBLE;
    PyObject* u = PyUFunc_FromFuncAndData(parts->functions, parts->data, parts->types, 1,
                                          withReference ? 2 : 1, 1, PyUFunc_None,
                                          parts->name.c_str(), parts->doc.c_str(), 0);
    if (u == nullptr) throw py::error_already_set();
    reinterpret_cast<PyUFuncObject*>(u)->obj = owner.release().ptr();
    return py::reinterpret_steal<py::object>(u);
}

// The same conversion for one number at a time, as a plain built-in function of the C API
// (fn(x) or fn(x, t0) -> float), which a call reaches without pybind11's argument matching:
// a scalar call of the Python layer stays far under a microsecond.
constexpr const char* kConversionCapsule = "kelvora.Conversion";

PyObject* callConversion(PyObject* self, PyObject* const* args, Py_ssize_t n) {
    const auto* c = static_cast<const Conversion*>(PyCapsule_GetPointer(self, kConversionCapsule));
    if (c == nullptr) return nullptr;
    const Py_ssize_t wanted = hasReference(c->op) && c->sensor.isThermocouple() ? 2 : 1;
    if (n != wanted) {
        PyErr_Format(PyExc_TypeError, "takes %zd numbers, not %zd", wanted, n);
        return nullptr;
    }
    const double x = PyFloat_AsDouble(args[0]);
    const double t0 = wanted == 2 ? PyFloat_AsDouble(args[1]) : 0.0;
    if ((x == -1.0 || t0 == -1.0) && PyErr_Occurred()) return nullptr;
    const double v = guarded([&] { return valueOf(*c, x, t0); });
    clearFloatingPointFlags();
    return PyFloat_FromDouble(v);
}

// METH_FASTCALL functions go into a PyMethodDef as a PyCFunction, through void (*)() as
// CPython's own modules cast them.
PyMethodDef kConversionMethod{
    "conversion", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(callConversion)),
    METH_FASTCALL, "One value of a kelvora conversion."};

py::object makeScalar(const core::Sensor& s, Op op, int cls, int element) {
    py::capsule owner(
        new Conversion(conversionOf(s, op, cls, element)), kConversionCapsule, [](PyObject* p) {
            delete static_cast<Conversion*>(PyCapsule_GetPointer(p, kConversionCapsule));
        });
    PyObject* f = PyCFunction_NewEx(&kConversionMethod, owner.ptr(), nullptr);
    if (f == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(f);
}

// ---- Sensors ----------------------------------------------------------------------------

using LimitsTuple = std::tuple<double, double, bool, bool>;  // lo, hi, lo and hi included

LimitsTuple limitsTuple(const core::Limits& l) {
    return {l.lo, l.hi, l.loIncluded, l.hiIncluded};
}

// A sensor, or the English sentence saying why there is none and whether no sensor has that
// code at all.
using SensorOrMessage = std::tuple<std::optional<core::Sensor>, std::string, bool>;

SensorOrMessage checked(const core::SensorOrError& r) {
    if (r.ok()) return {r.sensor, "", false};
    return {std::nullopt, std::string(core::describe(r.error)),
            r.error == core::SensorError::unknownCode};
}

const char* materialName(core::RtdMaterial m) {
    return m == core::RtdMaterial::platinum ? "platinum"
           : m == core::RtdMaterial::copper ? "copper"
                                            : "nickel";
}

// The values a tolerance class and an element arrive as.
core::ToleranceClass toleranceClass(int c) {
    if (c < 0 || c > static_cast<int>(core::ToleranceClass::C))
        throw py::value_error("no such tolerance class");
    return static_cast<core::ToleranceClass>(c);
}
core::Element element(int e) {
    return e == 1 ? core::Element::film : core::Element::wire;
}

// A graduation table's points as kelvora-cli makes them, and the values there: (temperatures,
// values, "") or, when the table is refused, (None, None, kelvora-cli's message).
py::tuple table(const core::Sensor& s, const std::optional<std::string>& from,
                const std::optional<std::string>& to, const std::optional<std::string>& step,
                const std::optional<std::string>& cj) {
    answers::TablePoints p;
    try {
        p = answers::tablePoints(s, from, to, step, cj, answers::Say(false));
    } catch (const answers::Failure& f) {
        return py::make_tuple(py::none(), py::none(), f.message);
    }
    py::array_t<double> temperatures(p.count), values(p.count);
    double* t = temperatures.mutable_data();
    double* v = values.mutable_data();
    {
        py::gil_scoped_release unlocked;
        for (long long k = 0; k < p.count; ++k) {
            t[k] = p.at(k);
            v[k] = guarded([&] { return orNaN(answers::tableValue(s, p.emfAtT0, t[k])); });
        }
        clearFloatingPointFlags();
    }
    return py::make_tuple(temperatures, values, "");
}

// Decimals formatFixed is asked for: a double carries 15 significant digits.
int decimalsOf(int decimals) {
    if (decimals < 0 || decimals > 15) throw py::value_error("decimals must lie between 0 and 15");
    return decimals;
}

// The values of an array of doubles as text (formatFixed), as a list of str.
py::list formatted(const py::array_t<double, py::array::forcecast>& values, int decimals) {
    decimalsOf(decimals);
    py::list out(static_cast<std::size_t>(values.size()));
    const double* p = values.data();
    for (py::ssize_t i = 0; i < values.size(); ++i)
        out[static_cast<std::size_t>(i)] = py::str(core::formatFixed(p[i], decimals));
    return out;
}

// ---- Transmitters -----------------------------------------------------------------------

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

PYBIND11_MODULE(_core, m) {
    if (_import_array() < 0 || _import_umath() < 0) throw py::error_already_set();
    m.doc() = "The Kelvora conversion core (C++), as kelvora uses it; see help(kelvora).";
    m.attr("__version__") = KELVORA_VERSION;

    py::class_<core::Sensor>(m, "Sensor", "A sensor of the core: a thermocouple or an RTD.")
        .def_property_readonly("is_thermocouple", &core::Sensor::isThermocouple)
        .def_property_readonly("material",
                               [](const core::Sensor& s) { return materialName(s.material); })
        .def_property_readonly("r0", [](const core::Sensor& s) { return s.r0Ohm; })
        .def_property_readonly("cvd",
                               [](const core::Sensor& s) {
                                   return std::tuple{s.cvd.a, s.cvd.b, s.cvd.c};
                               })
        .def_property_readonly("code", [](const core::Sensor& s) { return core::sensorCode(s); })
        .def_property_readonly("description",
                               [](const core::Sensor& s) { return core::sensorDescription(s); })
        .def_property_readonly(
            "name",
            [](const core::Sensor& s) { return answers::sensorName(s, answers::Say(false)); })
        .def_property_readonly("range_text",
                               [](const core::Sensor& s) { return core::sensorRangeText(s); })
        .def("temperature_limits",
             [](const core::Sensor& s) { return limitsTuple(core::temperatureLimits(s)); })
        .def("reading_limits",
             [](const core::Sensor& s) { return limitsTuple(core::readingLimits(s)); })
        .def(
            "exact_temperature_limits",
            [](const core::Sensor& s) { return limitsTuple(core::exactTemperatureLimits(s.type)); })
        .def("exact_reading_limits",
             [](const core::Sensor& s) { return limitsTuple(core::exactReadingLimits(s.type)); })
        .def("has_class",
             [](const core::Sensor& s, int c) { return core::hasClass(s, toleranceClass(c)); })
        .def("tolerance_limits",
             [](const core::Sensor& s, int c, int e) -> std::optional<LimitsTuple> {
                 const auto l = core::toleranceLimits(s, toleranceClass(c), element(e));
                 if (!l) return std::nullopt;
                 return limitsTuple(*l);
             })
        .def("exact_status",
             [](const core::Sensor& s, double reading, double t0) {
                 return guarded([&] {
                     return static_cast<double>(core::exactTemperatureAgainstReference(
                                                    s.type, reading, core::reading(s, t0))
                                                    .status);
                 });
             })
        .def("ufunc", &makeUfunc, py::arg("op"), py::arg("cls"), py::arg("element"),
             py::arg("name"), py::arg("doc"))
        .def("scalar", &makeScalar, py::arg("op"), py::arg("cls"), py::arg("element"))
        .def(py::self == py::self)
        .def("__hash__", [](const core::Sensor& s) {
            return py::hash(py::make_tuple(static_cast<int>(s.kind), static_cast<int>(s.type),
                                           static_cast<int>(s.material), s.r0Ohm, s.cvd.a, s.cvd.b,
                                           s.cvd.c));
        });

    py::enum_<Op>(m, "Op")
        .value("emf", Op::emf)
        .value("temperature", Op::temperature)
        .value("exact_temperature", Op::exactTemperature)
        .value("reading", Op::reading)
        .value("inverse", Op::inverse)
        .value("exact_inverse", Op::exactInverse)
        .value("slope", Op::slope)
        .value("tolerance", Op::tolerance);

    m.def("sensor_from_code",
          [](const std::string& code) { return checked(core::parseSensorCode(code)); });
    m.def("platinum", [](double r0, double a, double b, double c) {
        return checked(core::platinumSensor(r0, {a, b, c}));
    });
    m.def("copper", [](double r0) { return checked(core::copperSensor(r0)); });
    m.def("nickel", [](double r0) { return checked(core::nickelSensor(r0)); });
    m.def("callendar", [](double alpha, double delta, double beta) {
        const core::CvdCoefficients k = core::callendarCoefficients(alpha, delta, beta);
        return std::tuple{k.a, k.b, k.c};
    });
    m.attr("IEC_60751") = std::tuple{core::kIec60751.a, core::kIec60751.b, core::kIec60751.c};
    m.def("window_sensors", [] {
        std::vector<core::Sensor> out;
        for (int i = 0; i < core::kSensorCount; ++i) out.push_back(core::windowSensor(i));
        return out;
    });
    m.def("tolerance_class", [](const std::string& text) -> std::optional<int> {
        const auto c = core::parseToleranceClass(text);
        if (!c) return std::nullopt;
        return static_cast<int>(*c);
    });
    m.def("tolerance_class_name",
          [](int c) { return std::string(core::toleranceClassName(toleranceClass(c))); });
    m.def("table", &table);
    // kelvora-cli's wording, for the Python layer's messages.
    m.def("known_sensors", [] { return answers::knownSensors(); });
    m.def("range_text", [](const LimitsTuple& l, int decimals, const std::string& unit) {
        const auto& [lo, hi, loIncluded, hiIncluded] = l;
        return answers::rangeText({lo, hi, hiIncluded, loIncluded}, decimalsOf(decimals), unit,
                                  answers::Say(false));
    });
    m.def("out_of_range",
          [](const std::string& what, const std::string& text, const std::string& unit,
             const core::Sensor& s, const std::string& range) {
              return answers::outOfRangeMessage(what, text, unit, s, range, answers::Say(false));
          });
    m.def("format_fixed",
          [](double v, int decimals) { return core::formatFixed(v, decimalsOf(decimals)); });
    m.def("format_trimmed",
          [](double v, int decimals) { return core::formatTrimmed(v, decimalsOf(decimals)); });
    m.def("format_fixed_all", &formatted);

    // Transmitters and the loop-check sheet.
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
