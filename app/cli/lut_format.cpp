#include "app/cli/lut_format.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/table.hpp"

namespace kelvora::cli {

namespace {

using core::Lut;
using core::LutNumbers;
using core::LutTable;
using core::Sensor;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The decimal d₁.d₂…dₙ × 10^exponent: fixed below 10²¹ and from 10⁻⁷, with an exponent
// otherwise.
std::string decimalText(bool negative, std::string digits, int exponent) {
    std::string s = negative ? "-" : "";
    if (exponent < -7 || exponent >= 21) {
        s += digits[0];
        if (digits.size() > 1) (s += '.') += digits.substr(1);
        return s + 'e' + std::to_string(exponent);
    }
    if (exponent < 0)
        return s + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) return s + digits + std::string(whole - digits.size(), '0');
    return s + digits.substr(0, whole) + '.' + digits.substr(whole);
}

double readBack(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double v = 0;
    in >> v;
    return v;
}

// v's significant digits (trailing zeros dropped) and decimal exponent, correctly rounded
// to `digits` significant digits by printf, whatever the locale's decimal point.
std::string digitsOf(double v, int digits, int& exponent) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, std::fabs(v));
    std::string d;
    const char* p = buf;
    for (; *p != '\0' && *p != 'e'; ++p)
        if (isDigit(*p)) d += *p;
    exponent = std::atoi(p + 1);
    while (d.size() > 1 && d.back() == '0') d.pop_back();
    return d;
}

std::string integerText(double v) {
    return std::to_string(static_cast<long long>(v));
}

bool isInteger(const Lut& lut) {
    return lut.request.numbers == LutNumbers::integer;
}

// The names, units and types the texts use for one table.
struct Columns {
    std::string xName, yName;  // C identifiers' and json's suffixes: emf_mv, temperature_c
    std::string xUnit, yUnit;  // as the comments write them
    std::string xJson, yJson;  // json's and csv's column names
    std::string type;          // the C type of the values
};

Columns readingColumns(const Lut& lut) {
    const bool tc = lut.request.sensor.isThermocouple();
    if (isInteger(lut))
        return {tc ? "emf_uv" : "resistance_mohm",  "temperature_mc", tc ? "uV" : "mOhm", "m deg C",
                tc ? "reading_uV" : "reading_mOhm", "temperature_mC", "int32_t"};
    return {tc ? "emf_mv" : "resistance_ohm",
            "temperature_c",
            tc ? "mV" : "ohm",
            "deg C",
            "reading",
            "temperature_C",
            "double"};
}

Columns coldJunctionColumns(const Lut& lut) {
    if (isInteger(lut))
        return {"cj_temperature_mc", "cj_emf_nv", "m deg C", "nV",
                "temperature_mC",    "emf_nV",    "int32_t"};
    return {"cj_temperature_c", "cj_emf_mv", "deg C", "mV", "temperature_C", "emf_mV", "double"};
}

std::string valueText(const Lut& lut, double v) {
    return isInteger(lut) ? integerText(v) : roundTripText(v);
}

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

// A C array's initialiser: the values four spaces in, lines of at most 100 columns.
void cArray(std::string& out, const Lut& lut, const LutTable& t, bool ys, const std::string& type,
            const std::string& name, const std::string& count) {
    out += "static const " + type + " " + name + "[" + count + "] = {\n";
    std::string line = "   ";
    for (std::size_t i = 0; i < t.points.size(); ++i) {
        const double v = ys ? t.points[i].y : t.points[i].x;
        std::string item(1, ' ');  // appended, not prefixed: GCC 12 warns of the prefix at -O3
        item += valueText(lut, v);
        if (i + 1 < t.points.size()) item += ',';
        if (line.size() + item.size() > 100) {
            out += line + "\n";
            line = "   ";
        }
        line += item;
    }
    out += line + "\n};\n";
}

// Words wrapped into comment lines of at most 96 columns, the first line after `first`, the
// others after `next`.
void comment(std::string& out, const std::string& first, const std::string& next,
             const std::string& text) {
    std::string line = first;
    bool empty = true;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t space = text.find(' ', i);
        const std::string word =
            text.substr(i, space == std::string::npos ? std::string::npos : space - i);
        i = space == std::string::npos ? text.size() : space + 1;
        if (!empty && line.size() + 1 + word.size() > 96) {
            out += line + "\n";
            line = next;
            empty = true;
        }
        if (!empty) line += ' ';
        line += word;
        empty = false;
    }
    out += line + "\n";
}

std::string errorText(const Lut& lut) {
    const std::string achieved = "+/-" + boundText(lut.table.maxError) + " deg C";
    if (lut.request.points > 0)
        return std::to_string(lut.request.points) +
               " breakpoints asked for; the smallest maximum error they reach, " + achieved;
    return "requested +/-" + roundTripText(lut.request.maxErrorC) + " deg C, achieved " + achieved;
}

