// kelvora._core's transmitters and loop-check sheets.
#pragma once

#include <pybind11/pybind11.h>

namespace kelvora::python {

// Adds transmitter_output, transmitter_temperature and transmitter_state (ufuncs), transmitter,
// no_temperature, sheet_percents, loop_check and MAX_SHEET_POINTS to the module.
void bindLoop(pybind11::module_& m);

}  // namespace kelvora::python
