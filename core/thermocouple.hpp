// ITS-90 thermocouples, types S, R, B, K, N, E, J and T (NIST Monograph 175, IEC 60584-1).
//
// Temperatures are in °C (ITS-90), EMFs in mV with the reference junction at 0 °C. Every
// function returns kOutOfRange (-999) for an argument outside all of its ranges, NaN and
// ±infinity included, and throws ConversionFault should an evaluation ever produce a
// non-finite intermediate result (no argument that passes the range test can).
#pragma once

#include "core/conversion.hpp"

namespace kelvora::core {

// EMF from temperature: the ITS-90 reference functions. Lower limits are inclusive, a
// limit shared by two ranges belongs to the upper one, the top limit is inclusive.
double e_S(double t);  // -50 ≤ t ≤ 1768.1
double e_R(double t);  // -50 ≤ t ≤ 1768.1
double e_B(double t);  // 0 ≤ t ≤ 1820
double e_K(double t);  // -270 ≤ t ≤ 1372, with the exponential term from 0 °C up
double e_N(double t);  // -270 ≤ t ≤ 1300
double e_E(double t);  // -270 ≤ t ≤ 1000
double e_J(double t);  // -210 ≤ t ≤ 1200
double e_T(double t);  // -270 ≤ t ≤ 400

// EMF of thermocouple type `typ` (0 S, 1 R, 2 B, 3 K, 4 N, 5 E, 6 J, 7 T, compared for
// exact equality) at t1. Any other typ (a resistance thermometer's 8 to 11, a negative or
// fractional value) evaluates nothing and returns 0.
double e(double t1, double typ);

// Temperature from EMF: the ITS-90 approximate inverse polynomials, on their published EMF
// ranges. These cover less than the reference functions at the cold end (nothing below
// -200 °C for K, N, E and T; nothing below 0.291 mV for B). Range owners and limits:
double t_S(double e);  // -0.235 ≤ e ≤ 18.693; the third polynomial from 11.95 mV
double t_R(double e);  // -0.226 ≤ e < 21.103; the third polynomial from 13.228 mV
double t_B(double e);  // 0.291 ≤ e ≤ 13.82
double t_K(double e);  // -5.891 ≤ e ≤ 54.886; 20.644 mV belongs to the middle range
double t_N(double e);  // -3.99 ≤ e ≤ 47.513; 20.613 mV belongs to the middle range
double t_E(double e);  // -8.825 ≤ e ≤ 76.373
double t_J(double e);  // -8.095 ≤ e ≤ 69.553; 42.919 mV belongs to the top range
double t_T(double e);  // -5.603 ≤ e ≤ 20.872

// Temperature of thermocouple type `typ` at EMF e; 0 for any typ that is no thermocouple.
double t(double e, double typ);

}  // namespace kelvora::core
