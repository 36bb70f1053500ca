// ITS-90 reference functions of platinum resistance thermometers and their approximate
// inverses, as published in "The International Temperature Scale of 1990 (ITS-90)",
// H. Preston-Thomas, Metrologia 27, 3–10 (1990), section 3.3 and Table 4; the defining fixed
// points from its Table 1. Every literal is the published decimal value; ascending powers.
// W(T90) = R(T90)/R(273.16 K), Wr(T90) the reference function.
#pragma once

#include <array>

namespace kelvora::core::its90::prt {

// Reference function, 13.8033 K ≤ T90 < 273.16 K:
// ln Wr = A0 + Σ Ai·xⁱ, x = (ln(T90/273.16 K) + 1.5)/1.5.
inline constexpr std::array<double, 13> kA{
    -2.13534729, 3.18324720, -1.80143597, 0.71727204, 0.50344027, -0.61899395, -0.05332322,
    0.28021362,  0.10715224, -0.29302865, 0.04459872, 0.11868632, -0.05248134,
};

// Approximate inverse below 273.16 K, equivalent to kA within 0.1 mK:
// T90/273.16 K = B0 + Σ Bi·uⁱ, u = (Wr^(1/6) − 0.65)/0.35.
inline constexpr std::array<double, 16> kB{
    0.183324722,  0.240975303,  0.209108771,  0.190439972,  0.142648498, 0.077993465,
    0.012475611,  -0.032267127, -0.075291522, -0.056470670, 0.076201285, 0.123893204,
    -0.029201193, -0.091173542, 0.001317696,  0.026025526,
};

// Reference function, 273.15 K ≤ T90 ≤ 1234.93 K: Wr = C0 + Σ Ci·yⁱ, y = (T90/K − 754.15)/481.
inline constexpr std::array<double, 10> kC{
    2.78157254, 1.64650916, -0.13714390, -0.00649767, -0.00234444,
    0.00511868, 0.00187982, -0.00204472, -0.00046122, 0.00045724,
};

// Approximate inverse above 273.15 K, equivalent to kC within 0.1 mK:
// T90/K − 273.15 = D0 + Σ Di·vⁱ, v = (Wr − 2.64)/1.64.
inline constexpr std::array<double, 10> kD{
    439.932854, 472.418020, 37.684494, 7.472018, 2.920828,
    0.005184,   -0.963864,  -0.188732, 0.191203, 0.049025,
};

// The reference functions' ends, t90 in °C: 13.8033 K (the hydrogen triple point) and the
// silver freezing point.
inline constexpr double kLowestC = 13.8033 - 273.15;
inline constexpr double kHighestC = 961.78;

// The water triple point, where W = Wr = 1 by definition.
inline constexpr double kTriplePointC = 0.01;

// The deviation functions W − Wr by sub-range, as calibration certificates number them: a
// sub-range below the water triple point runs from its fixed point up to 0.01 °C, one above
// from 0.01 °C up to its fixed point, both ends included. With x = W − 1:
//   logarithmic (4, 5): ΔW = a·x + b·x·ln W
//   polynomial (7 to 11): ΔW = a·x + b·x² + c·x³, as many terms as the sub-range has
struct Subrange {
    int number;
    bool below;              // below 0.01 °C
    int coefficients;        // 1 to 3
    const char* fixedPoint;  // its lower end below 0.01 °C, its upper end above
    double fixedPointC;      // t90 of that fixed point, °C
};

inline constexpr std::array<Subrange, 7> kSubranges{{
    {4, true, 2, "argon triple point", -189.3442},
    {5, true, 2, "mercury triple point", -38.8344},
    {7, false, 3, "aluminium freezing point", 660.323},
    {8, false, 2, "zinc freezing point", 419.527},
    {9, false, 2, "tin freezing point", 231.928},
    {10, false, 1, "indium freezing point", 156.5985},
    {11, false, 1, "gallium melting point", 29.7646},
}};

}  // namespace kelvora::core::its90::prt
