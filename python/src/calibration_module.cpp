// kelvora._core's calibrations, over the layer kelvora-cli's fit and --deviation stand on: the
// same report, the same refusals in the same words. Arrays arrive checked by the Python layer
// (kelvora/_calibration.py): one dimension, as many temperatures as values.
#define NPY_NO_DEPRECATED_API NPY_1_7_API_VERSION
#include "python/src/calibration_module.hpp"

#include <pybind11/numpy.h>
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

#include "answers/calibration.hpp"
#include "answers/messages.hpp"
#include "core/conversion.hpp"
#include "core/reference_junction.hpp"
#include "core/sensor.hpp"
#include "core/thermocouple_deviation.hpp"

namespace py = pybind11;
namespace core = kelvora::core;
namespace answers = kelvora::answers;

namespace kelvora::python {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using Array = py::array_t<double, py::array::c_style | py::array::forcecast>;

answers::PointTable pointsOf(const Array& x, const Array& y) {
    answers::PointTable p;
    p.x.assign(x.data(), x.data() + x.size());
    p.y.assign(y.data(), y.data() + y.size());
    return p;
}

py::array_t<double> arrayOf(const std::vector<double>& v) {
    py::array_t<double> a(static_cast<py::ssize_t>(v.size()));
    std::copy(v.begin(), v.end(), a.mutable_data());
    return a;
}

// (r0, a, b, c, alpha, delta, beta, fitted R, residuals in Ω, residuals in mK, the largest in
// mK), as kelvora-cli fit reports them; ValueError with its message when refused.
py::tuple fitCvd(const Array& t, const Array& r, std::optional<double> r0) {
    answers::CvdReport report;
    try {
        report = answers::cvdReport(pointsOf(t, r), r0, answers::Say(false));
    } catch (const answers::Failure& f) {
        throw py::value_error(f.message);
    }
    std::vector<double> fit, ohm, mk;
    for (const answers::FitPoint& p : report.points) {
        fit.push_back(p.fit);
        ohm.push_back(p.residualOhm);
        mk.push_back(p.residualMk);
    }
    const core::CvdCoefficients& k = report.fit.cvd;
    const core::CallendarConstants& c = report.constants;
    return py::make_tuple(report.fit.r0Ohm, k.a, k.b, k.c, c.alpha, c.delta, c.beta, arrayOf(fit),
                          arrayOf(ohm), arrayOf(mk), report.maxResidualMk);
}

// What a deviation's ufunc computes: of two arguments (x, t0), emf E + ΔE at x less the same
// at t0, temperature the inverse at x + (E + ΔE)(t0); of one, reading E + ΔE itself against
// 0 °C, inverse its inverse there, slope.
enum class DeviationOp : std::uint8_t { emf, temperature, reading, inverse, slope };

constexpr bool twoArguments(DeviationOp op) {
    return op == DeviationOp::emf || op == DeviationOp::temperature;
}

double orNaN(double v) {
    return core::outOfRange(v) ? kNaN : v;
}

double valueOf(const core::ThermocoupleDeviation& d, DeviationOp op, double x, double t0) {
    switch (op) {
        case DeviationOp::emf: {
            const double e = core::correctedEmf(d, x), e0 = core::correctedEmf(d, t0);
            return core::outOfRange(e) || core::outOfRange(e0) ? kNaN : e - e0;
        }
        case DeviationOp::temperature: {
            const double e0 = core::correctedEmf(d, t0);
            if (core::outOfRange(e0)) return kNaN;
            return orNaN(core::correctedTemperature(d, x + e0).temperatureC);
        }
        case DeviationOp::reading:
            return orNaN(core::correctedEmf(d, x));
        case DeviationOp::inverse:
            return orNaN(core::correctedTemperature(d, x).temperatureC);
        case DeviationOp::slope:
            return orNaN(core::correctedSlope(d, x));
    }
    return kNaN;
}

double guardedValue(const core::ThermocoupleDeviation& d, DeviationOp op, double x, double t0) {
    try {
        return valueOf(d, op, x, t0);
    } catch (...) {  // a ConversionFault, which the range tests keep from happening
        return kNaN;
    }
}

struct UfuncParts {
    core::ThermocoupleDeviation deviation;
    DeviationOp op;
    std::string name, doc;
    PyUFuncGenericFunction functions[1];
    void* data[1];
    char types[3];
};

template <bool two>
void loop(char** args, const npy_intp* dimensions, const npy_intp* steps, void* data) {
    const auto& parts = *static_cast<const UfuncParts*>(data);
    const char* x = args[0];
    const char* t0 = args[1];
    char* out = args[two ? 2 : 1];
    const npy_intp outStep = steps[two ? 2 : 1];
    for (npy_intp i = 0; i < dimensions[0]; ++i) {
        const double a = *reinterpret_cast<const double*>(x + i * steps[0]);
        const double b = two ? *reinterpret_cast<const double*>(t0 + i * steps[1]) : 0.0;
        *reinterpret_cast<double*>(out + i * outStep) =
            guardedValue(parts.deviation, parts.op, a, b);
    }
    std::feclearexcept(FE_ALL_EXCEPT);  // NaN's comparisons raise invalid: no fault of anyone's
}

py::object makeUfunc(const core::ThermocoupleDeviation& d, DeviationOp op, const std::string& name,
                     const std::string& doc) {
    auto* parts = new UfuncParts{d, op, name, doc, {}, {}, {}};
    py::capsule owner(parts, [](void* p) { delete static_cast<UfuncParts*>(p); });
    const bool two = twoArguments(op);
    parts->functions[0] = two ? loop<true> : loop<false>;
    parts->data[0] = parts;
    parts->types[0] = parts->types[1] = parts->types[2] = NPY_DOUBLE;
    PyObject* u =
        PyUFunc_FromFuncAndData(parts->functions, parts->data, parts->types, 1, two ? 2 : 1, 1,
                                PyUFunc_None, parts->name.c_str(), parts->doc.c_str(), 0);
    if (u == nullptr) throw py::error_already_set();
    reinterpret_cast<PyUFuncObject*>(u)->obj = owner.release().ptr();
    return py::reinterpret_steal<py::object>(u);
}

// Every field of a deviation, as its ufuncs' names carry it: the type's index, the degree, the
// four coefficients, mid, scale, the calibrated and the rising temperatures, the points.
using Fields = std::tuple<int, int, std::array<double, 4>, double, double, double, double, double,
                          double, std::size_t>;

Fields fieldsOf(const core::ThermocoupleDeviation& d) {
    return {static_cast<int>(d.type), d.degree,       d.c,        d.mid,      d.scale,
            d.calibratedLo,           d.calibratedHi, d.risingLo, d.risingHi, d.points};
}

core::ThermocoupleDeviation deviationOfFields(const Fields& f) {
    core::ThermocoupleDeviation d;
    int type = 0;
    std::tie(type, d.degree, d.c, d.mid, d.scale, d.calibratedLo, d.calibratedHi, d.risingLo,
             d.risingHi, d.points) = f;
    if (type < 0 || type > 7 || d.degree < 0 || d.degree > core::kMaxDeviationDegree)
        throw py::value_error("not the fields of a deviation");
    d.type = static_cast<core::ThermocoupleType>(type);
    return d;
}

core::Sensor sensorOf(const core::ThermocoupleDeviation& d) {
    return core::thermocoupleSensor(d.type);
}

answers::CalibratedThermocouple against(const core::ThermocoupleDeviation& d, double t0) {
    return {sensorOf(d), d, t0, core::correctedEmf(d, t0)};
}

}  // namespace