std::string readingWords(const Lut& lut) {
    if (lut.request.sensor.isThermocouple())
        return "the EMF against a reference junction at 0 deg C";
    return "the resistance";
}

}  // namespace

bool isTableName(std::string_view name) {
    if (name.empty() || name.size() > 40) return false;
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!letter(name[0])) return false;
    for (const char c : name)
        if (!letter(c) && !isDigit(c) && c != '_') return false;
    return true;
}

std::string defaultTableName(const Sensor& s) {
    std::string name = "kelvora_";
    for (const char c : core::sensorCode(s))
        name += c == '.' ? '_' : c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return name;
}

std::size_t lutBytes(const Lut& lut, const LutTable& t) {
    return t.points.size() * 2 * (isInteger(lut) ? 4 : 8);
}

std::string roundTripText(double v) {
    if (v == 0) return "0";
    if (!std::isfinite(v)) return std::isnan(v) ? "nan" : v > 0 ? "inf" : "-inf";
    for (int digits = 15;; ++digits) {
        int exponent = 0;
        const std::string d = digitsOf(v, digits, exponent);
        const std::string text = decimalText(v < 0, d, exponent);
        if (digits == 17 || readBack(text) == v) return text;
    }
}

std::string boundText(double v) {
    if (!(v > 0) || !std::isfinite(v)) return roundTripText(v);
    int exponent = 0;
    std::string d = digitsOf(v, 3, exponent);
    // Three digits as a whole number, raised by one while the text falls below v.
    long long m = std::atoll((d + std::string(3 - d.size(), '0')).c_str());
    for (;;) {
        std::string digits = std::to_string(m);
        int e = exponent;
        if (digits.size() > 3) ++e;  // 999 raised to 1000
        while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
        const std::string text = decimalText(false, digits, e);
        if (readBack(text) >= v) return text;
        ++m;
    }
}

std::string lutSensorText(const Sensor& s) {
    const std::string code = core::sensorCode(s);
    if (s.isThermocouple()) return "type " + code + " thermocouple";
    switch (s.material) {
        case core::RtdMaterial::platinum:
            return code + " platinum resistance thermometer, R0 = " + roundTripText(s.r0Ohm) +
                   " ohm";
        case core::RtdMaterial::copper:
            return code + " copper resistance thermometer, R0 = " + roundTripText(s.r0Ohm) + " ohm";
        case core::RtdMaterial::nickel:
            return code + " nickel resistance thermometer, R0 = " + roundTripText(s.r0Ohm) + " ohm";
    }
    return code;
}

std::string lutSourceText(const Sensor& s) {
    return sourceText(s) + (s.isThermocouple()
                                ? "; each breakpoint's temperature is the exact inverse of the "
                                  "reference function at its EMF"
                                : "; each breakpoint's temperature is its exact inverse");
}

