#include "core/thermocouple.hpp"

#include "core/its90_coefficients.hpp"
#include "core/piecewise.hpp"

namespace kelvora::core {

// clang-format off
double e_S(double t) { return evaluate<its90::kEmfS>(t); }
double e_R(double t) { return evaluate<its90::kEmfR>(t); }
double e_B(double t) { return evaluate<its90::kEmfB>(t); }
double e_K(double t) { return evaluate<its90::kEmfK>(t); }
double e_N(double t) { return evaluate<its90::kEmfN>(t); }
double e_E(double t) { return evaluate<its90::kEmfE>(t); }
double e_J(double t) { return evaluate<its90::kEmfJ>(t); }
double e_T(double t) { return evaluate<its90::kEmfT>(t); }

double t_S(double e) { return evaluate<its90::kTemperatureS>(e); }
double t_R(double e) { return evaluate<its90::kTemperatureR>(e); }
double t_B(double e) { return evaluate<its90::kTemperatureB>(e); }
double t_K(double e) { return evaluate<its90::kTemperatureK>(e); }
double t_N(double e) { return evaluate<its90::kTemperatureN>(e); }
double t_E(double e) { return evaluate<its90::kTemperatureE>(e); }
double t_J(double e) { return evaluate<its90::kTemperatureJ>(e); }
double t_T(double e) { return evaluate<its90::kTemperatureT>(e); }
// clang-format on

// The sensor index arrives as a double; only the exact whole numbers 0 to 7 name a
// thermocouple. Everything else, NaN included, names none and gives 0.
double e(double t1, double typ) {
    if (typ == 0) return e_S(t1);
    if (typ == 1) return e_R(t1);
    if (typ == 2) return e_B(t1);
    if (typ == 3) return e_K(t1);
    if (typ == 4) return e_N(t1);
    if (typ == 5) return e_E(t1);
    if (typ == 6) return e_J(t1);
    if (typ == 7) return e_T(t1);
    return 0.0;
}

double t(double e, double typ) {
    if (typ == 0) return t_S(e);
    if (typ == 1) return t_R(e);
    if (typ == 2) return t_B(e);
    if (typ == 3) return t_K(e);
    if (typ == 4) return t_N(e);
    if (typ == 5) return t_E(e);
    if (typ == 6) return t_J(e);
    if (typ == 7) return t_T(e);
    return 0.0;
}

}  // namespace kelvora::core
