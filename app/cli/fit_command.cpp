#include "app/cli/fit_command.hpp"

#include <algorithm>
#include <array>
#include <fstream>
#include <istream>
#include <vector>

#include "core/conversion.hpp"

namespace kelvora::cli {

namespace {

// The columns of the points' table, as the text report aligns them and the JSON names them.
constexpr int kFitDecimals = 6;       // Ω
constexpr int kResidualDecimals = 6;  // Ω
constexpr int kMkDecimals = 3;        // mK

std::array<std::string, 5> cells(const FitPoint& p) {
    return {core::formatSignificant(p.t), core::formatSignificant(p.r),
            core::formatFixed(p.fit, kFitDecimals),
            core::formatFixed(p.residualOhm, kResidualDecimals),
            core::formatFixed(p.residualMk, kMkDecimals)};
}

// One line per point, right-aligned under its header; then the largest residual.
void writeResiduals(const std::vector<FitPoint>& points, double largestMk, LineWriter& out,
                    const Say& say) {
    const std::array<std::string, 5> head = {say("t/°C", "t/℃"), "R/Ω", say("fit/Ω", "拟合/Ω"),
                                             say("residual/Ω", "残差/Ω"),
                                             say("residual/mK", "残差/mK")};
    std::vector<std::array<std::string, 5>> rows;
    for (const FitPoint& p : points) rows.push_back(cells(p));
    // Columns measured as a terminal shows them: "°", "Ω" and "℃" one each, the Chinese
    // characters (U+4E00 to U+9FFF, led by the bytes E4 to E9) two.
    const auto shown = [](const std::string& s) {
        std::size_t n = 0;
        for (const char c : s) {
            const auto b = static_cast<unsigned char>(c);
            if ((b & 0xC0) != 0x80) n += b >= 0xE4 && b <= 0xE9 ? 2 : 1;
        }
        return n;
    };
    std::array<std::size_t, 5> width{};
    for (std::size_t j = 0; j < 5; ++j) {
        width[j] = shown(head[j]);
        for (const auto& r : rows) width[j] = std::max(width[j], shown(r[j]));
    }
    const auto line = [&](const std::array<std::string, 5>& r) {
        for (std::size_t j = 0; j < 5; ++j) {
            out.put(std::string(width[j] - shown(r[j]) + (j == 0 ? 0 : 2), ' '));
            out.put(r[j]);
        }
        out.put('\n');
    };
    line(head);
    for (const auto& r : rows) line(r);
    out.put(say("largest residual ", "最大残差 ") + core::formatFixed(largestMk, kMkDecimals) +
            " mK\n");
}

void writeResidualsJson(const std::vector<FitPoint>& points, double largestMk, LineWriter& out) {
    out.put("\"points\": [");
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::array<std::string, 5> c = cells(points[i]);
        out.put(std::string(i == 0 ? "\n" : ",\n") + "{\"t\": " + c[0] + ", \"r\": " + c[1] +
                ", \"fit\": " + c[2] + ", \"residual_ohm\": " + c[3] +
                ", \"residual_mK\": " + c[4] + "}");
    }
    out.put("],\n\"max_residual_mK\": " + core::formatFixed(largestMk, kMkDecimals) + "}\n");
}

// A platinum thermometer: Callendar–Van Dusen coefficients.
int fitPlatinum(const FitOptions& o, const core::Sensor& nominal, std::istream& in, LineWriter& out,
                const Say& say) {
    const std::optional<double> r0 =
        o.r0 ? std::optional<double>(number(*o.r0, "--r0", say)) : std::nullopt;
    const PointTable points =
        readPointsFile(o.file, in, say("temperature", "温度"), say("resistance", "电阻"), say);
    const CvdReport r = cvdReport(points, r0, say);
    const std::string r0Text =
        r.fit.r0Fixed ? core::formatSignificant(r.fit.r0Ohm) : coefficientText(r.fit.r0Ohm);
    const std::array<std::pair<const char*, std::string>, 7> values = {{
        {"r0", r0Text},
        {"a", coefficientText(r.fit.cvd.a)},
        {"b", coefficientText(r.fit.cvd.b)},
        {"c", coefficientText(r.fit.cvd.c)},
        {"alpha", coefficientText(r.constants.alpha)},
        {"delta", coefficientText(r.constants.delta)},
        {"beta", coefficientText(r.constants.beta)},
    }};
    if (o.format == "json") {
        out.put("{");
        for (const auto& [key, v] : values) {
            out.put('"');
            out.put(key);
            out.put("\": ");
            out.put(v);
            out.put(", ");
        }
        writeResidualsJson(r.points, r.maxResidualMk, out);
        return kExitOk;
    }
    const std::string unknowns = unknownsText(r.fit.r0Fixed, r.fit.cFitted, say);
    const std::string count = std::to_string(r.points.size());
    out.put(core::sensorCode(nominal) +
            say(": " + unknowns + " fitted to " + count + " points" +
                    (r.fit.r0Fixed ? ", R0 given" : "") +
                    (r.fit.cFitted ? "" : ", C = 0 (no point below 0 °C)") + "\n",
                "：按 " + count + " 个点拟合 " + unknowns + (r.fit.r0Fixed ? "，R0 为给定值" : "") +
                    (r.fit.cFitted ? "" : "，C = 0（没有低于 0℃ 的点）") + "\n"));
    const char* names[] = {"R0", "A", "B", "C", "alpha", "delta", "beta"};
    const std::string units[] = {" Ω", " 1/°C", " 1/°C²", " 1/°C⁴", " 1/°C", " °C", " °C"};
    for (std::size_t i = 0; i < values.size(); ++i)
        out.put(std::string(names[i]) + " = " + values[i].second + units[i] + "\n");
    out.put("--r0 " + r0Text + " --cvd " + values[1].second + "," + values[2].second + "," +
            values[3].second + "\n");
    writeResiduals(r.points, r.maxResidualMk, out, say);
    return kExitOk;
}

// An ITS-90 thermometer: the deviation coefficients of one sub-range.
int fitIts90(const FitOptions& o, std::istream& in, LineWriter& out, const Say& say) {
    if (o.r0) {
        throw usage("--r0 fixes a platinum thermometer's R0 (PtN); ITS90 takes --rtpw",
                    "--r0 只用于铂热电阻 PtN；ITS90 用 --rtpw", say);
    }
    if (!o.range || !o.rtpw) {
        throw usage(
            "fit ITS90 needs --range N, the sub-range (4, 5, 7 to 11), and --rtpw R, "
            "the resistance at the water triple point in Ω",
            "fit ITS90 须给出 --range N（分区 4、5、7～11）和 --rtpw R（水三相点时的电阻，"
            "单位 Ω）",
            say);
    }
    const std::string n(trim(*o.range));
    if (n.empty() || n.size() > 2 ||
        !std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        throw usage("--range '" + *o.range + "': the sub-range is a whole number, 4, 5 or 7 to 11",
                    "--range“" + *o.range + "”：分区号为整数 4、5 或 7～11", say);
    }
    const double rtpw = number(*o.rtpw, "--rtpw", say);
    const PointTable points =
        readPointsFile(o.file, in, say("temperature", "温度"), say("resistance", "电阻"), say);
    const Its90Report r = its90Report(points, std::stoi(n), rtpw, say);
    const char* names[] = {"a", "b", "c"};
    if (o.format == "json") {
        out.put("{\"subrange\": " + n + ", \"rtpw\": " + core::formatSignificant(rtpw) + ", ");
        for (int k = 0; k < r.fit.coefficients; ++k)
            out.put(std::string("\"") + names[k] +
                    "\": " + coefficientText(r.fit.c[static_cast<std::size_t>(k)]) + ", ");
        writeResidualsJson(r.points, r.maxResidualMk, out);
        return kExitOk;
    }
    const std::string count = std::to_string(r.points.size());
    out.put(std::string("ITS90") +
            say(", " + subrangeText(r.fit.subrange, say) + ", deviation fitted to " + count +
                    " points, R_tpw = " + core::formatSignificant(rtpw) + " Ω\n",
                "，" + subrangeText(r.fit.subrange, say) + "，按 " + count +
                    " 个点拟合偏差函数，R_tpw = " + core::formatSignificant(rtpw) + " Ω\n"));
    for (int k = 0; k < r.fit.coefficients; ++k)
        out.put(std::string(names[k]) + " = " +
                coefficientText(r.fit.c[static_cast<std::size_t>(k)]) + "\n");
    out.put("--rtpw " + core::formatSignificant(rtpw) + " --dev " + deviationOption(r.fit) + "\n");
    writeResiduals(r.points, r.maxResidualMk, out, say);
    return kExitOk;
}

}  // namespace