std::string lutCHeader(const Lut& lut, std::string_view name, std::string_view version) {
    const Sensor& s = lut.request.sensor;
    const bool tc = s.isThermocouple(), integer = isInteger(lut);
    const std::string n(name), u = upper(name);
    const Columns r = readingColumns(lut), c = coldJunctionColumns(lut);
    const LutTable& t = lut.table;
    const std::string x = n + "_" + r.xName, y = n + "_" + r.yName;
    const std::string first = valueText(lut, t.points.front().x);
    const std::string last = valueText(lut, t.points.back().x);
    const std::string fail = integer ? "INT32_MIN" : "NAN";
    const LutTable& cj = lut.coldJunction;
    const std::string cjRange =
        !tc       ? ""
        : integer ? integerText(cj.points.front().x) + " to " + integerText(cj.points.back().x) +
                        " m deg C"
                  : roundTripText(lut.cjFromC) + " to " + roundTripText(lut.cjToC) + " deg C";

    std::string out;
    comment(out, "/* ", " * ",
            n + ".h: " + lutSensorText(s) + ": " + readingWords(lut) +
                " to the temperature by straight-line interpolation between breakpoints on the "
                "exact curve" +
                (tc ? ", and the EMF of the cold junction." : "."));
    out += " *\n";
    comment(out, " * Range:   ", " *          ",
            roundTripText(lut.fromC) + " to " + roundTripText(lut.toC) + " deg C, readings " +
                first + " to " + last + " " + r.xUnit + ".");
    comment(out, " * Error:   ", " *          ", errorText(lut) + ".");
    comment(out, " * Points:  ", " *          ",
            std::to_string(t.points.size()) + " breakpoints, " + std::to_string(lutBytes(lut, t)) +
                " bytes" +
                (tc ? "; cold junction " + std::to_string(lut.coldJunction.points.size()) +
                          " points, " + std::to_string(lutBytes(lut, lut.coldJunction)) + " bytes."
                    : "."));
    comment(out, " * Source:  ", " *          ", lutSourceText(s) + ".");
    comment(out, " * ", " * ", "Written by kelvora-cli " + std::string(version) + ".");
    out += " *\n";
    comment(out, " * ", " * ",
            std::string("The error is proven by the generator, not sampled: it is the exact "
                        "maximum of |interpolated - exact| over every reading from the first "
                        "breakpoint to the last") +
                (integer ? " (every whole reading)" : "") +
                ", taken on each stretch of a segment where the curve keeps its bending, with the "
                "rounding of the stored values and of the interpolation below included.");
    out += " *\n";
    if (integer) {
        out += " * int32_t " + n + "_temperature(int32_t " + r.xName + ")\n";
        comment(out, " *     ", " *     ",
                "The temperature in m deg C at " + readingWords(lut) + " in " + r.xUnit +
                    "; INT32_MIN outside " + first + " to " + last + " " + r.xUnit +
                    ". Stored temperatures are the exact ones rounded to the nearest m deg C; "
                    "t0 + (x - x0) * (t1 - t0) / (x1 - x0) is taken in 64-bit integers, the "
                    "quotient rounded half up.");
        if (tc) {
            out += " * int32_t " + n + "_cj_emf(int32_t t_mc)\n";
            comment(out, " *     ", " *     ",
                    "E(t) in uV against 0 deg C for a cold junction at t_mc m deg C, " + cjRange +
                        "; INT32_MIN outside. Interpolated in nV and rounded half up to uV, "
                        "within +/-" +
                        boundText(lut.coldJunction.maxError * 1000) +
                        " uV of the reference function. A reading taken against a cold junction "
                        "at t_cj_mc converts as " +
                        n + "_temperature(emf_uv + " + n + "_cj_emf(t_cj_mc)).");
        }
    } else {
        out += " * double " + n + "_temperature(double " + r.xName + ")\n";
        comment(out, " *     ", " *     ",
                "The temperature in deg C at " + readingWords(lut) + " in " + r.xUnit +
                    "; NAN outside " + first + " to " + last + " " + r.xUnit + ".");
        if (tc) {
            out += " * double " + n + "_cj_emf(double t_c)\n";
            comment(out, " *     ", " *     ",
                    "E(t) in mV against 0 deg C for a cold junction at t_c deg C, " + cjRange +
                        "; NAN outside. Within +/-" + boundText(lut.coldJunction.maxError) +
                        " mV of the reference function. A reading taken against a cold junction "
                        "at t_cj converts as " +
                        n + "_temperature(emf_mv + " + n + "_cj_emf(t_cj)).");
        }
    }
    out += " */\n#ifndef " + u + "_LUT_H\n#define " + u + "_LUT_H\n\n";
    out += integer ? "#include <stdint.h>\n\n" : "#include <math.h>\n\n";
    out += "#define " + u + "_POINTS " + std::to_string(t.points.size()) + "\n";
    cArray(out, lut, t, false, r.type, x, u + "_POINTS");
    cArray(out, lut, t, true, r.type, y, u + "_POINTS");
    if (tc) {
        out += "\n#define " + u + "_CJ_POINTS " + std::to_string(lut.coldJunction.points.size()) +
               "\n";
        cArray(out, lut, lut.coldJunction, false, c.type, n + "_" + c.xName, u + "_CJ_POINTS");
        cArray(out, lut, lut.coldJunction, true, c.type, n + "_" + c.yName, u + "_CJ_POINTS");
    }
    if (integer)
        out +=
            "\n/* n / d rounded half up, d > 0: floor((2n + d) / (2d)). */\n"
            "static inline int64_t " +
            n +
            "_div_round(int64_t n, int64_t d)\n{\n"
            "    const int64_t a = 2 * n + d, b = 2 * d;\n"
            "    return a / b - (a % b != 0 && a < 0);\n}\n";

    // The interpolation: the segment by binary search, then the straight line through it.
    const auto function = [&](const std::string& f, const std::string& arg, const std::string& xs,
                              const std::string& ys, const std::string& count, bool toMicro) {
        const std::string type = integer ? "int32_t" : "double";
        out += "\nstatic inline " + type + " " + f + "(" + type + " " + arg + ")\n{\n" +
               "    const " + type + "* x = " + xs + ";\n    const " + type + "* y = " + ys +
               ";\n    int lo = 0, hi = " + count + " - 1;\n    if (!(" + arg + " >= x[lo] && " +
               arg + " <= x[hi])) return " + fail + ";\n" +
               "    while (hi - lo > 1) {\n        const int mid = lo + (hi - lo) / 2;\n" +
               "        if (x[mid] <= " + arg + ")\n            lo = mid;\n" +
               "        else\n            hi = mid;\n    }\n";
        if (!integer) {
            out += "    return y[lo] + (" + arg +
                   " - x[lo]) * (y[hi] - y[lo]) / (x[hi] - x[lo]);\n}\n";
            return;
        }
        const std::string d = n + "_div_round(((int64_t)" + arg +
                              " - x[lo]) * (y[hi] - y[lo]), (int64_t)x[hi] - x[lo])";
        if (toMicro)
            out +=
                "    return (int32_t)" + n + "_div_round(y[lo] +\n        " + d + ", 1000);\n}\n";
        else
            out += "    return (int32_t)(y[lo] +\n        " + d + ");\n}\n";
    };
    function(n + "_temperature", r.xName, x, y, u + "_POINTS", false);
    if (tc)
        function(n + "_cj_emf", integer ? "t_mc" : "t_c", n + "_" + c.xName, n + "_" + c.yName,
                 u + "_CJ_POINTS", true);
    out += "\n#endif /* " + u + "_LUT_H */\n";
    return out;
}

