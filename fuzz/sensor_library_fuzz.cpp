// The sensor library on any input at all: sensor codes of any bytes, certificates of any
// coefficients, any EMF for the exact inverse, any temperature and class for the tolerances.
// What the library accepts must then give sound numbers both ways: a certificate that passes
// its checks gives a resistance that rises with the temperature and an inverse that leads
// back, the exact inverse gives a temperature whose EMF is the one asked for, and no
// exception reaches the caller.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "core/reference_junction.hpp"
#include "core/sensor.hpp"
#include "core/tolerance.hpp"
#include "fuzz/fuzz_support.hpp"

namespace {

using namespace kelvora::core;
using kelvora::fuzz::ByteReader;
using kelvora::fuzz::fail;

// A double that is mostly of a certificate's size: raw bits, or the standard coefficient
// scaled by a factor from 0 to 2 with either sign.
double coefficient(ByteReader& in, double standard) {
    switch (in.byte() % 4) {
        case 0:
            return in.rawDouble();
        case 1:
            return -standard * in.scaled(0, 2);
        default:
            return standard * in.scaled(0, 2);
    }
}

// A resistance thermometer that was accepted: it rises over its whole range, and every
// resistance of its range leads back to a temperature whose resistance it is.
void checkRtd(const Sensor& s, ByteReader& in) {
    const Limits t = temperatureLimits(s), r = readingLimits(s);
    if (!(r.lo > 0 && r.lo < r.hi && std::isfinite(r.hi)))
        fail("%s: resistances %g to %g", sensorCode(s).c_str(), r.lo, r.hi);
    for (int i = 0; i < 4; ++i) {
        const double x = in.scaled(t.lo, t.hi);
        const double ohm = reading(s, x);
        // Every resistance R gives inside the range is taken, also where rounding puts it a
        // few ulps beyond the resistance at an end.
        const double ulps = 8 * std::fabs(ohm) * 0x1p-52;
        if (!r.contains(ohm)) fail("R(%.17g) = %.17g outside its range", x, ohm);
        if (!(slope(s, x) > 0)) fail("slope %.17g at %.17g", slope(s, x), x);
        const double back = temperature(s, ohm);
        if (outOfRange(back)) fail("t(R(%.17g) = %.17g) refused", x, ohm);
        // Within a few ulps of the resistance: one ulp of temperature is worth R'·ulp(t).
        if (!(std::fabs(reading(s, back) - ohm) <= ulps + slope(s, x) * 1e-13 * 400))
            fail("%s: t(R(%.17g)) = %.17g", sensorCode(s).c_str(), x, back);
    }
    const double odd = in.rawDouble();
    const double v = temperature(s, odd);
    if (!outOfRange(v) && !(v >= t.lo && v <= t.hi)) fail("t(%.17g) = %.17g", odd, v);
}

void checkExact(ThermocoupleType type, double emf) {
    const ExactTemperature got = exactTemperature(type, emf);
    const Limits e = exactReadingLimits(type), t = exactTemperatureLimits(type);
    if (got.status != ExactStatus::ok) {
        if (e.contains(emf)) fail("exact(%d, %.17g) refused inside its range", int(type), emf);
        return;
    }
    if (!e.contains(emf)) fail("exact(%d, %.17g) taken outside its range", int(type), emf);
    if (!(got.temperatureC >= t.lo && got.temperatureC <= t.hi))
        fail("exact(%d, %.17g) = %.17g outside its range", int(type), emf, got.temperatureC);
    // The EMF of the root is the one asked for, to the rounding of the reference function
    // (and the tiny steps where two of its ranges meet).
    const double back = reading(thermocoupleSensor(type), got.temperatureC);
    if (!(std::fabs(back - emf) <= 1e-8)) fail("E(exact(%d, %.17g)) = %.17g", int(type), emf, back);
}

void checkOne(ByteReader& in) {
    switch (in.byte() % 4) {
        case 0: {  // a sensor code of any bytes
            const std::string code = in.bytes(in.byte() % 12);
            const SensorOrError s = parseSensorCode(code);
            if (s.ok() && !s.sensor.isThermocouple()) checkRtd(s.sensor, in);
            if (s.ok() && parseSensorCode(sensorCode(s.sensor)).sensor.r0Ohm != s.sensor.r0Ohm)
                fail("code '%s' does not read back", sensorCode(s.sensor).c_str());
            break;
        }
        case 1: {  // a certificate of any coefficients
            const double r0 = in.byte() & 1 ? in.rawDouble() : in.scaled(0, 2000);
            CvdCoefficients k{coefficient(in, kIec60751.a), coefficient(in, kIec60751.b),
                              coefficient(in, kIec60751.c)};
            if (in.byte() & 1)
                k = callendarCoefficients(coefficient(in, 0.00385), coefficient(in, 1.5),
                                          coefficient(in, 0.11));
            const SensorOrError s = platinumSensor(r0, k);
            if (s.ok()) checkRtd(s.sensor, in);
            break;
        }
        case 2: {  // any EMF, for each type
            const auto type = static_cast<ThermocoupleType>(in.byte() % 8);
            const Limits e = exactReadingLimits(type);
            checkExact(type, in.byte() & 1 ? in.rawDouble() : in.scaled(e.lo - 0.01, e.hi + 0.01));
            break;
        }
        default: {  // any class at any temperature
            const char* codes[] = {"S", "R", "B",     "K",    "N",    "E",
                                   "J", "T", "Pt100", "Cu50", "Ni100"};
            const Sensor s = parseSensorCode(codes[in.byte() % 11]).sensor;
            const auto c = static_cast<ToleranceClass>(in.byte() % 7);
            const double x = in.byte() & 1 ? in.rawDouble() : in.scaled(-300, 1900);
            const double tol = tolerance(s, x, c, in.byte() & 1 ? Element::film : Element::wire);
            if (!outOfRange(tol) && !(tol > 0 && tol < 20))
                fail("tolerance %.17g at %.17g", tol, x);
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    try {
        for (int n = 0; n < 8 && !in.empty(); ++n) checkOne(in);
    } catch (const std::exception& ex) {
        fail("exception escaped: %s", ex.what());
    } catch (...) {
        fail("exception escaped");
    }
    return 0;
}
