// kelvora._core's ITS-90 thermometers, over the layer kelvora-cli's ITS90 and fit ITS90 stand on:
// the same thermometer, the same report, the same refusals in the same words. Arguments arrive
// checked by the Python layer (kelvora/_its90.py).
#include "python/src/its90_module.hpp"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "answers/calibration.hpp"
#include "answers/its90_calibration.hpp"
#include "answers/messages.hpp"
#include "core/sensor.hpp"

namespace py = pybind11;
namespace core = kelvora::core;
namespace answers = kelvora::answers;

namespace kelvora::python {

namespace {

using Array = py::array_t<double, py::array::c_style | py::array::forcecast>;

py::array_t<double> arrayOf(const std::vector<double>& v) {
    py::array_t<double> a(static_cast<py::ssize_t>(v.size()));
    std::copy(v.begin(), v.end(), a.mutable_data());
    return a;
}

// The thermometer, or None and the English sentence saying why there is none.
std::tuple<std::optional<core::Sensor>, std::string> its90(
    double rtpw, const std::vector<std::pair<int, std::vector<double>>>& deviations) {
    std::vector<core::Its90Given> given;
    for (const auto& [n, c] : deviations) given.push_back({n, c});
    const core::SensorOrError made = core::its90Sensor(rtpw, given);
    if (!made.ok()) return {std::nullopt, std::string(core::describe(made.error))};
    return {made.sensor, ""};
}

// (coefficients, the thermometer, fitted R, residuals in Ω, residuals in mK, the largest in
// mK), as kelvora-cli fit ITS90 reports them; ValueError with its message when refused.
py::tuple fitIts90(const Array& t, const Array& r, int subrange, double rtpw) {
    answers::PointTable points;
    points.x.assign(t.data(), t.data() + t.size());
    points.y.assign(r.data(), r.data() + r.size());
    answers::Its90Report report;
    try {
        report = answers::its90Report(points, subrange, rtpw, answers::Say(false));
    } catch (const answers::Failure& f) {
        throw py::value_error(f.message);
    }
    std::vector<double> fit, ohm, mk;
    for (const answers::FitPoint& p : report.points) {
        fit.push_back(p.fit);
        ohm.push_back(p.residualOhm);
        mk.push_back(p.residualMk);
    }
    const auto& c = report.fit.c;
    return py::make_tuple(std::vector<double>(c.begin(), c.begin() + report.fit.coefficients),
                          report.sensor, arrayOf(fit), arrayOf(ohm), arrayOf(mk),
                          report.maxResidualMk);
}

}  // namespace

void bindIts90(py::module_& m) {
    m.def("its90", &its90, py::arg("rtpw"), py::arg("deviations"));
    m.def("fit_its90", &fitIts90, py::arg("t"), py::arg("r"), py::arg("subrange"), py::arg("rtpw"));
}

}  // namespace kelvora::python
