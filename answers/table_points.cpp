#include "answers/table_points.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include "answers/sensor_options.hpp"
#include "core/reference_junction.hpp"

namespace kelvora::answers {

namespace {

constexpr std::array<long long, kMaxDecimals + 1> kPow10{
    1, 10, 100, 1000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000, 1'000'000'000};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

long long pow10(int n) {
    return kPow10[static_cast<std::size_t>(n)];
}

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

char* writeScaled(char* p, long long scaled, int decimals) {
    if (decimals == 0) return std::to_chars(p, p + 24, scaled).ptr;
    if (scaled < 0) *p++ = '-';
    const unsigned long long a = scaled < 0 ? 0ULL - static_cast<unsigned long long>(scaled)
                                            : static_cast<unsigned long long>(scaled);
    const auto unit = static_cast<unsigned long long>(pow10(decimals));
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

double TablePoints::at(long long k) const {
    return static_cast<double>(scaledAt(k)) / static_cast<double>(pow10(scale));
}

long long TablePoints::shownAt(long long k) const {
    return scaledAt(k) / pow10(scale - shown);
}

std::string TablePoints::textAt(long long k) const {
    return scaledText(shownAt(k), shown);
}

double tableValue(const core::Sensor& s, double emfAtT0, double t) {
    if (!s.isThermocouple()) return core::reading(s, t);
    return core::emfAgainstReference(core::reading(s, t), emfAtT0).value_or(core::kOutOfRange);
}

TablePoints tablePoints(const core::Sensor& s, const std::optional<std::string>& fromText,
                        const std::optional<std::string>& toText,
                        const std::optional<std::string>& stepText,
                        const std::optional<std::string>& cj, const Say& say) {
    noReferenceFor(s, cj, say);
    const core::Limits limits = core::temperatureLimits(s);
    const auto decimal = [&](const std::optional<std::string>& text, double fallback,
                             std::string_view name) -> Decimal {
        if (!text) return *decimalOf(core::formatTrimmed(fallback, kMaxDecimals));
        const double v = number(*text, name, say);
        if (std::isfinite(v) && std::fabs(v) < 1e6)
            if (const auto d = decimalOf(trim(*text))) return *d;
        if (std::fabs(v) >= 1e6 && name != "--step")
            throw Failure{kExitOutOfRange, temperatureOutOfRange(name, *text, s, say)};
        throw Failure{kExitUsage, say(std::string(name) + " '" + *text + "': at most " +
                                          std::to_string(kMaxDecimals) + " decimals and 15 digits",
                                      std::string(name) + "“" + *text + "”：至多 " +
                                          std::to_string(kMaxDecimals) + " 位小数、15 位数字")};
    };
    const Decimal from = decimal(fromText, limits.lo, "--from");
    const Decimal to = decimal(toText, limits.hi, "--to");
    const Decimal step = decimal(stepText, 1.0, "--step");
    TablePoints p{};
    p.scale = std::max({from.decimals, to.decimals, step.decimals});
    const auto at = [&](Decimal d) { return d.scaled * pow10(p.scale - d.decimals); };
    p.from = at(from);
    p.step = at(step);
    const long long toS = at(to);
    p.shown = std::max(from.decimals, step.decimals);
    p.stepDecimals = step.decimals;

    if (p.step <= 0)
        throw Failure{kExitUsage, say("--step must be greater than 0", "--step 必须大于 0")};
    if (p.from > toS)
        throw Failure{kExitUsage, say("--from must not be above --to", "--from 不能大于 --to")};
    p.emfAtT0 = s.isThermocouple() ? referenceEmf(s, cj, say) : 0.0;
    const auto inRange = [&](long long k) {
        return !core::outOfRange(tableValue(s, p.emfAtT0, p.at(k)));
    };
    p.count = (toS - p.from) / p.step + 1;
    if (!inRange(0))
        throw Failure{kExitOutOfRange,
                      temperatureOutOfRange("--from", scaledText(p.from, p.scale), s, say)};
    // The default end of a range whose top is excluded is the last point below it.
    if (!toText && p.count > 1 && !inRange(p.count - 1)) --p.count;
    if (!inRange(p.count - 1))
        throw Failure{kExitOutOfRange,
                      temperatureOutOfRange("--to", scaledText(toS, p.scale), s, say)};
    if (p.count > kMaxRows) {
        throw Failure{
            kExitUsage,
            say("the table would have " + std::to_string(p.count) + " rows, at most " +
                    std::to_string(kMaxRows) + " are made: use a larger --step or a narrower range",
                "分度表将有 " + std::to_string(p.count) + " 行，至多 " + std::to_string(kMaxRows) +
                    " 行：请加大 --step 或缩小范围")};
    }
    return p;
}

}  // namespace kelvora::answers
