// The conversion core on any double at all: every function of every sensor, with NaN,
// infinities, subnormals and the last bit on either side of every range limit among the
// arguments. Each result must be the out-of-range value or a sensible one of the sensor,
// the inverses must lead back to where the characteristics started, every finite double
// must show in the display format, and no exception may ever reach the caller.
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <limits>
#include <string>
#include <vector>

#include "core/conversion.hpp"
#include "core/rtd.hpp"
#include "core/thermocouple.hpp"
#include "fuzz/fuzz_support.hpp"

namespace {

using namespace kelvora::core;
using kelvora::fuzz::ByteReader;
using kelvora::fuzz::fail;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// How far a thermocouple's EMF may stray beyond the table values at its range ends (the
// tables are rounded to 1 µV), and how far a temperature from an inverse polynomial may
// stray beyond the temperatures its EMF range spans.
constexpr double kEmfMargin = 0.002;       // mV
constexpr double kTemperatureMargin = 1;   // °C
constexpr double kInverseTolerance = 0.1;  // °C, t(e(t)) against t; published errors ≤ 0.06
constexpr double kRtdTolerance = 1e-8;     // °C, the resistance inverses solve to the last bit
constexpr double kNearLimit = 1e-6;        // °C, where rounding may put W(t) just outside

struct Thermocouple {
    const char* name;
    double typ;
    double (*emf)(double);
    double (*temperature)(double);
    double tLo, tHi;  // reference function: tLo ≤ t ≤ tHi
    double eLo, eHi;  // inverse: eLo ≤ e ≤ eHi, or e < eHi when the top is excluded
    bool eHiIncluded;
    double emfMin, emfMax;        // EMF over the whole reference range (NIST tables), mV
    double coveredLo, coveredHi;  // temperatures the inverse's EMF range spans, °C
};

// clang-format off
const Thermocouple kThermocouples[] = {
    {"S", 0, e_S, t_S,  -50, 1768.1, -0.235, 18.693, true,  -0.236, 18.693,  -50, 1768.1},
    {"R", 1, e_R, t_R,  -50, 1768.1, -0.226, 21.103, false, -0.226, 21.103,  -50, 1768.1},
    {"B", 2, e_B, t_B,    0, 1820,    0.291, 13.82,  true,  -0.003, 13.820,  250, 1820},
    {"K", 3, e_K, t_K, -270, 1372,   -5.891, 54.886, true,  -6.458, 54.886, -200, 1372},
    {"N", 4, e_N, t_N, -270, 1300,   -3.99,  47.513, true,  -4.345, 47.513, -200, 1300},
    {"E", 5, e_E, t_E, -270, 1000,   -8.825, 76.373, true,  -9.835, 76.373, -200, 1000},
    {"J", 6, e_J, t_J, -210, 1200,   -8.095, 69.553, true,  -8.095, 69.553, -210, 1200},
    {"T", 7, e_T, t_T, -270,  400,   -5.603, 20.872, true,  -6.258, 20.872, -200,  400},
};

// Where one range of a characteristic hands over to the next.
const double kInnerLimits[] = {
    1064.18, 1664.5, 630.615, 0, 760,                                            // °C
    1.874, 11.95, 17.536, 1.923, 13.228, 19.739, 2.431, 20.644, 20.613, 42.919,  // mV
};
// clang-format on

struct Rtd {
    const char* name;
    double typ;
    double r0;
    bool platinum;
};

const Rtd kRtds[] = {{"Pt100", 8, 100, true},
                     {"Pt10", 9, 10, true},
                     {"Cu100", 10, 100, false},
                     {"Cu50", 11, 50, false}};

// Resistance ratios at the limits, from the characteristics themselves. W(150 °C) of copper
// lies outside its range, so the ratio one ulp of temperature below it stands in for it.
struct RatioLimits {
    double ptLo = r_Pt(-200), ptHi = r_Pt(850);
    double cuLo = r_Cu(-50), cuTop = r_Cu(std::nextafter(150.0, 0.0));
};
const RatioLimits& ratioLimits() {
    static const RatioLimits limits;
    return limits;
}

bool inside(double x, double lo, double hi) {
    return x >= lo && x <= hi;
}

// Whether an argument lies in lo ≤ x ≤ hi. A vague top is one only the core knows to the
// last bit (W(150 °C) of copper): within 1e-12 of it either answer is right.
enum class Range { In, Out, Either };
Range rangeOf(double x, double lo, double hi, bool vagueTop) {
    if (!(x >= lo)) return Range::Out;
    if (vagueTop && std::fabs(x - hi) <= hi * 1e-12) return Range::Either;
    return x <= hi ? Range::In : Range::Out;
}
bool agrees(Range range, double result) {
    return range == Range::Either || (range == Range::In) == (result != kOutOfRange);
}

// ---- Checks ---------------------------------------------------------------------------

// The display text of a finite value: right format, never "-0.00", and the value itself
// to within half the last decimal (plus the 15 significant digits it is first taken to).
void checkFormat(double v) {
    if (!std::isfinite(v)) return;
    for (const int decimals : {2, 3}) {
        const std::string s = formatFixed(v, decimals);
        if (!kelvora::fuzz::isFixed(s, decimals, true) || kelvora::fuzz::isNegativeZero(s))
            fail("formatFixed(%a, %d) = \"%s\"", v, decimals, s.c_str());
        const long double shown = std::strtold(s.c_str(), nullptr);
        const long double allowed = 0.5L * std::pow(10.0L, -decimals) * (1 + 1e-9L) +
                                    std::fabs(static_cast<long double>(v)) * 1e-14L;
        if (!(std::fabs(shown - v) <= allowed))
            fail("formatFixed(%.17g, %d) = \"%s\" is off", v, decimals, s.c_str());
    }
}

void checkThermocouple(const Thermocouple& tc, double x) {
    // x as a temperature.
    const double emf = tc.emf(x);
    if (!inside(x, tc.tLo, tc.tHi)) {
        if (emf != kOutOfRange) fail("e_%s(%a) = %a, expected -999", tc.name, x, emf);
    } else {
        if (!inside(emf, tc.emfMin - kEmfMargin, tc.emfMax + kEmfMargin))
            fail("e_%s(%.17g) = %.17g lies outside the type's EMF range", tc.name, x, emf);
        // Back through the inverse, wherever it covers the EMF.
        const double back = tc.temperature(emf);
        if (back == kOutOfRange) {
            if (x > tc.coveredLo + 0.5 && x < tc.coveredHi - 0.5)
                fail("t_%s(e_%s(%.17g)) = -999 inside the inverse's range", tc.name, tc.name, x);
        } else if (!(std::fabs(back - x) <= kInverseTolerance)) {
            fail("t_%s(e_%s(%.17g)) = %.17g", tc.name, tc.name, x, back);
        }
    }

    // x as an EMF.
    const double t = tc.temperature(x);
    const bool inRange = x >= tc.eLo && (tc.eHiIncluded ? x <= tc.eHi : x < tc.eHi);
    if (!inRange) {
        if (t != kOutOfRange) fail("t_%s(%a) = %a, expected -999", tc.name, x, t);
    } else {
        if (!inside(t, tc.coveredLo - kTemperatureMargin, tc.coveredHi + kTemperatureMargin))
            fail("t_%s(%.17g) = %.17g lies outside the type's range", tc.name, x, t);
    }
}

// The dispatchers pass an exact thermocouple index on and give +0 for anything else.
void checkThermocoupleDispatch(double x, double typ) {
    const double emf = e(x, typ), t = kelvora::core::t(x, typ);
    for (const Thermocouple& tc : kThermocouples) {
        if (typ != tc.typ) continue;
        const double emfWanted = tc.emf(x), tWanted = tc.temperature(x);
        if (emf != emfWanted || t != tWanted)
            fail("e/t(%a, typ %a) = %a/%a, e_%s/t_%s give %a/%a", x, typ, emf, t, tc.name, tc.name,
                 emfWanted, tWanted);
        return;
    }
    if (emf != 0 || std::signbit(emf) || t != 0 || std::signbit(t))
        fail("e/t(%a, typ %a) = %a/%a, expected 0 for no thermocouple", x, typ, emf, t);
}

// W(t) in range, and back again by the inverse of the ratio.
void checkRatio(const char* name, double x, double w, bool inRange, double wLo, double wHi,
                double lo, double hi, double (*inverse)(double)) {
    if (!inRange) {
        if (w != kOutOfRange) fail("r_%s(%a) = %a, expected -999", name, x, w);
        return;
    }
    if (!inside(w, wLo, wHi)) fail("r_%s(%.17g) = %.17g out of range", name, x, w);
    const double back = inverse(w);
    if (back == kOutOfRange) {
        if (x - lo > kNearLimit && hi - x > kNearLimit)
            fail("t_%s(r_%s(%.17g)) = -999", name, name, x);
    } else if (!(std::fabs(back - x) <= kRtdTolerance)) {
        fail("t_%s(r_%s(%.17g)) = %.17g", name, name, x, back);
    }
}

// x as a ratio: the inverses give -999 or a temperature in range.
void checkRatioInverses(double x) {
    const RatioLimits& l = ratioLimits();
    const double pt = t_Pt(x);
    if (!agrees(rangeOf(x, l.ptLo, l.ptHi, false), pt))
        fail("t_Pt(%a) = %a: range test wrong", x, pt);
    if (pt != kOutOfRange && !inside(pt, -200, 850)) fail("t_Pt(%.17g) = %.17g", x, pt);

    const double cu = t_Cu(x);
    if (!agrees(rangeOf(x, l.cuLo, l.cuTop, true), cu))
        fail("t_Cu(%a) = %a: range test wrong", x, cu);
    if (cu != kOutOfRange && !(cu >= -50 && cu < 150)) fail("t_Cu(%.17g) = %.17g", x, cu);
}

// One resistance thermometer: x as a temperature (r_T, and back through t_Ohm) and as a
// resistance (t_Ohm).
void checkRtd(const Rtd& rtd, double x) {
    const RatioLimits& l = ratioLimits();
    const double lo = rtd.platinum ? -200 : -50;
    const bool inRange = rtd.platinum ? inside(x, -200, 850) : (x >= -50 && x < 150);

    const std::string text = r_T(x, rtd.typ);
    if (!inRange) {
        if (text != "温度超限") fail("r_T(%a, %s) = \"%s\"", x, rtd.name, text.c_str());
    } else {
        const double r = rtd.r0 * (rtd.platinum ? r_Pt(x) : r_Cu(x));
        if (!kelvora::fuzz::isFixed(text, 2, false) ||
            !(std::fabs(std::strtod(text.c_str(), nullptr) - r) <= 0.005 + 1e-9))
            fail("r_T(%.17g, %s) = \"%s\" for %.17g ohms", x, rtd.name, text.c_str(), r);
        const double back = t_Ohm(r, rtd.typ);
        if (back == kOutOfRange) {
            if (x - lo > kNearLimit && (rtd.platinum ? 850 : 150) - x > kNearLimit)
                fail("t_Ohm(%.17g ohms, %s) = -999", r, rtd.name);
        } else if (!(std::fabs(back - x) <= kRtdTolerance)) {
            fail("t_Ohm(%.17g ohms, %s) = %.17g, wanted %.17g", r, rtd.name, back, x);
        }
    }

    const double t = t_Ohm(x, rtd.typ);
    const double rLo = rtd.r0 * (rtd.platinum ? l.ptLo : l.cuLo);
    const double rHi = rtd.r0 * (rtd.platinum ? l.ptHi : l.cuTop);
    if (!agrees(rangeOf(x, rLo, rHi, !rtd.platinum), t))
        fail("t_Ohm(%a, %s) = %a: range test wrong", x, rtd.name, t);
    if (t != kOutOfRange) {
        if (rtd.platinum ? !inside(t, -200, 850) : !(t >= -50 && t < 150))
            fail("t_Ohm(%.17g, %s) = %.17g", x, rtd.name, t);
    }
}

void checkRtdDispatch(double x, double typ) {
    const std::string text = r_T(x, typ);
    const double t = t_Ohm(x, typ);
    for (const Rtd& rtd : kRtds) {
        if (typ != rtd.typ) continue;
        if (text != r_T(x, rtd.typ) || t != t_Ohm(x, rtd.typ))
            fail("r_T/t_Ohm(%a, typ %a) differ from %s", x, typ, rtd.name);
        return;
    }
    if (!text.empty() || t != 0 || std::signbit(t))
        fail("r_T/t_Ohm(%a, typ %a) = \"%s\"/%a for no resistance thermometer", x, typ,
             text.c_str(), t);
}

void checkAll(double x, double typ) {
    checkFormat(x);
    for (const Thermocouple& tc : kThermocouples) checkThermocouple(tc, x);
    checkThermocoupleDispatch(x, typ);
    checkRatio("Pt", x, r_Pt(x), inside(x, -200, 850), 0.18, 3.91, -200, 850, t_Pt);
    checkRatio("Cu", x, r_Cu(x), x >= -50 && x < 150, 0.78, 1.65, -50, 150, t_Cu);
    checkRatioInverses(x);
    for (const Rtd& rtd : kRtds) checkRtd(rtd, x);
    checkRtdDispatch(x, typ);
}

// ---- Arguments from the fuzz input -----------------------------------------------------

// Every limit, with its neighbours one ulp away, and the extreme doubles: signed zeros,
// the largest and smallest magnitudes, infinities and NaN.
std::vector<double> makeInterestingValues() {
    const RatioLimits& l = ratioLimits();
    std::vector<double> limits{-200, 850, -50,    150,    0,      100,
                               -999, 1,   l.ptLo, l.ptHi, l.cuLo, l.cuTop};
    for (const Thermocouple& tc : kThermocouples)
        limits.insert(limits.end(), {tc.tLo, tc.tHi, tc.eLo, tc.eHi});
    limits.insert(limits.end(), std::begin(kInnerLimits), std::end(kInnerLimits));
    for (const Rtd& rtd : kRtds)
        for (const double w : {l.ptLo, l.ptHi, l.cuLo, l.cuTop}) limits.push_back(rtd.r0 * w);

    std::vector<double> values;
    for (const double v : limits)
        values.insert(values.end(), {v, std::nextafter(v, -kInf), std::nextafter(v, kInf)});
    values.insert(values.end(), {-0.0, DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, DBL_TRUE_MIN,
                                 -DBL_TRUE_MIN, kInf, -kInf, kNaN, -kNaN});
    return values;
}

// Sensor indices: every valid one, then some that name no sensor, the last two one ulp
// away from 7 and 8.
// clang-format off
const double kTyps[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11,
                        -1, 2.5, kNaN, -0.0, 12, kInf, 0x1.c000000000001p+2, 0x1.fffffffffffffp+2};
// clang-format on

// The argument: raw bits, a value from the table, or one spread over the span of the
// temperatures, EMFs, ratios or resistances the functions accept.
double argument(ByteReader& in, const std::vector<double>& interesting) {
    switch (in.byte() % 8) {
        case 0:
        case 1:
            return in.rawDouble();
        case 2:
        case 3: {
            const unsigned high = in.byte();
            return interesting[(high << 8 | in.byte()) % interesting.size()];
        }
        case 4:
            return in.scaled(-300, 1900);
        case 5:
            return in.scaled(-12, 80);
        case 6:
            return in.scaled(0, 4.5);
        default:
            return in.scaled(0, 420);
    }
}

double typArgument(ByteReader& in) {
    const std::uint8_t b = in.byte();
    if (b & 0x80) return in.rawDouble();
    return kTyps[b % std::size(kTyps)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<double> interesting = makeInterestingValues();
    ByteReader in(data, size);
    try {
        for (int n = 0; n < 16 && !in.empty(); ++n) {
            const double x = argument(in, interesting);
            const double typ = typArgument(in);
            checkAll(x, typ);
        }
    } catch (const std::exception& ex) {
        fail("exception escaped: %s", ex.what());
    } catch (...) {
        fail("exception escaped");
    }
    return 0;
}
