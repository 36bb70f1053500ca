#include "core/sensor.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>

#include "core/its90_prt.hpp"
#include "core/reference_junction.hpp"
#include "core/rtd_curves.hpp"
#include "core/thermocouple.hpp"

namespace kelvora::core {

namespace {

constexpr double kR0Least = 1e-200, kR0Most = 1e200;

// Above this, no certificate's coefficients describe a platinum thermometer (W stays below 5
// over the whole range), and the sums below are still far from overflowing.
constexpr double kCoefficientSumMost = 1e6;

constexpr std::string_view kThermocoupleLetters = "SRBKNEJT";

SensorError checkR0(double r0) {
    if (std::isnan(r0) || std::isinf(r0)) return SensorError::notFinite;
    if (!(r0 > 0)) return SensorError::r0NotPositive;
    if (r0 < kR0Least || r0 > kR0Most) return SensorError::r0OutOfReach;
    return SensorError::none;
}

// The least slope dW/dt a curve must keep everywhere on its range: a 400th of platinum's own.
// Below it a resistance reading tells next to nothing of the temperature, and at a slope of
// 1e-300 none at all: W = 1 + A·t is 1 in doubles.
constexpr double kSlopeLeast = 1e-5;  // 1/°C

// A Callendar–Van Dusen curve rises over −200…850 °C when its slope is at least kSlopeLeast
// there. From 0 °C up the slope A + 2B·t is linear; below, A + 2B·t + C·(4t³ − 300t²) is a
// cubic, lowest at an end of −200…0 or where its own slope 2B + C·(12t² − 600t) is 0.
bool increasing(const CvdCoefficients& k) {
    const auto rises = [&k](double t) { return rtd::dwPt(t, k) >= kSlopeLeast; };
    if (!(rises(0) && rises(850) && rises(-200))) return false;
    if (k.c == 0) return true;  // the slope below 0 °C is linear too
    // 12C·t² − 600C·t + 2B = 0
    const double qa = 12 * k.c, qb = -600 * k.c, qc = 2 * k.b;
    const double disc = qb * qb - 4 * qa * qc;
    if (disc < 0) return true;
    for (const double sign : {-1.0, 1.0}) {
        const double root = (-qb + sign * std::sqrt(disc)) / (2 * qa);
        if (root > -200 && root < 0 && !rises(root)) return false;
    }
    return true;
}

Sensor rtdSensor(RtdMaterial m, double r0, CvdCoefficients k) {
    return {Sensor::Kind::rtd, ThermocoupleType::K, m, r0, k, {}, {}};
}

}  // namespace

// Read as digits and a power of ten, which strtod reads the same everywhere.
std::optional<double> plainNumber(std::string_view s) {
    std::string digits;
    int decimals = 0;
    bool point = false;
    for (const char c : s) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (digits.size() < 40) {
                digits += c;
                decimals += point;
            } else if (!point) {
                return std::nullopt;  // beyond any resistance
            }
        } else {
            return std::nullopt;
        }
    }
    if (digits.empty()) return std::nullopt;
    digits += "e-" + std::to_string(decimals);
    return std::strtod(digits.c_str(), nullptr);
}