PointTable readPointsFile(const std::string& file, std::istream& in, std::string_view xWhat,
                          std::string_view yWhat, const Say& say) {
    if (file == "-") return readPointTable(in, xWhat, yWhat, say);
    std::ifstream f(file);
    if (!f) {
        throw usage("cannot read the points file '" + file + "'",
                    "无法读取数据点文件“" + file + "”", say);
    }
    return readPointTable(f, xWhat, yWhat, say);
}

int fit(const FitOptions& o, std::istream& in, LineWriter& out, const Say& say) {
    // The kinds of sensor a fit knows, each with its own coefficients and options.
    if (isIts90Code(o.code)) return fitIts90(o, in, out, say);
    if (o.range || o.rtpw) {
        throw usage(std::string(o.range ? "--range" : "--rtpw") +
                        " applies to an ITS-90 thermometer's fit (fit ITS90) only",
                    std::string(o.range ? "--range" : "--rtpw") +
                        " 只用于 ITS-90 铂电阻温度计的拟合（fit ITS90）",
                    say);
    }
    const core::SensorOrError s = core::parseSensorCode(o.code);
    if (s.ok() && !s.sensor.isThermocouple() && s.sensor.material == core::RtdMaterial::platinum)
        return fitPlatinum(o, s.sensor, in, out, say);
    throw usage(
        "fit takes a platinum thermometer, PtN with its nominal R0 (Pt100, Pt1000), or "
        "ITS90, not '" +
            o.code + "'",
        "fit 只用于铂热电阻 PtN（如 Pt100、Pt1000）或 ITS90，不能用于“" + o.code + "”", say);
}

}  // namespace kelvora::cli