std::string lutCsv(const Lut& lut) {
    const Columns r = readingColumns(lut);
    std::string out = r.xJson + "," + r.yJson + "\n";
    for (const core::LutPoint& p : lut.table.points)
        out += valueText(lut, p.x) + "," + valueText(lut, p.y) + "\n";
    return out;
}

std::string lutJson(const Lut& lut, std::string_view name, std::string_view version) {
    const Sensor& s = lut.request.sensor;
    const auto quoted = [](const std::string& v) { return "\"" + v + "\""; };
    const auto rows = [&](const LutTable& t) {
        std::string out = "[";
        for (std::size_t i = 0; i < t.points.size(); ++i)
            out += std::string(i == 0 ? "\n" : ",\n") + "    [" + valueText(lut, t.points[i].x) +
                   ", " + valueText(lut, t.points[i].y) + "]";
        return out + "]";
    };
    const Columns r = readingColumns(lut);
    const std::string readingUnit =
        isInteger(lut) ? (s.isThermocouple() ? "uV" : "mOhm") : (s.isThermocouple() ? "mV" : "ohm");
    std::string out = "{\"name\": " + quoted(std::string(name)) +
                      ", \"sensor\": " + quoted(core::sensorCode(s)) +
                      ", \"sensor_text\": " + quoted(lutSensorText(s)) +
                      ", \"description\": " + quoted(core::sensorDescription(s)) +
                      ",\n \"source\": " + quoted(lutSourceText(s)) +
                      ",\n \"written_by\": " + quoted("kelvora-cli " + std::string(version)) +
                      ", \"numbers\": " + quoted(isInteger(lut) ? "int32" : "double") +
                      ",\n \"from_C\": " + roundTripText(lut.fromC) +
                      ", \"to_C\": " + roundTripText(lut.toC) + ", \"requested_max_error_C\": " +
                      (lut.request.points > 0 ? "null" : roundTripText(lut.request.maxErrorC)) +
                      ", \"requested_points\": " +
                      (lut.request.points > 0 ? std::to_string(lut.request.points) : "null") +
                      ", \"max_error_C\": " + boundText(lut.table.maxError) +
                      ",\n \"table\": {\"reading_unit\": " + quoted(readingUnit) +
                      ", \"points\": " + std::to_string(lut.table.points.size()) +
                      ", \"bytes\": " + std::to_string(lutBytes(lut, lut.table)) +
                      ", \"columns\": [" + quoted(r.xJson) + ", " + quoted(r.yJson) +
                      "], \"rows\": " + rows(lut.table) + "},\n \"cold_junction\": ";
    if (s.isThermocouple()) {
        const Columns c = coldJunctionColumns(lut);
        out += "{\"from_C\": " + roundTripText(lut.cjFromC) +
               ", \"to_C\": " + roundTripText(lut.cjToC) +
               ", \"requested_max_error_mV\": " + roundTripText(core::kLutColdJunctionErrorMv) +
               ", \"max_error_mV\": " + boundText(lut.coldJunction.maxError) +
               ", \"points\": " + std::to_string(lut.coldJunction.points.size()) +
               ", \"bytes\": " + std::to_string(lutBytes(lut, lut.coldJunction)) +
               ", \"columns\": [" + quoted(c.xJson) + ", " + quoted(c.yJson) +
               "], \"rows\": " + rows(lut.coldJunction) + "}";
    } else {
        out += "null";
    }
    return out + "}\n";
}

}  // namespace kelvora::cli
