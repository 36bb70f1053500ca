#include "app/cli/cli.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/line_writer.hpp"
#include "core/conversion.hpp"
#include "core/reference_junction.hpp"
#include "core/rtd.hpp"
#include "core/sensors.hpp"
#include "core/thermocouple.hpp"
#include "ui/box_value.hpp"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace kelvora::cli {

namespace {

using core::SensorIndex;

// A table longer than this is refused: ten million lines are some 200 MB of text.
constexpr long long kMaxRows = 10'000'000;
// Decimals a value may be shown with: a double carries 15 significant digits.
constexpr int kMaxDigits = 15;
// Decimals of the table's --from, --to and --step.
constexpr int kMaxDecimals = 9;
constexpr std::array<long long, kMaxDecimals + 1> kPow10{
    1, 10, 100, 1000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000, 1'000'000'000};

// Why a value gave no result: the exit status it asks for and the message.
struct Failure {
    int status;
    std::string message;
};

// Texts in the user's language.
class Say {
  public:
    explicit Say(bool chinese) : zh_(chinese) {}
    std::string operator()(std::string_view en, std::string_view zh) const {
        return std::string(zh_ ? zh : en);
    }
    bool zh() const { return zh_; }
    std::string celsius() const { return zh_ ? "℃" : " °C"; }
    std::string unit(std::string_view u) const {
        return zh_ ? std::string(u) : " " + std::string(u);
    }

  private:
    bool zh_;
};

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A whole decimal number and nothing else: [+-] digits [. digits] [e [+-] digits], with at
// least one digit before the exponent ("5.", ".5" and "1e3" are numbers; "1,5", "1e", "inf"
// and "" are not).
bool isNumberText(std::string_view s) {
    std::size_t i = 0, digits = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    for (; i < s.size() && isDigit(s[i]); ++i) ++digits;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && isDigit(s[i]); ++i) ++digits;
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        for (; i < s.size() && isDigit(s[i]); ++i) ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

// The number in `text`, read as the window reads its boxes ("." whatever the locale), once
// the whole text is known to be one.
double number(std::string_view text, std::string_view what, const Say& say) {
    const std::string_view t = trim(text);
    if (!isNumberText(t)) {
        throw Failure{kExitUsage,
                      say(std::string(what) + " '" + std::string(t) +
                              "' is not a number: write it like 25, -3.5 or 1.2e3, with '.' as "
                              "the decimal point",
                          std::string(what) + "“" + std::string(t) +
                              "”不是数：应写作 25、-3.5 或 1.2e3，小数点用“.”")};
    }
    return ui::boxValue(t);
}

// v shown with up to `decimals` decimals and without trailing zeros: 1768.1, -5.891, 0.
std::string plain(double v, int decimals) {
    std::string s = core::formatFixed(v, decimals);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

std::string rangeText(core::Limits l, int decimals, const std::string& unit, const Say& say) {
    const std::string lo = plain(l.lo, decimals) + unit, hi = plain(l.hi, decimals) + unit;
    if (l.hiIncluded) return say(lo + " to " + hi, lo + "～" + hi);
    return say(lo + " up to " + hi + " (" + hi + " itself excluded)",
               lo + "～" + hi + "（不含 " + hi + "）");
}

std::string sensorName(SensorIndex i, const Say& say) {
    const std::string code(core::kSensorListTexts[static_cast<std::size_t>(i)]);
    if (core::isThermocouple(i)) return say("type " + code + " thermocouple", code + " 型热电偶");
    return say(code, code + " 热电阻");
}

std::string outOfRangeMessage(std::string_view what, std::string_view text, const std::string& unit,
                              SensorIndex i, const std::string& range, const Say& say) {
    const std::string value = std::string(trim(text)) + unit;
    return say(
        std::string(what) + " " + value + " is out of range for " + sensorName(i, say) +
            ": accepted " + range,
        std::string(what) + " " + value + " 超出 " + sensorName(i, say) + " 的范围：" + range);
}

std::string temperatureOutOfRange(std::string_view what, std::string_view text, SensorIndex i,
                                  const Say& say) {
    return outOfRangeMessage(what, text, say.celsius(), i,
                             rangeText(core::temperatureLimits(i), 3, say.celsius(), say), say);
}

std::string knownSensors() {
    std::string s;
    for (std::string_view code : core::kSensorListTexts) (s += code) += ' ';
    s.pop_back();
    return s;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

SensorIndex sensor(std::string_view code, const Say& say) {
    for (std::size_t i = 0; i < core::kSensorListTexts.size(); ++i) {
        const std::string_view known = core::kSensorListTexts[i];
        if (known.size() == code.size() &&
            std::equal(known.begin(), known.end(), code.begin(),
                       [](char a, char b) { return lower(a) == lower(b); }))
            return static_cast<SensorIndex>(i);
    }
    throw Failure{kExitUsage, say("unknown sensor '" + std::string(code) + "': one of " +
                                      knownSensors() + " (kelvora-cli list)",
                                  "未知的传感器“" + std::string(code) + "”：可用 " +
                                      knownSensors() + "（见 kelvora-cli list）")};
}

SensorIndex thermocouple(std::string_view code, std::string_view command, const Say& say) {
    const SensorIndex i = sensor(code, say);
    if (!core::isThermocouple(i)) {
        throw Failure{kExitUsage,
                      say(std::string(command) + " needs a thermocouple (S R B K N E J T); " +
                              std::string(code) + " is a resistance thermometer",
                          std::string(command) + " 只用于热电偶（S R B K N E J T）；" +
                              std::string(code) + " 是热电阻")};
    }
    return i;
}

// The reference junction of a thermocouple: E(t0) against 0 °C, checked once for all values.
double referenceEmf(SensorIndex i, const std::optional<std::string>& cj, const Say& say) {
    const double t0 = cj ? number(*cj, say("reference temperature", "参考端温度"), say) : 0.0;
    const double e0 = core::e(t0, i);
    if (core::outOfRange(e0))
        throw Failure{kExitOutOfRange,
                      temperatureOutOfRange(say("reference temperature", "参考端温度"),
                                            cj.value_or("0"), i, say)};
    return e0;
}

void noReferenceFor(SensorIndex i, const std::optional<std::string>& cj, const Say& say) {
    if (cj && !core::isThermocouple(i)) {
        const std::string code(core::kSensorListTexts[static_cast<std::size_t>(i)]);
        throw Failure{kExitUsage, say("--cj applies to thermocouples only; " + code +
                                          " has no reference junction",
                                      "--cj 只用于热电偶；" + code + " 没有参考端")};
    }
}

// ---- One value, or a column of them ------------------------------------------------------

using Convert = std::function<std::string(std::string_view)>;

void report(std::ostream& err, std::string_view message) {
    err << "kelvora-cli: " << message << '\n';
}

int convertValues(std::string_view value, const Convert& convert, std::istream& in, LineWriter& out,
                  std::ostream& err, const Say& say) {
    if (value != "-") {
        try {
            const std::string result = convert(value);
            out.put(result);
            out.put('\n');
            return kExitOk;
        } catch (const Failure& f) {
            report(err, f.message);
            return f.status;
        }
    }
    // A column: one result per line, an empty line in its place where a value fails, so
    // the results stay beside their readings.
    int status = kExitOk;
    long long lineNo = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        if (!trim(line).empty()) {
            try {
                out.put(convert(line));
            } catch (const Failure& f) {
                out.flush();
                report(err, say("line " + std::to_string(lineNo) + ": ",
                                "第 " + std::to_string(lineNo) + " 行：") +
                                f.message);
                status = std::max(status, f.status);
            }
        }
        out.put('\n');
        if (in.rdbuf()->in_avail() <= 0) out.flush();
    }
    return status;
}

// ---- Tables -----------------------------------------------------------------------------

// A decimal number as a whole number of 10^-decimals.
struct Decimal {
    long long scaled;
    int decimals;
};

std::optional<Decimal> decimalOf(std::string_view s) {
    bool negative = false;
    std::size_t i = 0;
    if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
    std::string digits;
    int decimals = 0;
    for (; i < s.size() && isDigit(s[i]); ++i) digits += s[i];
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && isDigit(s[i]); ++i, ++decimals) digits += s[i];
    if (i < s.size()) {
        long exponent = 0;
        std::from_chars(s.data() + i + 1 + (s[i + 1] == '+'), s.data() + s.size(), exponent);
        if (exponent > 40 || exponent < -40) return std::nullopt;
        decimals -= static_cast<int>(exponent);
    }
    for (; decimals < 0; ++decimals) digits += '0';
    while (decimals > 0 && digits.back() == '0') {
        digits.pop_back();
        --decimals;
    }
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    if (decimals > kMaxDecimals || digits.size() > 15) return std::nullopt;
    long long scaled = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), scaled);
    return Decimal{negative ? -scaled : scaled, decimals};
}

