// The floor of kelvora's array benchmarks (bench/python_bench.py): the core's own type K
// functions in a plain C++ loop over a numpy array, into an array made beforehand, with the
// GIL released as in a ufunc. What kelvora.emf and kelvora.temperature add on top of this is
// the binding's cost: numpy's ufunc machinery, the result's allocation, the range test's NaN.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include "core/thermocouple.hpp"

namespace py = pybind11;

namespace {

template <double (*f)(double)>
void loop(const py::array_t<double, 0>& in, py::array_t<double, 0>& out) {
    if (in.ndim() != 1 || out.ndim() != 1 || in.size() != out.size() ||
        in.strides(0) != sizeof(double) || out.strides(0) != sizeof(double))
        throw py::value_error("two contiguous 1-d float64 arrays of one size");
    const double* x = in.data();
    double* y = out.mutable_data();
    const py::ssize_t n = in.size();
    py::gil_scoped_release unlocked;
    for (py::ssize_t i = 0; i < n; ++i) y[i] = f(x[i]);
}

}  // namespace

PYBIND11_MODULE(kelvora_floor, m) {
    m.def("e_K", &loop<kelvora::core::e_K>, "out[i] = e_K(in[i])");
    m.def("t_K", &loop<kelvora::core::t_K>, "out[i] = t_K(in[i])");
}
