// kelvora._core's calibrations: a platinum thermometer's coefficients fitted to points, and a
// thermocouple's own deviation with its ufuncs.
#pragma once

#include <pybind11/pybind11.h>

namespace kelvora::python {

// Adds fit_cvd, Deviation, deviation and deviation_from_fields to the module.
void bindCalibration(pybind11::module_& m);

}  // namespace kelvora::python
