// The sensor library: a sensor as a value, not only a list position, and every question the
// core answers about it.
//
// A Sensor is an ITS-90 thermocouple type, or a resistance thermometer given by its
// material, its nominal resistance R0 and (platinum) its Callendar–Van Dusen coefficients, or
// a platinum thermometer of the ITS-90 itself, given by its resistance at the water triple
// point and its deviation functions.
// The window's twelve sensors are particular values (windowSensor) and give the same bits
// here as through e, t, r_T and, within the window's resistance limits, t_Ohm. Every conversion is
// pure and allocation-free; like the rest of the core it returns kOutOfRange (-999) for an argument
// outside its ranges (NaN and ±infinity included) and throws ConversionFault should an evaluation
// ever turn non-finite.
//
// Units: temperatures in °C (ITS-90); EMFs in mV against a reference junction at 0 °C;
// resistances in Ω; thermocouple slopes in µV/°C, resistance thermometer slopes in Ω/°C.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/conversion.hpp"
#include "core/sensors.hpp"

namespace kelvora::core {

// The eight ITS-90 types; each one's value is its SensorIndex in the window's list.
enum class ThermocoupleType : std::uint8_t { S, R, B, K, N, E, J, T };

enum class RtdMaterial : std::uint8_t {
    platinum,  // IEC 60751, −200…850 °C
    copper,    // W = 1 + A·t + B·t² + C·t³, −50 °C up to 150 °C (150 itself excluded)
    nickel,    // DIN 43760, −60…250 °C
};

// Callendar–Van Dusen coefficients of a platinum thermometer:
// W = 1 + A·t + B·t² for t ≥ 0, plus C·(t − 100)·t³ below 0 °C.
struct CvdCoefficients {
    double a;  // 1/°C
    double b;  // 1/°C²
    double c;  // 1/°C⁴, below 0 °C only
    friend constexpr bool operator==(const CvdCoefficients&, const CvdCoefficients&) = default;
};

// The coefficients of IEC 60751 for industrial platinum thermometers.
inline constexpr CvdCoefficients kIec60751{3.9083E-3, -5.775E-7, -4.183E-12};

// A certificate's Callendar constants turned into A, B, C: A = α·(1 + δ/100),
// B = −α·δ·10⁻⁴, C = −α·β·10⁻⁸ (α in 1/°C, δ and β in °C; β acts below 0 °C only).
CvdCoefficients callendarCoefficients(double alpha, double delta, double beta);

// A certificate's platinum curve inverted ahead, when the sensor is made: the resistances cut
// into pieces of one width, an eighth of the span below 0 °C (so that R0 is where two pieces
// meet), and on each piece t(R) as a polynomial in u, −½ ≤ u ≤ ½, where x = R·perOhm − bias
// is the piece's number plus u. Within about 1e-13 °C, with no Newton step. Not made (fitted
// false) for IEC 60751's own coefficients, which keep the window's inverse and its bits, nor
// where the span above 0 °C needs more pieces than there are (an odd certificate's curve).
struct PlatinumInverse {
    static constexpr int kTerms = 8;
    static constexpr int kBelow = 8;    // the pieces below 0 °C
    static constexpr int kPieces = 40;  // at most, in all (about 37 for a Pt100)
    bool fitted = false;
    double perOhm = 0, bias = 0;
    double top = 0;  // the last piece's number + 0.375: x is held within −0.375…top
    // The pieces' coefficients, ascending powers of u, from the lowest resistance up.
    std::array<std::array<double, kTerms>, kPieces> c{};
    double rLow = 0, rHigh = 0;  // the resistances taken, as readingLimits gives them
};

// A platinum thermometer's certificate under ITS-90: R_tpw, its resistance at the triple point
// of water, and the deviation function W − Wr of one sub-range below 0.01 °C (4 or 5) and one
// above (7 to 11), either of them possibly absent (sub-range 0). The sub-ranges and their
// functions are listed in core/its90_prt_coefficients.hpp.
struct Its90Deviation {
    std::uint8_t subrange = 0;  // 0: none
    std::array<double, 3> c{};  // a, b, c; those the function lacks are 0
    friend constexpr bool operator==(const Its90Deviation&, const Its90Deviation&) = default;
};
struct Its90Certificate {
    double rtpwOhm = 0;
    Its90Deviation below{}, above{};
    double rLow = 0, rHigh = 0;  // R at the range's ends, as readingLimits gives them
    friend constexpr bool operator==(const Its90Certificate&, const Its90Certificate&) = default;
};

struct Sensor {
    enum class Kind : std::uint8_t { thermocouple, rtd, its90 };
    Kind kind = Kind::thermocouple;
    ThermocoupleType type = ThermocoupleType::K;   // thermocouples
    RtdMaterial material = RtdMaterial::platinum;  // resistance thermometers
    double r0Ohm = 0;                              // resistance thermometers
    CvdCoefficients cvd = kIec60751;               // platinum; the material's own otherwise
    PlatinumInverse inverse{};                     // a certificate's, made by platinumSensor
    Its90Certificate its90{};                      // ITS-90 thermometers (material platinum)