void bindCalibration(py::module_& m) {
    // numpy's C API tables are this file's own: imported here too.
    if (_import_array() < 0 || _import_umath() < 0) throw py::error_already_set();
    m.def("fit_cvd", &fitCvd, py::arg("t"), py::arg("r"), py::arg("r0"));

    py::enum_<DeviationOp>(m, "DeviationOp")
        .value("emf", DeviationOp::emf)
        .value("temperature", DeviationOp::temperature)
        .value("reading", DeviationOp::reading)
        .value("inverse", DeviationOp::inverse)
        .value("slope", DeviationOp::slope);

    py::class_<core::ThermocoupleDeviation>(
        m, "Deviation", "A thermocouple's own deviation from its reference function.")
        .def_readonly("degree", &core::ThermocoupleDeviation::degree)
        .def_readonly("points", &core::ThermocoupleDeviation::points)
        .def_property_readonly("calibrated",
                               [](const core::ThermocoupleDeviation& d) {
                                   return std::tuple{d.calibratedLo, d.calibratedHi};
                               })
        .def_property_readonly("fields", &fieldsOf)
        .def("value",
             [](const core::ThermocoupleDeviation& d, DeviationOp op, double x, double t0) {
                 const double v = guardedValue(d, op, x, t0);
                 std::feclearexcept(FE_ALL_EXCEPT);
                 return v;
             })
        .def("ufunc", &makeUfunc, py::arg("op"), py::arg("name"), py::arg("doc"))
        .def("temperature_limits",
             [](const core::ThermocoupleDeviation& d) {
                 const core::Limits l = core::correctedTemperatureLimits(d);
                 return std::tuple{l.lo, l.hi, l.loIncluded, l.hiIncluded};
             })
        .def("reading_limits",
             [](const core::ThermocoupleDeviation& d) {
                 const core::Limits l = core::correctedReadingLimits(d);
                 return std::tuple{l.lo, l.hi, l.loIncluded, l.hiIncluded};
             })
        .def("reading_range",
             [](const core::ThermocoupleDeviation& d, double t0) {
                 return answers::calibratedReadingRange(against(d, t0), answers::Say(false));
             })
        .def("extrapolation_note", [](const core::ThermocoupleDeviation& d, double lo, double hi,
                                      const std::string& what) {
            return answers::extrapolationNote(d, lo, hi, what, answers::Say(false));
        });

    m.def(
        "deviation",
        [](const core::Sensor& s, const Array& t, const Array& e, std::optional<int> degree) {
            try {
                return answers::thermocoupleDeviation(s, pointsOf(t, e), degree,
                                                      answers::Say(false));
            } catch (const answers::Failure& f) {
                throw py::value_error(f.message);
            }
        },
        py::arg("sensor"), py::arg("t"), py::arg("deviation_uv"), py::arg("degree"));
    m.def("deviation_from_fields", &deviationOfFields);
}

}  // namespace kelvora::python
