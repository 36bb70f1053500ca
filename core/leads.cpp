#include "core/leads.hpp"

#include <cmath>

#include "core/portable_exp.hpp"
#include "core/reference_junction.hpp"

namespace kelvora::core {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kLn92 = 4.5217885770490405;  // ln 92, the double nearest to it

}  // namespace

double awgAreaMm2(double n) {
    if (!kAwgRange.contains(n) || n != std::floor(n)) return kOutOfRange;
    // 92^x as e^(x·ln 92) through the core's own exponential: the same bits everywhere.
    const double d = 0.127 * portableExp((36 - n) / 39 * kLn92);
    return kPi * d * d / 4;
}

double copperLeadOhm(double lengthM, double areaMm2, double cableC) {
    if (!(std::isfinite(lengthM) && lengthM > 0 && std::isfinite(areaMm2) && areaMm2 > 0))
        return kOutOfRange;
    const double factor = 1 + kCopperAlpha20 * (cableC - 20);
    if (!(std::isfinite(factor) && factor > 0)) return kOutOfRange;
    const double r = kCopperResistivity20 * factor * lengthM / areaMm2;
    return std::isfinite(r) ? r : kOutOfRange;
}

double wiredReadingOhm(double rOhm, Wiring wiring, double leadOhm, double imbalanceOhm) {
    switch (wiring) {
        case Wiring::two:
            return rOhm + 2 * leadOhm;
        case Wiring::three:
            return rOhm + imbalanceOhm;
        case Wiring::four:
            return rOhm;
    }
    return kOutOfRange;
}

double leadErrorC(const Sensor& s, double t, Wiring wiring, double leadOhm, double imbalanceOhm) {
    if (s.isThermocouple()) return kOutOfRange;
    const double r = reading(s, t);
    if (outOfRange(r)) return kOutOfRange;
    const double wired = wiredReadingOhm(r, wiring, leadOhm, imbalanceOhm);
    if (!std::isfinite(wired)) return kOutOfRange;
    const double read = temperature(s, wired);
    if (outOfRange(read)) return kOutOfRange;
    return read - t;
}

}  // namespace kelvora::core
