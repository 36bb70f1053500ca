// The core's own exponential function, the same bits on every platform.
//
// The type K reference function adds a0 · exp(a1 · (t - a2)²) above 0 °C. The platforms'
// libraries compute exp differently in the last bit (glibc and the Windows runtime differ
// on about one argument in a thousand of those the K term takes), and that bit can reach
// the EMF. This exponential uses only additions, subtractions, multiplications, a table of
// constants and exact scaling by powers of two, so it gives the same bits wherever the
// core is built with IEEE double arithmetic, round to nearest and no fused multiply-add.
#pragma once

namespace kelvora::core {

// e^x for every double x. Within one ulp of the true value throughout; measured against a
// quadruple-precision reference: at most 0.511 ulp where the result is a normal double
// (x ≥ -708.39), at most 0.76 ulp where it is subnormal (down to x = -745.13). Below
// that the result is +0, above 709.78 it is +infinity; e^+∞ is +∞, e^-∞ is +0 and a NaN
// argument is returned as it is. The K term takes arguments from -183.5 to 0.
double portableExp(double x);

}  // namespace kelvora::core
