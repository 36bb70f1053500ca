// kelvora._core's ITS-90 thermometers: one made from R_tpw and its deviations, and a sub-range's
// deviation coefficients fitted to points.
#pragma once

#include <pybind11/pybind11.h>

namespace kelvora::python {

// Adds its90 and fit_its90 to the module (after its Sensor class).
void bindIts90(pybind11::module_& m);

}  // namespace kelvora::python