    constexpr bool isThermocouple() const { return kind == Kind::thermocouple; }
    constexpr bool isIts90() const { return kind == Kind::its90; }
    // The same sensor: kind, type, material, R0 and coefficients (the inverse made ahead
    // follows from them).
    friend constexpr bool operator==(const Sensor& a, const Sensor& b) {
        return a.kind == b.kind && a.type == b.type && a.material == b.material &&
               a.r0Ohm == b.r0Ohm && a.cvd == b.cvd && a.its90 == b.its90;
    }
};

constexpr Sensor thermocoupleSensor(ThermocoupleType type) {
    return {Sensor::Kind::thermocouple, type, RtdMaterial::platinum, 0, kIec60751, {}, {}};
}

// Why a resistance thermometer, or a sensor code, was refused.
enum class SensorError : std::uint8_t {
    none,
    unknownCode,    // no sensor is written so
    r0NotPositive,  // R0 ≤ 0
    notFinite,      // R0 or a coefficient is NaN or infinite
    r0OutOfReach,   // R0 beyond 1e-200…1e200 Ω, where the resistances would leave the doubles
    coefficientsTooLarge,  // |A|·t, |B|·t², |C|·t⁴ add up beyond 10⁶ somewhere on the range
    notIncreasing,  // W(t) does not rise, by 1e-5/°C at least, over the whole of −200…850 °C
    resistanceNotPositive,  // W(−200 °C) ≤ 0
    // ITS-90 thermometers
    rtpwOutOfReach,      // R_tpw not a finite number within 1e-200…1e200 Ω
    deviationNotFinite,  // a deviation coefficient is NaN or infinite
    noSubrange,          // no deviation function at all
    unknownSubrange,     // a sub-range other than 4, 5 and 7 to 11
    subrangeTwice,       // two sub-ranges below 0.01 °C, or two above
    coefficientCount,    // coefficients the sub-range's function does not have
    deviationTooSteep,  // dΔW/dW reaches 0.2 somewhere on the sub-range: W − ΔW(W) may not rise
};

// A short English sentence for each error ("" for none), for messages; describeInChinese
// gives the same in Chinese.
std::string_view describe(SensorError error);
std::string_view describeInChinese(SensorError error);

struct SensorOrError {
    Sensor sensor;
    SensorError error = SensorError::none;
    constexpr bool ok() const { return error == SensorError::none; }
};

// Resistance thermometers, checked: R0 finite, > 0 and within reach; the platinum curve
// increasing with a positive resistance over the whole of −200…850 °C.
SensorOrError platinumSensor(double r0Ohm, CvdCoefficients cvd = kIec60751);
SensorOrError copperSensor(double r0Ohm);
SensorOrError nickelSensor(double r0Ohm);
// An ITS-90 thermometer, checked: R_tpw finite and within 1e-200…1e200 Ω; one or two
// deviation functions, at most one below 0.01 °C and one above, each a listed sub-range with
// exactly its function's coefficients, all finite, and each gentle enough (dΔW/dW < 0.2 over
// its sub-range and a margin beyond) for W − ΔW(W) to rise.
struct Its90Given {
    int subrange;
    std::span<const double> coefficients;  // a, b, c as far as the function has them
};
SensorOrError its90Sensor(double rtpwOhm, std::span<const Its90Given> deviations);

// The window's sensor at list position i (0 to 11; anything else gives type K).
Sensor windowSensor(SensorIndex i);
// The list position of a sensor that is one of the window's twelve (the IEC 60751
// coefficients for Pt100 and Pt10), or none.
std::optional<SensorIndex> windowIndex(const Sensor& s);

// A sensor code as kelvora-cli writes them, in any letter case: a type letter (S R B K N E J
// T), or PtN, CuN or NiN with R0 = N Ω written as a plain decimal number (Pt100, Pt1000,
// Cu10, Ni1000, Pt100.05). Blanks around the code are not allowed.
SensorOrError parseSensorCode(std::string_view code);

// The code of a sensor ("K", "Pt1000", "Pt100.05"): R0 with the fewest decimals that give
// it back, up to 15 significant digits. Certificate coefficients do not show in it.
std::string sensorCode(const Sensor& s);
// The Chinese one-line description ("镍铬-镍硅热电偶", "铂热电阻R0=1000") and range text
// ("温度测量范围 -200℃～850℃") in the catalogue's style; the window's own texts for its twelve.
std::string sensorDescription(const Sensor& s);
std::string sensorRangeText(const Sensor& s);

// ---- Conversions ------------------------------------------------------------------------

// Temperatures that `reading` and `slope` take: the ITS-90 reference function's range, or the
// resistance thermometer's; an ITS-90 thermometer's from the lower end of its sub-range below
// 0.01 °C (or 0.01 °C) to the upper end of its sub-range above (or 0.01 °C), ends included.
Limits temperatureLimits(const Sensor& s);
// Readings that `temperature` converts: for a thermocouple the EMF against 0 °C that the
// ITS-90 inverse polynomials cover, for a resistance thermometer the resistance in Ω: the
// resistances of the range and those up to 4 mK beyond an included end (R0·W(t) in doubles
// falls a hair either side of the exact value, and a table's decimals may put an end's value a
// little beyond it: 18.52 Ω for a Pt100 at −200 °C). Copper's top, 150 °C, is excluded: every
// resistance R0·W gives below it is taken, and nothing beyond. (The window's t_Ohm keeps the
// resistances at the ends themselves, rtdResistanceLimits.)
Limits readingLimits(const Sensor& s);

// E(t) in mV against 0 °C (the very functions e_S … e_T), or R(t) = R0·W(t) in Ω.
double reading(const Sensor& s, double t);

// The temperature at a reading: the ITS-90 inverse polynomials at an EMF against 0 °C (the
// very functions t_S … t_T), or the exact inverse of a resistance thermometer's
// characteristic (closed form or Newton's method, to the double's precision). A resistance
// beyond an end's, within readingLimits, gives the end (at copper's top, the largest double
// below 150 °C).
double temperature(const Sensor& s, double reading);

// dE/dt in µV/°C (the exact derivative of the reference function, type K's exponential term
// included), or dR/dt in Ω/°C, at t. A limit shared by two ranges takes the upper range's.
double slope(const Sensor& s, double t);

// The exact inverse of a thermocouple's reference function.
enum class ExactStatus : std::uint8_t {
    ok,
    outOfRange,       // below E at the lowest temperature or above E at the highest
    twoTemperatures,  // type B at EMFs of 0 mV and below: two temperatures between 0 and 42 °C
};
struct ExactTemperature {
    double temperatureC;  // kOutOfRange unless status is ok
    ExactStatus status;
};

// The temperature at which the ITS-90 reference function gives emfMv, over the function's
// whole range (K, N, E, T from −270 °C, J from −210 °C, S and R from −50 °C), within 1e-9 °C
// of the true root. The inverse polynomials seed it where they reach. An EMF that falls in
// the tiny gap between two ranges that do not meet exactly gives the limit between them.
// Type B falls from 0 mV at 0 °C to −2.6 µV near 21 °C and is back at 0 mV near 42.13 °C:
// an EMF of 0 mV or below is refused as twoTemperatures (outOfRange below that minimum).
ExactTemperature exactTemperature(ThermocoupleType type, double emfMv);

// The temperatures over which exactTemperature is single-valued (type B from ≈ 42.13 °C, where
// its EMF is 0 mV again; the reference function's range for the others), and the EMFs it
// converts (type B: above 0 mV only, loIncluded false).
Limits exactTemperatureLimits(ThermocoupleType type);
Limits exactReadingLimits(ThermocoupleType type);

}  // namespace kelvora::core
