#include "app/cli/cli.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/commands.hpp"
#include "app/cli/line_writer.hpp"
#include "app/cli/loop_command.hpp"
#include "app/cli/lut_command.hpp"
#include "app/cli/report.hpp"
#include "app/cli/table.hpp"
#include "core/sensor.hpp"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace kelvora::cli {

namespace {

// Decimals a value may be shown with: a double carries 15 significant digits.
constexpr int kMaxDigits = 15;

constexpr std::string_view kCommands[] = {"emf",   "temp", "res",  "slope", "tol",
                                          "table", "lut",  "loop", "check", "list"};

bool isCommand(std::string_view word) {
    return std::find(std::begin(kCommands), std::end(kCommands), word) != std::end(kCommands);
}

std::string commandList(std::string_view separator) {
    std::string s;
    for (std::string_view c : kCommands) (s += s.empty() ? "" : separator) += c;
    return s;
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

// The sensor argument and the certificate options, as every command takes them.
void addSensor(CLI::App* c, SensorOptions& s, const std::string& kinds) {
    c->add_option("SENSOR", s.code, kinds)->required();
    c->add_option("--r0", s.r0, "a platinum thermometer's R0 in ohm from its certificate");
    c->add_option("--cvd", s.cvd,
                  "the certificate's Callendar-Van Dusen A,B,C (C may be left out: 0)");
    c->add_option("--alpha", s.alpha, "the certificate's alpha in 1/deg C (with --delta)");
    c->add_option("--delta", s.delta, "the certificate's delta in deg C (with --alpha)");
    c->add_option("--beta", s.beta, "the certificate's beta in deg C, below 0 deg C (default 0)");
}

}  // namespace

int run(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err,
        bool chinese) {
    const Say say(chinese);
    CLI::App app{
        "Thermocouple EMF and resistance thermometer conversions, Seebeck coefficients, "
        "tolerance classes and graduation tables (ITS-90, IEC 60584, IEC 60751, DIN 43760). "
        "Temperatures in deg C, EMF in mV, resistance in ohm; '.' is the decimal point. "
        "Sensors: S R B K N E J T, and PtN, CuN, NiN for any R0 = N ohm (Pt100, Pt1000, Cu50, "
        "Ni1000). Transmitters: a range LRV,URV in deg C and a signal 4-20mA (NAMUR NE 43), "
        "0-20mA, 1-5V, 0-10V or any LO-HImA or LO-HIV. A value given as '-' is read from "
        "standard input, one per line. Exit status: 0 all well, 1 a value out of range, 2 a "
        "usage error, 3 a loop check's point outside its accuracy.",
        "kelvora-cli"};
    app.set_version_flag("--version", "kelvora-cli " KELVORA_VERSION);
    app.require_subcommand(1);

    SensorOptions sensor;
    std::string value;
    ConvertOptions convert;
    TableOptions t;
    const auto digitsOption = [&](CLI::App* c, std::optional<int>& d) {
        c->add_option("--digits", d, "decimals shown (default: the window's)")
            ->check(CLI::Range(0, kMaxDigits));
    };
    const auto cjOption = [&](CLI::App* c, std::optional<std::string>& cj) {
        c->add_option("--cj", cj, "reference junction temperature T0 in deg C (default 0)");
    };
    const std::string any = "sensor: " + knownSensors();

    CLI::App* emf =
        app.add_subcommand("emf", "EMF in mV of a thermocouple at TEMP, E(TEMP) - E(T0)");
    addSensor(emf, sensor, "thermocouple type: S R B K N E J T");
    emf->add_option("TEMP", value, "temperature in deg C, or - to read them from standard input")
        ->required();
    cjOption(emf, convert.cj);
    digitsOption(emf, convert.digits);

    CLI::App* temp = app.add_subcommand(
        "temp", "temperature in deg C at an EMF in mV (thermocouple) or a resistance in ohm (RTD)");
    addSensor(temp, sensor, any);
    temp->add_option("VALUE", value, "EMF in mV or resistance in ohm, or - for standard input")
        ->required();
    cjOption(temp, convert.cj);
    temp->add_flag("--exact", convert.exact,
                   "thermocouples: the exact inverse of the ITS-90 reference function over its "
                   "whole range, instead of the inverse polynomials");
    digitsOption(temp, convert.digits);

    CLI::App* res =
        app.add_subcommand("res", "resistance in ohm of a resistance thermometer at TEMP");
    addSensor(res, sensor, "resistance thermometer: PtN CuN NiN (Pt100 Pt10 Cu100 Cu50 Pt1000 …)");
    res->add_option("TEMP", value, "temperature in deg C, or - for standard input")->required();
    digitsOption(res, convert.digits);

    CLI::App* slope = app.add_subcommand(
        "slope",
        "Seebeck coefficient dE/dt in uV/deg C (thermocouple) or dR/dt in ohm/deg C (RTD)");
    addSensor(slope, sensor, any);
    slope->add_option("TEMP", value, "temperature in deg C, or - for standard input")->required();
    digitsOption(slope, convert.digits);

    CLI::App* tol = app.add_subcommand(
        "tol", "tolerance of a class at TEMP: deg C, then the same in mV or ohm");
    addSensor(tol, sensor, any);
    tol->add_option("TEMP", value, "temperature in deg C, or - for standard input")->required();
    tol->add_option("--class", convert.cls,
                    "1 2 3 (thermocouples, IEC 60584-1), AA A B C (platinum, IEC 60751), "
                    "1 (copper)")
        ->required();
    tol->add_option("--element", convert.element, "platinum element: wire (default) or film")
        ->check(CLI::IsMember({"wire", "film"}));

    CLI::App* tab = app.add_subcommand("table", "graduation table of a sensor");
    addSensor(tab, t.sensor, any);
    tab->add_option("--from", t.from, "first temperature in deg C (default: the sensor's lowest)");
    tab->add_option("--to", t.to, "last temperature in deg C (default: the sensor's highest)");
    tab->add_option("--step", t.step, "step in deg C (default 1)");
    cjOption(tab, t.cj);
    tab->add_option("--format", t.format, "text (default), csv, json or c")
        ->check(CLI::IsMember({"text", "csv", "json", "c"}));
    digitsOption(tab, t.digits);

    LutOptions l;
    CLI::App* lut = app.add_subcommand(
        "lut",
        "firmware lookup table with a proven error: a reading (mV against a reference junction "
        "at 0 deg C, or ohm) to deg C by straight-line interpolation between as few breakpoints "
        "on the exact curve as the bound allows, as a C99 header (default), csv or json; for a "
        "thermocouple also the cold junction's EMF table; the achieved error on standard error");
    addSensor(lut, l.sensor, any);
    lut->add_option("--max-error", l.maxError,
                    "the bound in deg C that interpolation keeps at every reading");
    lut->add_option("--points", l.points,
                    "the number of breakpoints instead, for the smallest bound they reach");
    lut->add_option("--from", l.from,
                    "first temperature in deg C (default: the lowest; type B: where its EMF is "
                    "0 mV again, about 42.13)");
    lut->add_option("--to", l.to, "last temperature in deg C (default: the sensor's highest)");
    lut->add_flag("--int", l.integer,
                  "integers only, for a microcontroller without an FPU: uV or mOhm to m deg C "
                  "as int32_t, interpolated in 64-bit integers");
    lut->add_option("--format", l.format, "c (default), csv or json")
        ->check(CLI::IsMember({"c", "csv", "json"}));
    lut->add_option("--name", l.name,
                    "prefix of the header's identifiers (default kelvora_ and the code)");
    lut->add_option("--cj-from", l.cjFrom, "cold junction table from this deg C (default -20)");
    lut->add_option("--cj-to", l.cjTo, "cold junction table up to this deg C (default 70)");

    LoopOptions lp;
    CLI::App* loopCommand = app.add_subcommand(
        "loop",
        "a temperature transmitter's output in mA or V at TEMP deg C, or with --reverse the "
        "temperature at an OUTPUT and its NAMUR NE 43 state");
    loopCommand
        ->add_option("VALUE", lp.value,
                     "temperature in deg C (with --reverse: the output in mA or V), or - for "
                     "standard input")
        ->required();
    const auto rangeOption = [&](CLI::App* c, std::string& range) {
        c->add_option("--range", range,
                      "the transmitter's range LRV,URV in deg C (URV below LRV: a falling "
                      "output)")
            ->required();
    };
    const auto signalOption = [&](CLI::App* c, std::optional<std::string>& signal) {
        c->add_option("--signal", signal,
                      "output signal: 4-20mA (default), 0-20mA, 1-5V, 0-10V or any LO-HImA, "
                      "LO-HIV");
    };
    rangeOption(loopCommand, lp.range);
    signalOption(loopCommand, lp.signal);
    loopCommand->add_flag("--reverse", lp.reverse,
                          "the temperature at an output; a failure signal or a current that is "
                          "not a measurement gives none (status 1)");
    digitsOption(loopCommand, lp.digits);

    CheckOptions ck;
    CLI::App* checkCommand = app.add_subcommand(
        "check",
        "a loop-check sheet: at each test point (% of span) the temperature, the input to "
        "source (mV against the cold junction, or ohm), the output expected, and with --found "
        "and --left the errors in % of span and deg C, pass or fail against --accuracy");
    addSensor(checkCommand, ck.sensor, any);
    rangeOption(checkCommand, ck.range);
    signalOption(checkCommand, ck.signal);
    cjOption(checkCommand, ck.cj);
    checkCommand->add_option("--points", ck.points,
                             "N test points evenly from 0 to 100 % (default 0,25,50,75,100)");
    checkCommand->add_option("--at", ck.at,
                             "the test points P1,P2,… in % of span (-10 and 110 allowed: "
                             "saturated)");
    checkCommand->add_flag("--updown", ck.updown, "up through the points and back down");
    checkCommand->add_option("--found", ck.found,
                             "the outputs found before adjustment V1,V2,…, one per point, in mA "
                             "or V");
    checkCommand->add_option("--left", ck.left, "the outputs left after adjustment V1,V2,…");
    checkCommand->add_option("--accuracy", ck.accuracy,
                             "± % of span a found or left output may be off (status 3 beyond)");
    checkCommand->add_option("--format", ck.format, "text (default), csv or json")
        ->check(CLI::IsMember({"text", "csv", "json"}));

    CLI::App* list =
        app.add_subcommand("list", "the window's twelve sensors with code, description and range");

    try {
        // A first word that is neither an option nor a command is a mistyped command.
        if (argc > 1 && argv[1][0] != '-' && !isCommand(argv[1])) {
            report(err, say("unknown command '" + std::string(argv[1]) + "': one of " +
                                commandList(", "),
                            "未知的命令“" + std::string(argv[1]) + "”：可用 " + commandList("、")));
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
            listSensors(writer);
            return kExitOk;
        }
        if (tab->parsed()) return table(t, writer, say);
        if (lut->parsed()) return cli::lut(l, writer, err, say);
        if (loopCommand->parsed()) return cli::loop(lp, in, writer, err, say);
        if (checkCommand->parsed()) return cli::check(ck, writer, say);

        const core::Sensor s = resolveSensor(sensor, say);
        Convert conversion;
        if (emf->parsed())
            conversion = emfConversion(s, convert, say);
        else if (temp->parsed())
            conversion = temperatureConversion(s, convert, say);
        else if (res->parsed())
            conversion = resistanceConversion(s, convert, say);
        else if (slope->parsed())
            conversion = slopeConversion(s, convert, say);
        else
            conversion = toleranceConversion(s, convert, say);
        return convertValues(value, conversion, in, writer, err, say);
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

void report(std::ostream& err, std::string_view message) {
    err << "kelvora-cli: " << message << '\n';
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
