// ITS-90 thermocouple coefficients, as published in NIST Standard Reference Database 60
// (NIST Monograph 175; file allcoeff.tab). Every literal is the published decimal value;
// the compiler rounds each to the nearest double. Ascending powers: c[0] + c[1]·x + …
#pragma once

#include <array>
#include <span>

#include "core/piecewise.hpp"
#include "core/sensor.hpp"

namespace kelvora::core::its90 {

// ---- Type S ------------------------------------------------------------------------------

// Reference function E(t), mV, type S: -50.000 ≤ t < 1064.180 °C.
inline constexpr std::array<double, 9> kES0{
    0.000000000000E+00,  0.540313308631E-02,  0.125934289740E-04,
    -0.232477968689E-07, 0.322028823036E-10,  -0.331465196389E-13,
    0.255744251786E-16,  -0.125068871393E-19, 0.271443176145E-23,
};

// Reference function E(t), mV, type S: 1064.180 ≤ t < 1664.500 °C.
inline constexpr std::array<double, 5> kES1{
    0.132900444085E+01,  0.334509311344E-02, 0.654805192818E-05,
    -0.164856259209E-08, 0.129989605174E-13,
};

// Reference function E(t), mV, type S: 1664.5 ≤ t ≤ 1768.1 °C.
inline constexpr std::array<double, 5> kES2{
    0.146628232636E+03,  -0.258430516752E+00, 0.163693574641E-03,
    -0.330439046987E-07, -0.943223690612E-14,
};

// Inverse t(E), °C, type S: published for -50.0 to 250.0 °C, -0.235 to 1.874 mV;
// used for -0.235 ≤ E < 1.874 mV; error -0.02 to 0.02 °C.
inline constexpr std::array<double, 10> kTS0{
    0.00000000E+00, 1.84949460E+02,  -8.00504062E+01, 1.02237430E+02,  -1.52248592E+02,
    1.88821343E+02, -1.59085941E+02, 8.23027880E+01,  -2.34181944E+01, 2.79786260E+00,
};

// Inverse t(E), °C, type S: published for 250.0 to 1200.0 °C, 1.874 to 11.950 mV;
// used for 1.874 ≤ E < 11.95 mV; error -0.01 to 0.01 °C.
inline constexpr std::array<double, 10> kTS1{
    1.291507177E+01, 1.466298863E+02,  -1.534713402E+01, 3.145945973E+00,  -4.163257839E-01,
    3.187963771E-02, -1.291637500E-03, 2.183475087E-05,  -1.447379511E-07, 8.211272125E-09,
};

// Inverse t(E), °C, type S: published for 1064.0 to 1664.5 °C, 10.332 to 17.536 mV;
// used for 11.95 ≤ E < 17.536 mV; error -0.0002 to 0.0002 °C.
inline constexpr std::array<double, 6> kTS2{
    -8.087801117E+01, 1.621573104E+02,  -8.536869453E+00,
    4.719686976E-01,  -1.441693666E-02, 2.081618890E-04,
};

// Inverse t(E), °C, type S: published for 1664.5 to 1768.1 °C, 17.536 to 18.693 mV;
// used for 17.536 ≤ E ≤ 18.693 mV; error -0.002 to 0.002 °C.
inline constexpr std::array<double, 5> kTS3{
    5.333875126E+04, -1.235892298E+04, 1.092657613E+03, -4.265693686E+01, 6.247205420E-01,
};

inline constexpr std::array<Piece, 3> kEmfS{{
    {-50.000, true, 1064.180, false, kES0},
    {1064.180, true, 1664.500, false, kES1},
    {1664.5, true, 1768.1, true, kES2},
}};

inline constexpr std::array<Piece, 4> kTemperatureS{{
    {-0.235, true, 1.874, false, kTS0},
    {1.874, true, 11.95, false, kTS1},
    {11.95, true, 17.536, false, kTS2},
    {17.536, true, 18.693, true, kTS3},
}};

// ---- Type R ------------------------------------------------------------------------------

// Reference function E(t), mV, type R: -50.000 ≤ t < 1064.180 °C.
inline constexpr std::array<double, 10> kER0{
    0.000000000000E+00, 0.528961729765E-02,  0.139166589782E-04, -0.238855693017E-07,
    0.356916001063E-10, -0.462347666298E-13, 0.500777441034E-16, -0.373105886191E-19,
    0.157716482367E-22, -0.281038625251E-26,
};

// Reference function E(t), mV, type R: 1064.180 ≤ t < 1664.500 °C.
inline constexpr std::array<double, 6> kER1{
    0.295157925316E+01,  -0.252061251332E-02, 0.159564501865E-04,
    -0.764085947576E-08, 0.205305291024E-11,  -0.293359668173E-15,
};

// Reference function E(t), mV, type R: 1664.5 ≤ t ≤ 1768.1 °C.
inline constexpr std::array<double, 5> kER2{
    0.152232118209E+03,  -0.268819888545E+00, 0.171280280471E-03,
    -0.345895706453E-07, -0.934633971046E-14,
};

// Inverse t(E), °C, type R: published for -50.0 to 250.0 °C, -0.226 to 1.923 mV;
// used for -0.226 ≤ E < 1.923 mV; error -0.02 to 0.02 °C.
inline constexpr std::array<double, 11> kTR0{
    0.0000000E+00,  1.8891380E+02, -9.3835290E+01, 1.3068619E+02, -2.2703580E+02, 3.5145659E+02,
    -3.8953900E+02, 2.8239471E+02, -1.2607281E+02, 3.1353611E+01, -3.3187769E+00,
};

// Inverse t(E), °C, type R: published for 250.0 to 1200.0 °C, 1.923 to 13.228 mV;
// used for 1.923 ≤ E < 13.228 mV; error -0.005 to 0.005 °C.
inline constexpr std::array<double, 10> kTR1{
    1.334584505E+01, 1.472644573E+02,  -1.844024844E+01, 4.031129726E+00,  -6.249428360E-01,
    6.468412046E-02, -4.458750426E-03, 1.994710149E-04,  -5.313401790E-06, 6.481976217E-08,
};

// Inverse t(E), °C, type R: published for 1064.0 to 1664.5 °C, 11.361 to 19.739 mV;
// used for 13.228 ≤ E ≤ 19.739 mV; error -0.0005 to 0.001 °C.
inline constexpr std::array<double, 6> kTR2{
    -8.199599416E+01, 1.553962042E+02,  -8.342197663E+00,
    4.279433549E-01,  -1.191577910E-02, 1.492290091E-04,
};

// Inverse t(E), °C, type R: published for 1664.5 to 1768.1 °C, 19.739 to 21.103 mV;
// used for 19.739 < E < 21.103 mV; error -0.001 to 0.002 °C.
inline constexpr std::array<double, 5> kTR3{
    3.406177836E+04, -7.023729171E+03, 5.582903813E+02, -1.952394635E+01, 2.560740231E-01,
};

inline constexpr std::array<Piece, 3> kEmfR{{
    {-50.000, true, 1064.180, false, kER0},
    {1064.180, true, 1664.500, false, kER1},
    {1664.5, true, 1768.1, true, kER2},
}};

inline constexpr std::array<Piece, 4> kTemperatureR{{
    {-0.226, true, 1.923, false, kTR0},
    {1.923, true, 13.228, false, kTR1},
    {13.228, true, 19.739, true, kTR2},
    {19.739, false, 21.103, false, kTR3},
}};

// ---- Type B ------------------------------------------------------------------------------

// Reference function E(t), mV, type B: 0.000 ≤ t < 630.615 °C.
inline constexpr std::array<double, 7> kEB0{
    0.000000000000E+00, -0.246508183460E-03, 0.590404211710E-05, -0.132579316360E-08,
    0.156682919010E-11, -0.169445292400E-14, 0.629903470940E-18,
};

// Reference function E(t), mV, type B: 630.615 ≤ t ≤ 1820.000 °C.
inline constexpr std::array<double, 9> kEB1{
    -0.389381686210E+01, 0.285717474700E-01,  -0.848851047850E-04,
    0.157852801640E-06,  -0.168353448640E-09, 0.111097940130E-12,
    -0.445154310330E-16, 0.989756408210E-20,  -0.937913302890E-24,
};

// Inverse t(E), °C, type B: published for 250.0 to 700.0 °C, 0.291 to 2.431 mV;
// used for 0.291 ≤ E < 2.431 mV; error -0.02 to 0.03 °C.
inline constexpr std::array<double, 9> kTB0{
    9.8423321E+01, 6.9971500E+02,  -8.4765304E+02, 1.0052644E+03,  -8.3345952E+02,
    4.5508542E+02, -1.5523037E+02, 2.9886750E+01,  -2.4742860E+00,
};

// Inverse t(E), °C, type B: published for 700.0 to 1820.0 °C, 2.431 to 13.820 mV;
// used for 2.431 ≤ E ≤ 13.82 mV; error -0.01 to 0.02 °C.
inline constexpr std::array<double, 9> kTB1{
    2.1315071E+02, 2.8510504E+02,  -5.2742887E+01, 9.9160804E+00,  -1.2965303E+00,
    1.1195870E-01, -6.0625199E-03, 1.8661696E-04,  -2.4878585E-06,
};

inline constexpr std::array<Piece, 2> kEmfB{{
    {0.000, true, 630.615, false, kEB0},
    {630.615, true, 1820.000, true, kEB1},
}};

inline constexpr std::array<Piece, 2> kTemperatureB{{
    {0.291, true, 2.431, false, kTB0},
    {2.431, true, 13.82, true, kTB1},
}};

// ---- Type K ------------------------------------------------------------------------------

// Reference function E(t), mV, type K: -270.000 ≤ t < 0.000 °C.
inline constexpr std::array<double, 11> kEK0{
    0.000000000000E+00,  0.394501280250E-01,  0.236223735980E-04,  -0.328589067840E-06,
    -0.499048287770E-08, -0.675090591730E-10, -0.574103274280E-12, -0.310888728940E-14,
    -0.104516093650E-16, -0.198892668780E-19, -0.163226974860E-22,
};

// Reference function E(t), mV, type K: 0.000 ≤ t ≤ 1372.000 °C.
inline constexpr std::array<double, 10> kEK1{
    -0.176004136860E-01, 0.389212049750E-01,  0.185587700320E-04, -0.994575928740E-07,
    0.318409457190E-09,  -0.560728448890E-12, 0.560750590590E-15, -0.320207200030E-18,
    0.971511471520E-22,  -0.121047212750E-25,
};

// Type K, 0 to 1372 °C only: E(t) += a0 · exp(a1 · (t - a2)²).
inline constexpr Exponential kEK1Exponential{0.118597600000E+00, -0.118343200000E-03,
                                             0.126968600000E+03};

// Inverse t(E), °C, type K: published for -200.0 to 0.0 °C, -5.891 to 0.000 mV;
// used for -5.891 ≤ E < 0.0 mV; error -0.02 to 0.04 °C.
inline constexpr std::array<double, 9> kTK0{
    0.0000000E+00,  2.5173462E+01,  -1.1662878E+00, -1.0833638E+00, -8.9773540E-01,
    -3.7342377E-01, -8.6632643E-02, -1.0450598E-02, -5.1920577E-04,
};

// Inverse t(E), °C, type K: published for 0.0 to 500.0 °C, 0.000 to 20.644 mV;
// used for 0.0 ≤ E ≤ 20.644 mV; error -0.05 to 0.04 °C.
inline constexpr std::array<double, 10> kTK1{
    0.000000E+00,  2.508355E+01, 7.860106E-02,  -2.503131E-01, 8.315270E-02,
    -1.228034E-02, 9.804036E-04, -4.413030E-05, 1.057734E-06,  -1.052755E-08,
};

// Inverse t(E), °C, type K: published for 500.0 to 1372.0 °C, 20.644 to 54.886 mV;
// used for 20.644 < E ≤ 54.886 mV; error -0.05 to 0.06 °C.
inline constexpr std::array<double, 7> kTK2{
    -1.318058E+02, 4.830222E+01, -1.646031E+00, 5.464731E-02,
    -9.650715E-04, 8.802193E-06, -3.110810E-08,
};

inline constexpr std::array<Piece, 2> kEmfK{{
    {-270.000, true, 0.000, false, kEK0},
    {0.000, true, 1372.000, true, kEK1, &kEK1Exponential},
}};

inline constexpr std::array<Piece, 3> kTemperatureK{{
    {-5.891, true, 0.0, false, kTK0},
    {0.0, true, 20.644, true, kTK1},
    {20.644, false, 54.886, true, kTK2},
}};

// ---- Type N ------------------------------------------------------------------------------

// Reference function E(t), mV, type N: -270.000 ≤ t < 0.000 °C.
inline constexpr std::array<double, 9> kEN0{
    0.000000000000E+00,  0.261591059620E-01,  0.109574842280E-04,
    -0.938411115540E-07, -0.464120397590E-10, -0.263033577160E-11,
    -0.226534380030E-13, -0.760893007910E-16, -0.934196678350E-19,
};

// Reference function E(t), mV, type N: 0.0 ≤ t ≤ 1300.0 °C.
inline constexpr std::array<double, 11> kEN1{
    0.000000000000E+00,  0.259293946010E-01, 0.157101418800E-04,  0.438256272370E-07,
    -0.252611697940E-09, 0.643118193390E-12, -0.100634715190E-14, 0.997453389920E-18,
    -0.608632456070E-21, 0.208492293390E-24, -0.306821961510E-28,
};

// Inverse t(E), °C, type N: published for -200.0 to 0.0 °C, -3.990 to 0.000 mV;
// used for -3.99 ≤ E < 0.0 mV; error -0.02 to 0.03 °C.
inline constexpr std::array<double, 10> kTN0{
    0.0000000E+00, 3.8436847E+01, 1.1010485E+00, 5.2229312E+00, 7.2060525E+00,
    5.8488586E+00, 2.7754916E+00, 7.7075166E-01, 1.1582665E-01, 7.3138868E-03,
};

// Inverse t(E), °C, type N: published for 0.0 to 600.0 °C, 0.000 to 20.613 mV;
// used for 0.0 ≤ E ≤ 20.613 mV; error -0.02 to 0.03 °C.
inline constexpr std::array<double, 8> kTN1{
    0.00000E+00,  3.86896E+01,  -1.08267E+00, 4.70205E-02,
    -2.12169E-06, -1.17272E-04, 5.39280E-06,  -7.98156E-08,
};

// Inverse t(E), °C, type N: published for 600.0 to 1300.0 °C, 20.613 to 47.513 mV;
// used for 20.613 < E ≤ 47.513 mV; error -0.04 to 0.02 °C.
inline constexpr std::array<double, 6> kTN2{
    1.972485E+01, 3.300943E+01, -3.915159E-01, 9.855391E-03, -1.274371E-04, 7.767022E-07,
};

inline constexpr std::array<Piece, 2> kEmfN{{
    {-270.000, true, 0.000, false, kEN0},
    {0.0, true, 1300.0, true, kEN1},
}};

inline constexpr std::array<Piece, 3> kTemperatureN{{
    {-3.99, true, 0.0, false, kTN0},
    {0.0, true, 20.613, true, kTN1},
    {20.613, false, 47.513, true, kTN2},
}};

// ---- Type E ------------------------------------------------------------------------------

// Reference function E(t), mV, type E: -270.000 ≤ t < 0.000 °C.
inline constexpr std::array<double, 14> kEE0{
    0.000000000000E+00,  0.586655087080E-01,  0.454109771240E-04,  -0.779980486860E-06,
    -0.258001608430E-07, -0.594525830570E-09, -0.932140586670E-11, -0.102876055340E-12,
    -0.803701236210E-15, -0.439794973910E-17, -0.164147763550E-19, -0.396736195160E-22,
    -0.558273287210E-25, -0.346578420130E-28,
};

// Reference function E(t), mV, type E: 0.000 ≤ t ≤ 1000.000 °C.
inline constexpr std::array<double, 11> kEE1{
    0.000000000000E+00,  0.586655087100E-01,  0.450322755820E-04,  0.289084072120E-07,
    -0.330568966520E-09, 0.650244032700E-12,  -0.191974955040E-15, -0.125366004970E-17,
    0.214892175690E-20,  -0.143880417820E-23, 0.359608994810E-27,
};

// Inverse t(E), °C, type E: published for -200.0 to 0.0 °C, -8.825 to 0.000 mV;
// used for -8.825 ≤ E < 0.0 mV; error -0.01 to 0.03 °C.
inline constexpr std::array<double, 9> kTE0{
    0.0000000E+00,  1.6977288E+01,  -4.3514970E-01, -1.5859697E-01, -9.2502871E-02,
    -2.6084314E-02, -4.1360199E-03, -3.4034030E-04, -1.1564890E-05,
};

// Inverse t(E), °C, type E: published for 0.0 to 1000.0 °C, 0.000 to 76.373 mV;
// used for 0.0 ≤ E ≤ 76.373 mV; error -0.02 to 0.02 °C.
inline constexpr std::array<double, 10> kTE1{
    0.0000000E+00,  1.7057035E+01, -2.3301759E-01, 6.5435585E-03, -7.3562749E-05,
    -1.7896001E-06, 8.4036165E-08, -1.3735879E-09, 1.0629823E-11, -3.2447087E-14,
};

inline constexpr std::array<Piece, 2> kEmfE{{
    {-270.000, true, 0.000, false, kEE0},
    {0.000, true, 1000.000, true, kEE1},
}};

inline constexpr std::array<Piece, 2> kTemperatureE{{
    {-8.825, true, 0.0, false, kTE0},
    {0.0, true, 76.373, true, kTE1},
}};

// ---- Type J ------------------------------------------------------------------------------

// Reference function E(t), mV, type J: -210.000 ≤ t < 760.000 °C.
inline constexpr std::array<double, 9> kEJ0{
    0.000000000000E+00,  0.503811878150E-01,  0.304758369300E-04,
    -0.856810657200E-07, 0.132281952950E-09,  -0.170529583370E-12,
    0.209480906970E-15,  -0.125383953360E-18, 0.156317256970E-22,
};

// Reference function E(t), mV, type J: 760.000 ≤ t ≤ 1200.000 °C.
inline constexpr std::array<double, 6> kEJ1{
    0.296456256810E+03,  -0.149761277860E+01, 0.317871039240E-02,
    -0.318476867010E-05, 0.157208190040E-08,  -0.306913690560E-12,
};

// Inverse t(E), °C, type J: published for -210.0 to 0.0 °C, -8.095 to 0.000 mV;
// used for -8.095 ≤ E < 0.0 mV; error -0.05 to 0.03 °C.
inline constexpr std::array<double, 9> kTJ0{
    0.0000000E+00,  1.9528268E+01,  -1.2286185E+00, -1.0752178E+00, -5.9086933E-01,
    -1.7256713E-01, -2.8131513E-02, -2.3963370E-03, -8.3823321E-05,
};

// Inverse t(E), °C, type J: published for 0.0 to 760.0 °C, 0.000 to 42.919 mV;
// used for 0.0 ≤ E < 42.919 mV; error -0.04 to 0.04 °C.
inline constexpr std::array<double, 8> kTJ1{
    0.000000E+00,  1.978425E+01, -2.001204E-01, 1.036969E-02,
    -2.549687E-04, 3.585153E-06, -5.344285E-08, 5.099890E-10,
};

// Inverse t(E), °C, type J: published for 760.0 to 1200.0 °C, 42.919 to 69.553 mV;
// used for 42.919 ≤ E ≤ 69.553 mV; error -0.04 to 0.03 °C.
inline constexpr std::array<double, 6> kTJ2{
    -3.11358187E+03, 3.00543684E+02,  -9.94773230E+00,
    1.70276630E-01,  -1.43033468E-03, 4.73886084E-06,
};

inline constexpr std::array<Piece, 2> kEmfJ{{
    {-210.000, true, 760.000, false, kEJ0},
    {760.000, true, 1200.000, true, kEJ1},
}};

inline constexpr std::array<Piece, 3> kTemperatureJ{{
    {-8.095, true, 0.0, false, kTJ0},
    {0.0, true, 42.919, false, kTJ1},
    {42.919, true, 69.553, true, kTJ2},
}};

// ---- Type T ------------------------------------------------------------------------------

// Reference function E(t), mV, type T: -270.000 ≤ t < 0.000 °C.
inline constexpr std::array<double, 15> kET0{
    0.000000000000E+00, 0.387481063640E-01, 0.441944343470E-04, 0.118443231050E-06,
    0.200329735540E-07, 0.901380195590E-09, 0.226511565930E-10, 0.360711542050E-12,
    0.384939398830E-14, 0.282135219250E-16, 0.142515947790E-18, 0.487686622860E-21,
    0.107955392700E-23, 0.139450270620E-26, 0.797951539270E-30,
};

// Reference function E(t), mV, type T: 0.000 ≤ t ≤ 400.000 °C.
inline constexpr std::array<double, 9> kET1{
    0.000000000000E+00,  0.387481063640E-01,  0.332922278800E-04,
    0.206182434040E-06,  -0.218822568460E-08, 0.109968809280E-10,
    -0.308157587720E-13, 0.454791352900E-16,  -0.275129016730E-19,
};

// Inverse t(E), °C, type T: published for -200.0 to 0.0 °C, -5.603 to 0.000 mV;
// used for -5.603 ≤ E < 0.0 mV; error -0.02 to 0.04 °C.
inline constexpr std::array<double, 8> kTT0{
    0.0000000E+00, 2.5949192E+01, -2.1316967E-01, 7.9018692E-01,
    4.2527777E-01, 1.3304473E-01, 2.0241446E-02,  1.2668171E-03,
};

// Inverse t(E), °C, type T: published for 0.0 to 400.0 °C, 0.000 to 20.872 mV;
// used for 0.0 ≤ E ≤ 20.872 mV; error -0.03 to 0.03 °C.
inline constexpr std::array<double, 7> kTT1{
    0.000000E+00,  2.592800E+01, -7.602961E-01, 4.637791E-02,
    -2.165394E-03, 6.048144E-05, -7.293422E-07,
};

inline constexpr std::array<Piece, 2> kEmfT{{
    {-270.000, true, 0.000, false, kET0},
    {0.000, true, 400.000, true, kET1},
}};

inline constexpr std::array<Piece, 2> kTemperatureT{{
    {-5.603, true, 0.0, false, kTT0},
    {0.0, true, 20.872, true, kTT1},
}};

// The reference function of a type as its ranges, for the callers that walk them at run time.
constexpr std::span<const Piece> referenceFunction(ThermocoupleType type) {
    switch (type) {
        case ThermocoupleType::S:
            return kEmfS;
        case ThermocoupleType::R:
            return kEmfR;
        case ThermocoupleType::B:
            return kEmfB;
        case ThermocoupleType::N:
            return kEmfN;
        case ThermocoupleType::E:
            return kEmfE;
        case ThermocoupleType::J:
            return kEmfJ;
        case ThermocoupleType::T:
            return kEmfT;
        case ThermocoupleType::K:
            break;
    }
    return kEmfK;
}

}  // namespace kelvora::core::its90
