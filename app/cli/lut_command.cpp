#include "app/cli/lut_command.hpp"

#include <cmath>
#include <ostream>

#include "app/cli/cli.hpp"
#include "app/cli/lut_format.hpp"
#include "core/lut.hpp"

namespace kelvora::cli {

namespace {

std::optional<double> numberOption(const std::optional<std::string>& text, std::string_view name,
                                   const Say& say) {
    if (!text) return std::nullopt;
    return number(*text, name, say);
}

// The temperatures a table may cover, as messages name them.
std::string lutRange(const core::Sensor& s, const Say& say) {
    std::string r = rangeText(core::lutTemperatureLimits(s), 2, say.celsius(), say);
    if (s.isThermocouple() && s.type == core::ThermocoupleType::B)
        r += say(", where its EMF is single-valued", "（热电势单值的范围）");
    return r;
}

Failure failureOf(core::LutError e, const LutOptions& o, const core::LutRequest& r,
                  const Say& say) {
    using core::LutError;
    const core::Sensor& s = r.sensor;
    const std::string unit = s.isThermocouple() ? "µV" : "mΩ";
    const std::string most = std::to_string(core::kLutMaxPoints);
    switch (e) {
        case LutError::none:
        case LutError::noBound:
            break;
        case LutError::boundAndPoints:
            return usage("give --max-error or --points, not both",
                         "--max-error 与 --points 只能给一个", say);
        case LutError::boundNotPositive:
            return usage("--max-error must be greater than 0 °C", "--max-error 必须大于 0℃", say);
        case LutError::boundTooSmall: {
            const std::string bound = "--max-error " + *o.maxError + say.celsius();
            const std::string least = boundText(core::lutLeastError(r.numbers)) + say.celsius();
            if (o.integer)
                return usage(bound +
                                 " is too small for --int: the stored temperatures and the "
                                 "interpolation are rounded to whole m°C; at least " +
                                 least,
                             bound + " 对 --int 太小：存储的温度与插值都取整到 m℃；至少 " + least,
                             say);
            return usage(
                bound +
                    " is too small for a double: the exact inverse's tolerance and the "
                    "rounding of the interpolation leave no room for it; at least " +
                    least,
                bound + " 对 double 太小：精确反函数的容差与插值的舍入已占去；至少 " + least, say);
        }
        case LutError::tooFewPoints:
            return usage("--points must be at least 2", "--points 至少为 2", say);
        case LutError::tooManyPoints:
            if (o.points)
                return usage("--points " + *o.points + ": at most " + most + " breakpoints",
                             "--points " + *o.points + "：至多 " + most + " 个断点", say);
            return usage("±" + *o.maxError + say.celsius() + " needs more than " + most +
                             " breakpoints over this range: use a larger --max-error or a "
                             "narrower range",
                         "±" + *o.maxError + say.celsius() + " 在此范围内需要超过 " + most +
                             " 个断点：请加大 --max-error 或缩小范围",
                         say);
        case LutError::fromNotBelowTo:
            return usage("--from must be below --to", "--from 必须小于 --to", say);
        case LutError::cjFromNotBelowTo:
            return usage("--cj-from must be below --cj-to", "--cj-from 必须小于 --cj-to", say);
        case LutError::fromOutOfRange:
        case LutError::toOutOfRange: {
            const bool from = e == LutError::fromOutOfRange;
            return Failure{kExitOutOfRange,
                           outOfRangeMessage(from ? "--from" : "--to", from ? *o.from : *o.to,
                                             say.celsius(), s, lutRange(s, say), say)};
        }
        case LutError::cjOutOfRange: {
            const core::Limits l = core::temperatureLimits(s);
            const bool from = o.cjFrom && !l.contains(*r.cjFromC);
            const std::string given = from ? *o.cjFrom : o.cjTo.value_or("");
            return Failure{kExitOutOfRange,
                           outOfRangeMessage(from ? "--cj-from" : "--cj-to", given, say.celsius(),
                                             s, rangeText(l, 2, say.celsius(), say), say)};
        }
        case LutError::rangeTooNarrow:
            return usage(
                "--from and --to hold fewer than two whole " + unit + " for --int: widen the range",
                "--from 与 --to 之间不足两个整 " + unit + "，不能用 --int：请放宽范围", say);
        case LutError::readingsBeyondInt32:
            return usage(
                "with --int the resistances in mΩ must fit an int32_t (at most "
                "2147483647 mΩ): R0 is too large",
                "用 --int 时以 mΩ 计的电阻须在 int32_t 之内（至多 2147483647 mΩ）：R0 "
                "太大",
                say);
    }
    return usage("lut needs a bound or a number of points: --max-error E (in °C) or --points N",
                 "lut 需要误差限或断点数：--max-error E（℃）或 --points N", say);
}

}  // namespace

int lut(const LutOptions& o, LineWriter& out, std::ostream& err, const Say& say) {
    const core::Sensor s = resolveSensor(o.sensor, say);
    // The table's proof bounds polynomials in t; an ITS-90 thermometer's W(t) is none.
    if (s.isIts90()) {
        throw usage("lut takes the thermocouples and PtN, CuN and NiN; ITS90 has no table here",
                    "lut 只用于热电偶和 PtN、CuN、NiN；ITS90 不能生成查找表", say);
    }
    if ((o.cjFrom || o.cjTo) && !s.isThermocouple()) {
        const std::string code = core::sensorCode(s);
        throw usage("--cj-from and --cj-to apply to thermocouples only; " + code +
                        " has no reference junction",
                    "--cj-from 与 --cj-to 只用于热电偶；" + code + " 没有参考端", say);
    }
    if (o.name && !isTableName(*o.name)) {
        throw usage("--name '" + *o.name +
                        "' must be a C identifier: a letter, then letters, digits or '_', at "
                        "most 40 characters",
                    "--name“" + *o.name +
                        "”须是 C 标识符：字母开头，其后为字母、数字或“_”，至多 "
                        "40 个字符",
                    say);
    }

    core::LutRequest r;
    r.sensor = s;
    r.numbers = o.integer ? core::LutNumbers::integer : core::LutNumbers::floating;
    if (o.maxError) {
        const double e = number(*o.maxError, "--max-error", say);
        r.maxErrorC = e > 0 ? e : -1;  // 0 would stand for no bound at all
    }
    if (o.points) {
        const double n = number(*o.points, "--points", say);
        if (n != std::floor(n))
            throw usage("--points '" + *o.points + "' must be a whole number",
                        "--points“" + *o.points + "”须是整数", say);
        r.points = n > core::kLutMaxPoints ? core::kLutMaxPoints + 1
                   : n < 1                 ? -1
                                           : static_cast<int>(n);
    }
    r.fromC = numberOption(o.from, "--from", say);
    r.toC = numberOption(o.to, "--to", say);
    r.cjFromC = numberOption(o.cjFrom, "--cj-from", say);
    r.cjToC = numberOption(o.cjTo, "--cj-to", say);

    const core::Lut t = core::makeLut(r);
    if (t.error != core::LutError::none) throw failureOf(t.error, o, r, say);

    const std::string name = o.name.value_or(defaultTableName(s));
    if (o.format == "csv")
        out.put(lutCsv(t));
    else if (o.format == "json")
        out.put(lutJson(t, name, KELVORA_VERSION));
    else
        out.put(lutCHeader(t, name, KELVORA_VERSION));
    out.flush();

    // What was achieved, on standard error: the table itself goes to standard output.
    const auto temperature = [&](double v) { return core::formatTrimmed(v, 3) + say.celsius(); };
    const std::string points = std::to_string(t.table.points.size());
    const std::string bytes = std::to_string(lutBytes(t, t.table));
    const std::string achieved = std::string("±") + boundText(t.table.maxError) + say.celsius();
    const std::string asked = o.points ? say(*o.points + " breakpoints", *o.points + " 个断点")
                                       : std::string("±") + *o.maxError + say.celsius();
    std::string line =
        say("lut " + core::sensorCode(s) + ": " + points + " breakpoints (" + bytes +
                " bytes) from " + temperature(t.fromC) + " to " + temperature(t.toC) +
                ", maximum error " + achieved + " (asked for " + asked + ")",
            "lut " + core::sensorCode(s) + "：" + points + " 个断点（" + bytes + " 字节），" +
                temperature(t.fromC) + "～" + temperature(t.toC) + "，最大误差 " + achieved +
                "（要求 " + asked + "）");
    if (s.isThermocouple()) {
        const std::string cjPoints = std::to_string(t.coldJunction.points.size());
        const std::string cjBytes = std::to_string(lutBytes(t, t.coldJunction));
        // Appended, not prefixed: GCC 12 warns of a prefixed literal here at -O3.
        std::string cjError = "±";
        cjError += boundText(t.coldJunction.maxError);
        cjError += say(" mV", "mV");
        line += say("; cold junction " + temperature(t.cjFromC) + " to " + temperature(t.cjToC) +
                        ": " + cjPoints + " points (" + cjBytes + " bytes) within " + cjError,
                    "；冷端 " + temperature(t.cjFromC) + "～" + temperature(t.cjToC) + "：" +
                        cjPoints + " 个点（" + cjBytes + " 字节），误差 " + cjError + " 以内");
    }
    report(err, line);
    return kExitOk;
}

}  // namespace kelvora::cli
