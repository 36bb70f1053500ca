// The floor of kelvora's array benchmarks (bench/python_bench.py): the core's own type K
// functions in a plain C++ loop over a numpy array, into a new array as a ufunc's result is,
// with the GIL released as numpy releases it. What kelvora.emf and kelvora.temperature add on
// top of this is the binding's cost: numpy's ufunc machinery, the reference junction, the
// range test's NaN.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include "core/thermocouple.hpp"

namespace py = pybind11;

namespace {

template <double (*f)(double)>
py::array_t<double> loop(const py::array_t<double, 0>& in) {
    if (in.ndim() != 1 || in.strides(0) != sizeof(double))
        throw py::value_error("a contiguous 1-d float64 array");
    const py::ssize_t n = in.size();
    py::array_t<double> out(n);
    const double* x = in.data();
    double* y = out.mutable_data();
    py::gil_scoped_release unlocked;
    for (py::ssize_t i = 0; i < n; ++i) y[i] = f(x[i]);
    return out;
}

}  // namespace

PYBIND11_MODULE(kelvora_floor, m) {
    m.def("e_K", &loop<kelvora::core::e_K>, "e_K(in[i]) for each i, as a new array");
    m.def("t_K", &loop<kelvora::core::t_K>, "t_K(in[i]) for each i, as a new array");
}