// The text of scaled / 10^decimals, exactly.
char* writeScaled(char* p, long long scaled, int decimals) {
    if (decimals == 0) return std::to_chars(p, p + 24, scaled).ptr;
    if (scaled < 0) *p++ = '-';
    const unsigned long long a = scaled < 0 ? 0ULL - static_cast<unsigned long long>(scaled)
                                            : static_cast<unsigned long long>(scaled);
    const auto unit = static_cast<unsigned long long>(kPow10[static_cast<std::size_t>(decimals)]);
    p = std::to_chars(p, p + 24, a / unit).ptr;
    *p++ = '.';
    char frac[24];
    char* end = std::to_chars(frac, frac + sizeof frac, a % unit).ptr;
    const std::size_t n = static_cast<std::size_t>(end - frac);
    std::memset(p, '0', static_cast<std::size_t>(decimals) - n);
    std::memcpy(p + decimals - static_cast<int>(n), frac, n);
    return p + decimals;
}

std::string scaledText(long long scaled, int decimals) {
    char buf[48];
    return {buf, writeScaled(buf, scaled, decimals)};
}

long long floorDiv(long long a, long long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

struct TableOptions {
    std::string sensor;
    std::optional<std::string> from, to, step, cj;
    std::string format = "text";
    std::optional<int> digits;
};

const char* const kThermocoupleSource =
    "ITS-90 reference functions, NIST ITS-90 Thermocouple Database (NIST SRD 60, Monograph 175)";
const char* const kPlatinumSource =
    "IEC 60751 Callendar-Van Dusen equation, A = 3.9083E-3, B = -5.775E-7, C = -4.183E-12";
const char* const kCopperSource =
    "copper W = 1 + A t + B t^2 + C t^3, A = 4.28899E-3, B = -2.133E-7, C = 1.233E-9";

int table(const TableOptions& o, LineWriter& out, const Say& say) {
    const SensorIndex i = sensor(o.sensor, say);
    const bool tc = core::isThermocouple(i);
    noReferenceFor(i, o.cj, say);
    const std::string code(core::kSensorListTexts[static_cast<std::size_t>(i)]);
    const core::Limits limits = core::temperatureLimits(i);

    // The table's points from + k·step as exact decimals at one common scale.
    const auto decimal = [&](const std::optional<std::string>& text, double fallback,
                             std::string_view name) -> Decimal {
        if (!text) return *decimalOf(plain(fallback, kMaxDecimals));
        const double v = number(*text, name, say);
        if (std::isfinite(v) && std::fabs(v) < 1e6)
            if (const auto d = decimalOf(trim(*text))) return *d;
        if (std::fabs(v) >= 1e6 && name != "--step")
            throw Failure{kExitOutOfRange, temperatureOutOfRange(name, *text, i, say)};
        throw Failure{kExitUsage, say(std::string(name) + " '" + *text + "': at most " +
                                          std::to_string(kMaxDecimals) + " decimals and 15 digits",
                                      std::string(name) + "“" + *text + "”：至多 " +
                                          std::to_string(kMaxDecimals) + " 位小数、15 位数字")};
    };
    const Decimal from = decimal(o.from, limits.lo, "--from");
    const Decimal to = decimal(o.to, limits.hi, "--to");
    const Decimal step = decimal(o.step, 1.0, "--step");
    const int scale = std::max({from.decimals, to.decimals, step.decimals});
    const auto at = [&](Decimal d) {
        return d.scaled * kPow10[static_cast<std::size_t>(scale - d.decimals)];
    };
    const long long fromS = at(from), toS = at(to), stepS = at(step);
    const int shown = std::max(from.decimals, step.decimals);  // decimals of the temperatures
    const long long shownUnit = kPow10[static_cast<std::size_t>(scale - shown)];
    const double unit = static_cast<double>(kPow10[static_cast<std::size_t>(scale)]);

    if (stepS <= 0)
        throw Failure{kExitUsage, say("--step must be greater than 0", "--step 必须大于 0")};
    if (fromS > toS)
        throw Failure{kExitUsage, say("--from must not be above --to", "--from 不能大于 --to")};
    const double e0 = tc ? referenceEmf(i, o.cj, say) : 0.0;
    const auto valueAt = [&](double t) {
        if (!tc) return core::r_Ohm(t, i);
        return core::emfAgainstReference(core::e(t, i), e0).value_or(core::kOutOfRange);
    };
    long long count = (toS - fromS) / stepS + 1;
    const auto pointAt = [&](long long k) { return fromS + k * stepS; };
    if (core::outOfRange(valueAt(static_cast<double>(fromS) / unit)))
        throw Failure{kExitOutOfRange,
                      temperatureOutOfRange("--from", scaledText(fromS, scale), i, say)};
    // The default end of a range whose top is excluded is the last point below it.
    if (!o.to && count > 1 &&
        core::outOfRange(valueAt(static_cast<double>(pointAt(count - 1)) / unit)))
        --count;
    if (core::outOfRange(valueAt(static_cast<double>(pointAt(count - 1)) / unit)))
        throw Failure{kExitOutOfRange,
                      temperatureOutOfRange("--to", scaledText(toS, scale), i, say)};
    if (count > kMaxRows) {
        throw Failure{kExitUsage,
                      say("the table would have " + std::to_string(count) + " rows, at most " +
                              std::to_string(kMaxRows) +
                              " are made: use a larger --step or a "
                              "narrower range",
                          "分度表将有 " + std::to_string(count) + " 行，至多 " +
                              std::to_string(kMaxRows) + " 行：请加大 --step 或缩小范围")};
    }

    const int digits = o.digits.value_or(tc ? 3 : 2);
    const std::string description(core::kSensorDescriptionTexts[static_cast<std::size_t>(i)]);
    const std::string t0Text = plain(tc ? number(o.cj.value_or("0"), "", say) : 0.0, kMaxDigits);
    const std::string unitName = tc ? "mV" : "Ω";
    const std::string fromText = scaledText(fromS / shownUnit, shown);
    const std::string lastText = scaledText(pointAt(count - 1) / shownUnit, shown);
    const std::string stepText =
        scaledText(stepS / kPow10[static_cast<std::size_t>(scale - step.decimals)], step.decimals);

    // Each point: its temperature's text and the value's.
    const auto row = [&](long long k, auto&& emit) {
        const long long p = pointAt(k);
        const double v = valueAt(static_cast<double>(p) / unit);
        if (core::outOfRange(v))  // the ranges are intervals: never inside the table's ends
            throw Failure{kExitOutOfRange,
                          temperatureOutOfRange("t", scaledText(p, scale), i, say)};
        emit(p / shownUnit, core::formatFixed(v, digits));
    };
    const auto lineOf = [&](const char* sep, const char* open, const char* close) {
        for (long long k = 0; k < count; ++k) {
            row(k, [&](long long p, const std::string& v) {
                char* w = out.reserve(LineWriter::kMaxPiece);
                for (const char* c = open; *c;) *w++ = *c++;
                w = writeScaled(w, p, shown);
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
        out.put("{\"sensor\": \"" + code + "\", \"description\": \"" + description +
                "\", \"reference_C\": " + (tc ? t0Text : "null") + ", \"unit\": \"" + unitName +
                "\", \"columns\": [\"temperature_C\", \"" + (tc ? "emf_mV" : "resistance_ohm") +
                "\"], \"rows\": [\n");
        for (long long k = 0; k < count; ++k) {
            row(k, [&](long long p, const std::string& v) {
                char* w = out.reserve(LineWriter::kMaxPiece);
                *w++ = '[';
                w = writeScaled(w, p, shown);
                *w++ = ',';
                *w++ = ' ';
                std::memcpy(w, v.data(), v.size());
                w += v.size();
                *w++ = ']';
                if (k + 1 < count) *w++ = ',';
                *w++ = '\n';
                out.commit(w);
            });
        }
        out.put("]}\n");
    } else if (o.format == "c") {
        std::string name = code;
        std::transform(name.begin(), name.end(), name.begin(), lower);
        std::string upper = code;
        std::transform(upper.begin(), upper.end(), upper.begin(), cli::upper);
        const std::string quantity = tc ? "emf_mV" : "resistance_ohm";
        out.put("/* Graduation table of " + (tc ? "thermocouple type " + code : code) + " (" +
                description + ")\n * from " + fromText + " to " + lastText + " deg C in steps of " +
                stepText + " deg C" +
                (tc ? ", reference junction at " + t0Text + " deg C; EMF in mV.\n"
                    : "; resistance in ohm.\n") +
                " * Source: " +
                (tc       ? kThermocoupleSource
                 : i <= 9 ? kPlatinumSource
                          : kCopperSource) +
                ".\n * Written by kelvora-cli " KELVORA_VERSION ". kelvora_" + name + "_" +
                quantity + "[i] is the value at\n * KELVORA_" + upper + "_START_C + i * KELVORA_" +
                upper + "_STEP_C. */\n");
        const auto real = [](const std::string& s) {
            return s.find('.') == std::string::npos ? s + ".0" : s;
        };
        out.put("#define KELVORA_" + upper + "_START_C (" + real(fromText) + ")\n#define KELVORA_" +
                upper + "_STEP_C (" + real(stepText) + ")\n#define KELVORA_" + upper + "_COUNT " +
                std::to_string(count) + "\n");
        out.put("static const double kelvora_" + name + "_" + quantity + "[KELVORA_" + upper +
                "_COUNT] = {\n");
        for (long long k = 0; k < count; ++k) {
            row(k, [&](long long, const std::string& v) {
                out.put(k % 8 == 0 ? "    " : " ");
                out.put(v);
                out.put(k + 1 < count ? (k % 8 == 7 ? ",\n" : ",") : "\n");
            });
        }
        out.put("};\n");
    } else {
        // The layout of printed graduation tables: ten points a row, each row headed by its
        // first point's temperature, the columns by the steps 0 to 9 added to it.
        const long long origin = ((fromS % stepS) + stepS) % stepS;
        const long long firstRow = floorDiv(fromS - origin, 10 * stepS);
        const long long lastRow = floorDiv(pointAt(count - 1) - origin, 10 * stepS);
        const auto rowStart = [&](long long r) { return origin + r * 10 * stepS; };
        std::size_t labelWidth =
            std::max<std::size_t>({scaledText(rowStart(firstRow) / shownUnit, shown).size(),
                                   scaledText(rowStart(lastRow) / shownUnit, shown).size(), 3});
        std::size_t width = 0;
        for (long long k : {0LL, count / 2, count - 1})
            row(k, [&](long long, const std::string& v) { width = std::max(width, v.size() + 1); });
        for (long long c = 0; c < 10; ++c)
            width = std::max(
                width,
                scaledText(c * stepS / kPow10[static_cast<std::size_t>(scale - step.decimals)],
                           step.decimals)
                    .size());
        const auto pad = [&](const std::string& s, std::size_t w) {
            out.put(std::string(s.size() < w ? w - s.size() : 0, ' '));
            out.put(s);
        };
        out.put("分度表  分度号 " + code + "  " + description + "\n");
        out.put(std::string(core::kSensorRangeTexts[static_cast<std::size_t>(i)]) +
                (tc ? "  参考端温度 " + t0Text + "℃" : std::string()) + "  单位 " +
                (tc ? "热电势 mV" : "电阻值 Ω") + "\n");
        pad("℃", labelWidth + 2);  // "℃" is three bytes shown as one column
        for (long long c = 0; c < 10; ++c) {
            out.put(' ');
            pad(scaledText(c * stepS / kPow10[static_cast<std::size_t>(scale - step.decimals)],
                           step.decimals),
                width);
        }
        out.put('\n');
        long long k = 0;
        for (long long r = firstRow; r <= lastRow; ++r) {
            pad(scaledText(rowStart(r) / shownUnit, shown), labelWidth);
            std::size_t blank = 0;  // cells before the table's first point
            for (long long c = 0; c < 10 && k < count; ++c) {
                if (pointAt(k) == rowStart(r) + c * stepS) {
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

// ---- Usage errors from the argument parser ------------------------------------------------

bool isCommand(std::string_view word) {
    for (std::string_view c : {"emf", "temp", "res", "table", "list"})
        if (word == c) return true;
    return false;
}

std::string usageMessage(const CLI::ParseError& e, const Say& say) {
    std::string what = e.what();
    if (!say.zh()) return what;
    const std::size_t colon = what.find(": ");
    const std::string detail = colon == std::string::npos ? what : what.substr(colon + 2);
    if (dynamic_cast<const CLI::ExtrasError*>(&e)) return "多余的参数或未知的选项：" + detail;
    if (dynamic_cast<const CLI::RequiredError*>(&e)) return "缺少必需的命令或参数：" + what;
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) return "参数个数不对：" + what;
    if (dynamic_cast<const CLI::ValidationError*>(&e) ||
        dynamic_cast<const CLI::ConversionError*>(&e))
        return "参数值不合用：" + what;
    return "命令行有误：" + what;
}

}  // namespace

int run(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err,
        bool chinese) {
    const Say say(chinese);
    CLI::App app{
        "Thermocouple EMF and resistance thermometer conversions and graduation tables "
        "(ITS-90, IEC 60751). Temperatures in deg C, EMF in mV, resistance in ohm; '.' "
        "is the decimal point. A value given as '-' is read from standard input, one "
        "per line. Exit status: 0 all well, 1 a value out of range, 2 a usage error.",
        "kelvora-cli"};
    app.set_version_flag("--version", "kelvora-cli " KELVORA_VERSION);
    app.require_subcommand(1);

    std::string sensorCode, value;
    std::optional<std::string> cj;
    std::optional<int> digits;
    TableOptions t;
    const auto digitsOption = [&](CLI::App* c, std::optional<int>& d) {
        c->add_option("--digits", d, "decimals shown (default: the window's)")
            ->check(CLI::Range(0, kMaxDigits));
    };
    const auto sensorArgument = [&](CLI::App* c, std::string& s, const std::string& kinds) {
        c->add_option("SENSOR", s, kinds)->required();
    };

    CLI::App* emf =
        app.add_subcommand("emf", "EMF in mV of a thermocouple at TEMP, E(TEMP) - E(T0)");
    sensorArgument(emf, sensorCode, "thermocouple type: S R B K N E J T");
    emf->add_option("TEMP", value, "temperature in deg C, or - to read them from standard input")
        ->required();
    emf->add_option("--cj", cj, "reference junction temperature T0 in deg C (default 0)");
    digitsOption(emf, digits);

    CLI::App* temp = app.add_subcommand(
        "temp", "temperature in deg C at an EMF in mV (thermocouple) or a resistance in ohm (RTD)");
    sensorArgument(temp, sensorCode, knownSensors());
    temp->add_option("VALUE", value, "EMF in mV or resistance in ohm, or - for standard input")
        ->required();
    temp->add_option("--cj", cj, "reference junction temperature T0 in deg C (default 0)");
    digitsOption(temp, digits);

    CLI::App* res =
        app.add_subcommand("res", "resistance in ohm of a resistance thermometer at TEMP");
    sensorArgument(res, sensorCode, "resistance thermometer: Pt100 Pt10 Cu100 Cu50");
    res->add_option("TEMP", value, "temperature in deg C, or - for standard input")->required();
    digitsOption(res, digits);

    CLI::App* tab = app.add_subcommand("table", "graduation table of a sensor");
    sensorArgument(tab, t.sensor, knownSensors());
    tab->add_option("--from", t.from, "first temperature in deg C (default: the sensor's lowest)");
    tab->add_option("--to", t.to, "last temperature in deg C (default: the sensor's highest)");
    tab->add_option("--step", t.step, "step in deg C (default 1)");
    tab->add_option("--cj", t.cj, "reference junction temperature T0 in deg C (default 0)");
    tab->add_option("--format", t.format, "text (default), csv, json or c")
        ->check(CLI::IsMember({"text", "csv", "json", "c"}));
    digitsOption(tab, t.digits);

    CLI::App* list =
        app.add_subcommand("list", "every sensor with its code, description and range");

    try {
        // A first word that is neither an option nor a command is a mistyped command.
        if (argc > 1 && argv[1][0] != '-' && !isCommand(argv[1])) {
            report(err, say("unknown command '" + std::string(argv[1]) +
                                "': one of emf, temp, res, table, list",
                            "未知的命令“" + std::string(argv[1]) +
                                "”：可用 emf、temp、res、table、list"));
            err << say("Run 'kelvora-cli --help' for usage.\n", "用法见 kelvora-cli --help\n");
            return kExitUsage;
        }
        // CLI11 takes "-.5" for an option; the same number as "-0.5" it takes for a value.
        std::vector<std::string> args(argv + 1, argv + argc);
        for (std::string& a : args)
            if (a.size() > 2 && a.compare(0, 2, "-.") == 0 && isNumberText(a)) a.insert(1, "0");
        std::reverse(args.begin(), args.end());
        app.parse(args);
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << '\n';
        return kExitOk;
    } catch (const CLI::Success& e) {
        return app.exit(e, out, err);
    } catch (const CLI::ParseError& e) {
        report(err, usageMessage(e, say));
        err << say("Run 'kelvora-cli --help' for usage.\n", "用法见 kelvora-cli --help\n");
        return kExitUsage;
    }

    LineWriter writer(out);
    try {
        if (list->parsed()) {
            for (std::size_t i = 0; i < core::kSensorListTexts.size(); ++i) {
                std::string_view range = core::kSensorRangeTexts[i];
                range.remove_prefix(std::min(range.find(' ') + 1, range.size()));
                writer.put(std::string(core::kSensorListTexts[i]) + '\t' +
                           std::string(core::kSensorDescriptionTexts[i]) + '\t' +
                           std::string(range) + '\n');
            }
            return kExitOk;
        }
        if (tab->parsed()) return table(t, writer, say);

        Convert convert;
        if (emf->parsed()) {
            const SensorIndex i = thermocouple(sensorCode, "emf", say);
            const double e0 = referenceEmf(i, cj, say);
            convert = [&, i, e0](std::string_view text) {
                const std::string what = say("temperature", "温度");
                const auto e = core::emfAgainstReference(core::e(number(text, what, say), i), e0);
                if (!e) throw Failure{kExitOutOfRange, temperatureOutOfRange(what, text, i, say)};
                return core::formatFixed(*e, digits.value_or(3));
            };
        } else if (temp->parsed()) {
            const SensorIndex i = sensor(sensorCode, say);
            noReferenceFor(i, cj, say);
            const bool tc = core::isThermocouple(i);
            const double e0 = tc ? referenceEmf(i, cj, say) : 0.0;
            const std::string reference = plain(cj ? number(*cj, "", say) : 0.0, kMaxDigits);
            convert = [&, i, tc, e0, reference](std::string_view text) {
                const std::string what = tc ? say("EMF", "热电势") : say("resistance", "电阻");
                const double v = number(text, what, say);
                const double T =
                    tc ? core::temperatureAgainstReference(v, e0, i, core::t) : core::t_Ohm(v, i);
                if (core::outOfRange(T)) {
                    core::Limits l = core::readingLimits(i);
                    std::string range;
                    if (tc) {
                        l.lo -= e0;
                        l.hi -= e0;
                        range = rangeText(l, 3, say.unit("mV"), say) +
                                say(" with the reference junction at " + reference + say.celsius(),
                                    "（参考端 " + reference + say.celsius() + "）");
                    } else {
                        range = rangeText(l, 2, say.unit("Ω"), say);
                    }
                    throw Failure{kExitOutOfRange,
                                  outOfRangeMessage(what, text, tc ? say.unit("mV") : say.unit("Ω"),
                                                    i, range, say)};
                }
                return core::formatFixed(T, digits.value_or(2));
            };
        } else {
            const SensorIndex i = sensor(sensorCode, say);
            if (core::isThermocouple(i)) {
                throw Failure{
                    kExitUsage,
                    say("res needs a resistance thermometer (Pt100 Pt10 Cu100 Cu50); " +
                            sensorCode + " is a thermocouple",
                        "res 只用于热电阻（Pt100 Pt10 Cu100 Cu50）；" + sensorCode + " 是热电偶")};
            }
            convert = [&, i](std::string_view text) {
                const std::string what = say("temperature", "温度");
                const double r = core::r_Ohm(number(text, what, say), i);
                if (core::outOfRange(r))
                    throw Failure{kExitOutOfRange, temperatureOutOfRange(what, text, i, say)};
                return core::formatFixed(r, digits.value_or(2));
            };
        }
        return convertValues(value, convert, in, writer, err, say);
    } catch (const Failure& f) {
        writer.flush();
        report(err, f.message);
        return f.status;
    } catch (const std::exception& e) {
        writer.flush();
        report(err, say("calculation error: ", "计算错误：") + e.what());
        return kExitOutOfRange;
    }
}

bool chineseLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(name);
        if (v != nullptr && *v != '\0') return std::strncmp(v, "zh", 2) == 0;
    }
#ifdef _WIN32
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE;
#else
    return false;
#endif
}

}  // namespace kelvora::cli