namespace {

bool sameLetters(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::string r0Text(double r0) {
    return formatSignificant(r0);
}

// A resistance beyond those at a resistance thermometer's ends: the end it lies beyond, if it
// is one that readingLimits takes. Out of line, as seldom needed: the common path stays lean.
[[gnu::noinline]] double beyondTheEnds(const Sensor& s, double r, double end) {
    return rtd::takenResistances(s).contains(r) ? end : kOutOfRange;
}

}  // namespace

namespace rtd {

namespace {

// cos(m·π/16) for any whole m, from the nine values of the first quarter turn held as the
// doubles nearest to them: the fit below needs no cos of a library, whose last bits differ
// from one platform's to the next.
double cosPi16(int m) {
    constexpr double kQuarter[] = {1.0,
                                   0.9807852804032304,
                                   0.9238795325112867,
                                   0.8314696123025452,
                                   0.7071067811865476,
                                   0.5555702330196022,
                                   0.3826834323650898,
                                   0.19509032201612828,
                                   0.0};
    m %= 32;
    if (m < 0) m += 32;
    if (m > 16) m = 32 - m;  // cos(2π − x) = cos x
    return m <= 8 ? kQuarter[m] : -kQuarter[16 - m];
}

}  // namespace

PlatinumInverse fitPlatinumInverse(double r0, const CvdCoefficients& k) {
    constexpr int n = PlatinumInverse::kTerms;
    PlatinumInverse f;
    // Fitted between the resistances at the ends; readings up to the margin beyond them are
    // taken (and give the ends, by the clamp of temperature()).
    const double rLow = r0 * wPt(kPtRange.lo, k), rHigh = r0 * wPt(kPtRange.hi, k);
    const Limits taken = takenResistances(rtdSensor(RtdMaterial::platinum, r0, k));
    f.rLow = taken.lo;
    f.rHigh = taken.hi;
    const auto careful = [&](double r) {
        return tPt(std::clamp(r / r0, rLow / r0, rHigh / r0), k);
    };
    const double width = (r0 - rLow) / PlatinumInverse::kBelow;
    const int pieces = PlatinumInverse::kBelow + static_cast<int>(std::ceil((rHigh - r0) / width));
    if (!(pieces <= PlatinumInverse::kPieces)) return f;
    f.perOhm = 1 / width;
    f.bias = rLow * f.perOhm + 0.5;
    f.top = pieces - 1 + 0.375;
    // The temperature to fit: below 0 °C the careful inverse; above it the closed form of tPt
    // without its clamp, so that the last piece follows the curve beyond 850 °C.
    const auto value = [&](double r, bool below) {
        if (below) return careful(std::min(r, r0));
        const double x = r / r0 - 1;
        return 2 * x / (k.a + std::sqrt(k.a * k.a + 4 * k.b * x));
    };
    for (int piece = 0; piece < pieces; ++piece) {
        const bool below = piece < PlatinumInverse::kBelow;
        // The resistance at s, −1 ≤ s ≤ 1, on this piece: x = piece + s/2.
        const auto at = [&](double s) { return (piece + s / 2 + f.bias) / f.perOhm; };
        // Chebyshev coefficients a_j from the values at the points s_i = cos(π(i + ½)/n),
        // n = 8: every cosine is one of cos(m·π/16). The values less the one at the middle,
        // so that the sums lose nothing to hundreds of degrees.
        static_assert(n == 8);
        const double middle = value(at(0), below);
        std::array<double, n> v{}, a{};
        for (int i = 0; i < n; ++i) v[i] = value(at(cosPi16(2 * i + 1)), below) - middle;
        for (int j = 0; j < n; ++j) {
            double sum = 0;
            for (int i = 0; i < n; ++i) sum += v[i] * cosPi16(j * (2 * i + 1));
            a[j] = sum * (j == 0 ? 1.0 : 2.0) / n;
        }
        // Σ a_j·T_j(s) as ascending powers of s, by T_{j+1} = 2s·T_j − T_{j−1}; then of u = s/2,
        // the power j times 2^j (exact).
        auto& c = f.c[piece];
        std::array<double, n> tPrev{}, tNow{}, tNext{};
        tPrev[0] = 1;  // T_0
        tNow[1] = 1;   // T_1
        c[0] = a[0];
        for (int p = 0; p < n; ++p) c[p] += a[1] * tNow[p];
        for (int j = 2; j < n; ++j) {
            for (int p = 0; p < n; ++p) tNext[p] = (p > 0 ? 2 * tNow[p - 1] : 0) - tPrev[p];
            for (int p = 0; p < n; ++p) c[p] += a[j] * tNext[p];
            tPrev = tNow;
            tNow = tNext;
        }
        c[0] += middle;
        for (int p = 1; p < n; ++p) c[p] = std::ldexp(c[p], p);
    }
    f.fitted = true;
    const int points = 3 * n * pieces;
    for (int i = 0; i <= points; ++i) {
        const double r = rLow + (rHigh - rLow) * i / points;
        if (!(std::fabs(tPtFitted(r, f) - careful(r)) <= 1e-12)) f.fitted = false;
    }
    return f;
}

}  // namespace rtd

CvdCoefficients callendarCoefficients(double alpha, double delta, double beta) {
    return {alpha * (1 + delta / 100), -alpha * delta * 1e-4, -alpha * beta * 1e-8};
}

std::string_view describe(SensorError error) {
    switch (error) {
        case SensorError::none:
            return "";
        case SensorError::unknownCode:
            return "no such sensor";
        case SensorError::r0NotPositive:
            return "R0 must be greater than 0 Ω";
        case SensorError::notFinite:
            return "R0 and the coefficients must be finite numbers";
        case SensorError::r0OutOfReach:
            return "R0 must lie between 1e-200 Ω and 1e200 Ω";
        case SensorError::coefficientsTooLarge:
            return "the coefficients are far too large for a platinum thermometer";
        case SensorError::notIncreasing:
            return "the coefficients give a resistance that does not rise over the whole of "
                   "-200 °C to 850 °C (by 0.001 % of R0 per °C at least)";
        case SensorError::resistanceNotPositive:
            return "the coefficients give a resistance of 0 Ω or less at -200 °C";
        case SensorError::rtpwOutOfReach:
            return "R_tpw must be a number between 1e-200 Ω and 1e200 Ω";
        case SensorError::deviationNotFinite:
            return "the deviation coefficients must be finite numbers";
        case SensorError::noSubrange:
            return "an ITS-90 thermometer needs the deviation function of one sub-range at least";
        case SensorError::unknownSubrange:
            return "the sub-ranges are 4 and 5 (below 0.01 °C) and 7 to 11 (above 0.01 °C)";
        case SensorError::subrangeTwice:
            return "one sub-range below 0.01 °C (4 or 5) and one above (7 to 11), no more";
        case SensorError::coefficientCount:
            return "each sub-range takes exactly its deviation function's coefficients: a,b for "
                   "4, 5, 8 and 9; a,b,c for 7; a for 10 and 11";
        case SensorError::deviationTooSteep:
            return "the deviation function changes too fast: dΔW/dW must stay between -0.2 and 0.2 "
                   "over its sub-range";
    }
    return "";
}

std::string_view describeInChinese(SensorError error) {
    switch (error) {
        case SensorError::none:
            return "";
        case SensorError::unknownCode:
            return "没有这种传感器";
        case SensorError::r0NotPositive:
            return "R0 必须大于 0 Ω";
        case SensorError::notFinite:
            return "R0 和系数必须是有限的数";
        case SensorError::r0OutOfReach:
            return "R0 必须在 1e-200 Ω 到 1e200 Ω 之间";
        case SensorError::coefficientsTooLarge:
            return "系数过大，不可能是铂热电阻的系数";
        case SensorError::notIncreasing:
            return "按这些系数，电阻在 -200℃～850℃ 内并非处处随温度上升（每℃至少上升 R0 的 "
                   "0.001 %）";
        case SensorError::resistanceNotPositive:
            return "按这些系数，-200℃ 时的电阻不大于 0 Ω";
        case SensorError::rtpwOutOfReach:
            return "R_tpw 必须是 1e-200 Ω 到 1e200 Ω 之间的数";
        case SensorError::deviationNotFinite:
            return "偏差函数的系数必须是有限的数";
        case SensorError::noSubrange:
            return "ITS-90 铂电阻温度计至少要有一个分区的偏差函数";
        case SensorError::unknownSubrange:
            return "分区为 4、5（0.01℃ 以下）和 7～11（0.01℃ 以上）";
        case SensorError::subrangeTwice:
            return "0.01℃ 以下一个分区（4 或 5），0.01℃ 以上一个分区（7～11），不能再多";
        case SensorError::coefficientCount:
            return "每个分区的系数个数须与其偏差函数相同：4、5、8、9 为 a,b；7 为 a,b,c；10、11 为 "
                   "a";
        case SensorError::deviationTooSteep:
            return "偏差函数变化过快：在其分区内 dΔW/dW 须在 -0.2 与 0.2 之间";
    }
    return "";
}

SensorOrError platinumSensor(double r0Ohm, CvdCoefficients k) {
    const Sensor s = rtdSensor(RtdMaterial::platinum, r0Ohm, k);
    if (const SensorError e = checkR0(r0Ohm); e != SensorError::none) return {s, e};
    for (const double v : {k.a, k.b, k.c})
        if (!std::isfinite(v)) return {s, SensorError::notFinite};
    // The largest the terms of W can add up to on the range: a bound on every value below.
    const double sum =
        std::fabs(k.a) * 850 + std::fabs(k.b) * 850 * 850 + std::fabs(k.c) * 300 * 200 * 200 * 200;
    if (!(sum <= kCoefficientSumMost)) return {s, SensorError::coefficientsTooLarge};
    if (!increasing(k)) return {s, SensorError::notIncreasing};
    if (!(rtd::wPt(-200, k) > 0)) return {s, SensorError::resistanceNotPositive};
    Sensor made = s;
    if (!(k == kIec60751)) made.inverse = rtd::fitPlatinumInverse(r0Ohm, k);
    return {made, SensorError::none};
}

SensorOrError copperSensor(double r0Ohm) {
    return {rtdSensor(RtdMaterial::copper, r0Ohm, {rtd::kCuA, rtd::kCuB, rtd::kCuC}),
            checkR0(r0Ohm)};
}

SensorOrError nickelSensor(double r0Ohm) {
    return {rtdSensor(RtdMaterial::nickel, r0Ohm, {rtd::kNiA, rtd::kNiB, 0}), checkR0(r0Ohm)};
}

Sensor windowSensor(SensorIndex i) {
    if (i >= 0 && i < 8) return thermocoupleSensor(static_cast<ThermocoupleType>(i));
    // Known to be sound: built without the checks, as the window's conversions call this.
    const CvdCoefficients copper{rtd::kCuA, rtd::kCuB, rtd::kCuC};
    if (i == 8) return rtdSensor(RtdMaterial::platinum, 100, kIec60751);
    if (i == 9) return rtdSensor(RtdMaterial::platinum, 10, kIec60751);
    if (i == 10) return rtdSensor(RtdMaterial::copper, 100, copper);
    if (i == 11) return rtdSensor(RtdMaterial::copper, 50, copper);
    return thermocoupleSensor(ThermocoupleType::K);
}

std::optional<SensorIndex> windowIndex(const Sensor& s) {
    for (SensorIndex i = 0; i < kSensorCount; ++i)
        if (windowSensor(i) == s) return i;
    return std::nullopt;
}

SensorOrError parseSensorCode(std::string_view code) {
    const SensorOrError unknown{thermocoupleSensor(ThermocoupleType::K), SensorError::unknownCode};
    if (code.size() == 1) {
        const char upper =
            code[0] >= 'a' && code[0] <= 'z' ? static_cast<char>(code[0] - 32) : code[0];
        const std::size_t at = kThermocoupleLetters.find(upper);
        if (at == std::string_view::npos) return unknown;
        return {thermocoupleSensor(static_cast<ThermocoupleType>(at)), SensorError::none};
    }
    if (code.size() < 3) return unknown;
    const std::string_view material = code.substr(0, 2);
    const std::optional<double> r0 = plainNumber(code.substr(2));
    if (!r0) return unknown;
    if (sameLetters(material, "Pt")) return platinumSensor(*r0);
    if (sameLetters(material, "Cu")) return copperSensor(*r0);
    if (sameLetters(material, "Ni")) return nickelSensor(*r0);
    return unknown;
}

std::string sensorCode(const Sensor& s) {
    if (s.isThermocouple()) return std::string(1, kThermocoupleLetters[static_cast<int>(s.type)]);
    if (s.isIts90()) return "ITS90";
    const char* material = s.material == RtdMaterial::platinum ? "Pt"
                           : s.material == RtdMaterial::copper ? "Cu"
                                                               : "Ni";
    return material + r0Text(s.r0Ohm);
}

std::string sensorDescription(const Sensor& s) {
    if (const auto i = windowIndex(s)) return std::string(kSensorDescriptionTexts[*i]);
    if (s.isThermocouple()) return std::string(kSensorDescriptionTexts[static_cast<int>(s.type)]);
    if (s.isIts90()) return "ITS-90铂电阻温度计Rtpw=" + r0Text(s.its90.rtpwOhm);
    const char* material = s.material == RtdMaterial::platinum ? "铂"
                           : s.material == RtdMaterial::copper ? "铜"
                                                               : "镍";
    return std::string(material) + "热电阻R0=" + r0Text(s.r0Ohm);
}

std::string sensorRangeText(const Sensor& s) {
    if (s.isThermocouple()) return std::string(kSensorRangeTexts[static_cast<int>(s.type)]);
    if (const auto i = windowIndex(s)) return std::string(kSensorRangeTexts[*i]);
    // The fixed points to four decimals (the argon triple point is at -189.3442 °C).
    const Limits l = temperatureLimits(s);
    return "温度测量范围 " + formatTrimmed(l.lo, 4) + "℃～" + formatTrimmed(l.hi, 4) + "℃";
}

// ---- Conversions ------------------------------------------------------------------------

Limits temperatureLimits(const Sensor& s) {
    if (s.isThermocouple()) return temperatureLimits(static_cast<int>(s.type));
    if (s.isIts90()) return its90::prt::temperaturesOf(s);
    return rtd::rangeOf(s.material);
}

Limits readingLimits(const Sensor& s) {
    if (s.isThermocouple()) return readingLimits(static_cast<int>(s.type));
    if (s.isIts90()) return its90::prt::resistancesOf(s);
    return rtd::takenResistances(s);
}

double reading(const Sensor& s, double t) {
    // A thermocouple through the window's own dispatcher: the very functions e_S … e_T.
    if (s.isThermocouple()) return e(t, static_cast<double>(s.type));
    if (s.isIts90()) return its90::prt::resistanceAt(s, t);
    if (!rtd::rangeOf(s.material).contains(t)) return kOutOfRange;
    return rtd::checked(rtd::ratioOf(s, t)) * s.r0Ohm;
}

double temperature(const Sensor& s, double r) {
    if (s.isIts90()) return its90::prt::temperatureAt(s, r);
    // A certificate's inverse made ahead (only a platinum thermometer has one), first.
    if (s.inverse.fitted) {
        const PlatinumInverse& f = s.inverse;
        if (!(r >= f.rLow && r <= f.rHigh)) return kOutOfRange;
        const double t = rtd::tPtFitted(r, f);
        // The limit first in max, so that it compiles to maxsd rather than a branch.
        return std::min(std::max(rtd::kPtRange.lo, t), rtd::kPtRange.hi);
    }
    if (s.isThermocouple()) return t(r, static_cast<double>(s.type));
    // The range is tested in ohms, as the resistances R0·W(t) at the limits; dividing by R0
    // may move a limit resistance by an ulp, so the ratio is held inside the range, and so is
    // the temperature found. Beyond those resistances, within the margin that readingLimits
    // adds, a resistance gives the end (or, at copper's excluded top, the last temperature below
    // it).
    const Limits& range = rtd::rangeOf(s.material);
    const double r0 = s.r0Ohm;
    const double wLow = rtd::ratioOf(s, range.lo), wHigh = rtd::ratioOf(s, range.hi);
    const double tHigh = range.hiIncluded ? range.hi : std::nextafter(range.hi, 0.0);
    if (!(r >= r0 * wLow && (range.hiIncluded ? r <= r0 * wHigh : r < r0 * wHigh)))
        return beyondTheEnds(s, r, r < r0 * wLow ? range.lo : tHigh);
    const double w =
        std::clamp(r / r0, wLow, range.hiIncluded ? wHigh : std::nextafter(wHigh, 0.0));
    double t;
    switch (s.material) {
        case RtdMaterial::platinum:
            t = rtd::tPt(w, s.cvd);
            break;
        case RtdMaterial::copper:
            t = rtd::tCu(w);
            break;
        case RtdMaterial::nickel:
            t = rtd::tNi(w);
            break;
        default:
            return kOutOfRange;
    }
    return std::clamp(t, range.lo, tHigh);
}

}  // namespace kelvora::core
