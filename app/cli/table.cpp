#include "app/cli/table.hpp"

#include <algorithm>
#include <cstring>

#include "app/cli/cli.hpp"
#include "app/cli/report.hpp"
#include "core/reference_junction.hpp"

namespace kelvora::cli {

namespace {

long long floorDiv(long long a, long long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string sourceText(const core::Sensor& s) {
    if (s.isThermocouple())
        return "ITS-90 reference functions, NIST ITS-90 Thermocouple Database (NIST SRD 60, "
               "Monograph 175)";
    const auto k = [](double v) { return core::formatSignificant(v); };
    switch (s.material) {
        case core::RtdMaterial::platinum:
            if (s.cvd == core::kIec60751)
                return "IEC 60751 Callendar-Van Dusen equation, A = 3.9083E-3, B = -5.775E-7, C = "
                       "-4.183E-12";
            return "Callendar-Van Dusen equation with the certificate's A = " + k(s.cvd.a) +
                   ", B = " + k(s.cvd.b) + ", C = " + k(s.cvd.c);
        case core::RtdMaterial::copper:
            return "copper W = 1 + A t + B t^2 + C t^3, A = 4.28899E-3, B = -2.133E-7, C = "
                   "1.233E-9";
        case core::RtdMaterial::nickel:
            return "DIN 43760 nickel W = 1 + A t + B t^2 + D t^4 + F t^6, A = 5.485E-3, B = "
                   "6.650E-6, D = 2.805E-11, F = -2.000E-17";
    }
    return "";
}

int table(const TableOptions& o, LineWriter& out, const Say& say) {
    const core::Sensor s = resolveSensor(o.sensor, say);
    const bool tc = s.isThermocouple();
    const std::string code = core::sensorCode(s);
    const bool certificate =
        !tc && s.material == core::RtdMaterial::platinum && s.cvd != core::kIec60751;
    const TablePoints p = tablePoints(s, o.from, o.to, o.step, o.cj, say);
    const long long count = p.count;

    const int digits = o.digits.value_or(tc ? 3 : 2);
    const std::string description = core::sensorDescription(s);
    const std::string t0Text =
        core::formatTrimmed(tc ? number(o.cj.value_or("0"), "", say) : 0.0, 15);
    const std::string unitName = tc ? "mV" : "Ω";
    const std::string fromText = p.textAt(0);
    const std::string lastText = p.textAt(count - 1);
    const long long stepUnit = pow10(p.scale - p.stepDecimals);  // 10^-stepDecimals in points
    const std::string stepText = scaledText(p.step / stepUnit, p.stepDecimals);

    // Each point: its temperature's text and the value's.
    const auto row = [&](long long k, auto&& emit) {
        const double v = tableValue(s, p.emfAtT0, p.at(k));
        if (core::outOfRange(v))  // the ranges are intervals: never inside the table's ends
            throw Failure{kExitOutOfRange,
                          temperatureOutOfRange("t", scaledText(p.scaledAt(k), p.scale), s, say)};
        emit(p.shownAt(k), core::formatFixed(v, digits));
    };
    const auto lineOf = [&](const char* sep, const char* open, const char* close) {
        for (long long k = 0; k < count; ++k) {
            row(k, [&](long long at, const std::string& v) {
                char* w = out.reserve(LineWriter::kMaxPiece);
                for (const char* c = open; *c;) *w++ = *c++;
                w = writeScaled(w, at, p.shown);
                for (const char* c = sep; *c;) *w++ = *c++;
                std::memcpy(w, v.data(), v.size());
                w += v.size();
                for (const char* c = close; *c;) *w++ = *c++;
                out.commit(w);
            });
        }
    };

    if (o.format == "csv") {
        out.put(tc ? "temperature_C,emf_mV\n" : "temperature_C,resistance_ohm\n");
        lineOf(",", "", "\n");
    } else if (o.format == "json") {
        const auto k = [](double v) { return core::formatSignificant(v); };
        out.put("{\"sensor\": \"" + code + "\", \"description\": \"" + description +
                "\", \"reference_C\": " + (tc ? t0Text : "null") + ", \"unit\": \"" + unitName +
                "\", " +
                (certificate
                     ? "\"cvd\": [" + k(s.cvd.a) + ", " + k(s.cvd.b) + ", " + k(s.cvd.c) + "], "
                     : std::string()) +
                "\"columns\": [\"temperature_C\", \"" + (tc ? "emf_mV" : "resistance_ohm") +
                "\"], \"rows\": [\n");
        for (long long n = 0; n < count; ++n) {
            row(n, [&](long long at, const std::string& v) {
                char* w = out.reserve(LineWriter::kMaxPiece);
                *w++ = '[';
                w = writeScaled(w, at, p.shown);
                *w++ = ',';
                *w++ = ' ';
                std::memcpy(w, v.data(), v.size());
                w += v.size();
                *w++ = ']';
                if (n + 1 < count) *w++ = ',';
                *w++ = '\n';
                out.commit(w);
            });
        }
        out.put("]}\n");
    } else if (o.format == "c") {
        // C names from the code: "Pt100.05" gives kelvora_pt100_05_… and KELVORA_PT100_05_….
        std::string name = code;
        std::replace(name.begin(), name.end(), '.', '_');
        std::string upperName = name;
        std::transform(name.begin(), name.end(), name.begin(), lower);
        std::transform(upperName.begin(), upperName.end(), upperName.begin(), upper);
        const std::string quantity = tc ? "emf_mV" : "resistance_ohm";
        out.put("/* Graduation table of " + (tc ? "thermocouple type " + code : code) + " (" +
                description + ")\n * from " + fromText + " to " + lastText + " deg C in steps of " +
                stepText + " deg C" +
                (tc ? ", reference junction at " + t0Text + " deg C; EMF in mV.\n"
                    : "; resistance in ohm.\n") +
                " * Source: " + sourceText(s) +
                ".\n * Written by kelvora-cli " KELVORA_VERSION ". kelvora_" + name + "_" +
                quantity + "[i] is the value at\n * KELVORA_" + upperName +
                "_START_C + i * KELVORA_" + upperName + "_STEP_C. */\n");
        const auto real = [](const std::string& t) {
            return t.find('.') == std::string::npos ? t + ".0" : t;
        };
        out.put("#define KELVORA_" + upperName + "_START_C (" + real(fromText) +
                ")\n#define KELVORA_" + upperName + "_STEP_C (" + real(stepText) +
                ")\n#define KELVORA_" + upperName + "_COUNT " + std::to_string(count) + "\n");
        out.put("static const double kelvora_" + name + "_" + quantity + "[KELVORA_" + upperName +
                "_COUNT] = {\n");
        for (long long n = 0; n < count; ++n) {
            row(n, [&](long long, const std::string& v) {
                out.put(n % 8 == 0 ? "    " : " ");
                out.put(v);
                out.put(n + 1 < count ? (n % 8 == 7 ? ",\n" : ",") : "\n");
            });
        }
        out.put("};\n");
    } else {
        // The layout of printed graduation tables: ten points a row, each row headed by its
        // first point's temperature, the columns by the steps 0 to 9 added to it.
        const long long shownUnit = pow10(p.scale - p.shown);
        const long long origin = ((p.from % p.step) + p.step) % p.step;
        const long long firstRow = floorDiv(p.from - origin, 10 * p.step);
        const long long lastRow = floorDiv(p.scaledAt(count - 1) - origin, 10 * p.step);
        const auto rowStart = [&](long long r) { return origin + r * 10 * p.step; };
        std::size_t labelWidth =
            std::max<std::size_t>({scaledText(rowStart(firstRow) / shownUnit, p.shown).size(),
                                   scaledText(rowStart(lastRow) / shownUnit, p.shown).size(), 3});
        std::size_t width = 0;
        for (long long k : {0LL, count / 2, count - 1})
            row(k, [&](long long, const std::string& v) { width = std::max(width, v.size() + 1); });
        for (long long c = 0; c < 10; ++c)
            width = std::max(width, scaledText(c * p.step / stepUnit, p.stepDecimals).size());
        const auto pad = [&](const std::string& t, std::size_t w) {
            out.put(std::string(t.size() < w ? w - t.size() : 0, ' '));
            out.put(t);
        };
        out.put("分度表  分度号 " + code + "  " + description + "\n");
        out.put(core::sensorRangeText(s) + (tc ? "  参考端温度 " + t0Text + "℃" : std::string()) +
                "  单位 " + (tc ? "热电势 mV" : "电阻值 Ω") + "\n");
        if (certificate)
            out.put("证书系数 A = " + core::formatSignificant(s.cvd.a) +
                    "  B = " + core::formatSignificant(s.cvd.b) +
                    "  C = " + core::formatSignificant(s.cvd.c) + "\n");
        pad("℃", labelWidth + 2);  // "℃" is three bytes shown as one column
        for (long long c = 0; c < 10; ++c) {
            out.put(' ');
            pad(scaledText(c * p.step / stepUnit, p.stepDecimals), width);
        }
        out.put('\n');
        long long k = 0;
        for (long long r = firstRow; r <= lastRow; ++r) {
            pad(scaledText(rowStart(r) / shownUnit, p.shown), labelWidth);
            std::size_t blank = 0;  // cells before the table's first point
            for (long long c = 0; c < 10 && k < count; ++c) {
                if (p.scaledAt(k) == rowStart(r) + c * p.step) {
                    out.put(std::string(blank, ' '));
                    blank = 0;
                    row(k++, [&](long long, const std::string& v) { pad(" " + v, width + 1); });
                } else {
                    blank += width + 1;
                }
            }
            out.put('\n');
        }
    }
    return kExitOk;
}

}  // namespace kelvora::cli
