// The loop-check view's one entry, through embind: the page hands over its fields' texts as an
// object and shows the object it gets back. The answers are ui::loopAnswer's
// (loop_answers.hpp); nothing is decided here.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>
#include <vector>

#include "answers/loop_answers.hpp"

namespace {

using emscripten::val;

constexpr const char* kKinds[] = {"", "thermocouple", "platinum", "copper", "nickel"};

// question: {code, r0, cvdA, cvdB, cvdC, cj, lrv, urv, signal, points, accuracy, output} as
// texts, updown as a boolean, found as an array of texts by row (holes and
// missing rows blank). The answer holds the same names as LoopAnswers, notes under `notes` by
// the field's id, rows as [percent, ℃, input, expected, saturated, error %, error ℃, verdict,
// found note].
val loopAnswer(const val& question) {
    const auto text = [&](const char* name) { return question[name].as<std::string>(); };
    const std::string code = text("code"), r0 = text("r0"), a = text("cvdA"), b = text("cvdB"),
                      c = text("cvdC"), cj = text("cj"), lrv = text("lrv"), urv = text("urv"),
                      signal = text("signal"), points = text("points"), accuracy = text("accuracy"),
                      output = text("output");
    const val foundTexts = question["found"];
    std::vector<std::string> found(foundTexts["length"].as<std::size_t>());
    for (std::size_t i = 0; i < found.size(); ++i) {
        const val v = foundTexts[i];
        if (v.isString()) found[i] = v.as<std::string>();
    }
    const kelvora::answers::LoopAnswers s =
        kelvora::answers::loopAnswer({.code = code,
                                      .r0Ohm = r0,
                                      .cvdA = a,
                                      .cvdB = b,
                                      .cvdC = c,
                                      .cjC = cj,
                                      .lrvC = lrv,
                                      .urvC = urv,
                                      .signal = signal,
                                      .points = points,
                                      .updown = question["updown"].as<bool>(),
                                      .accuracyPct = accuracy,
                                      .found = {found.begin(), found.end()},
                                      .output = output});

    val out = val::object();
    out.set("kind", val(kKinds[static_cast<int>(s.kind)]));
    const std::pair<const char*, const std::string*> fields[] = {
        {"description", &s.description},     {"range", &s.range},
        {"r0Placeholder", &s.r0Placeholder}, {"unit", &s.unit},
        {"inputUnit", &s.inputUnit},         {"outputTemperature", &s.outputTemperatureC},
        {"outputState", &s.outputState},     {"outputAbout", &s.outputAbout}};
    for (const auto& [name, value] : fields) out.set(name, val(*value));
    val notes = val::object();
    const std::pair<const char*, const std::string*> noted[] = {
        {"SensorCode", &s.codeNote}, {"R0", &s.r0Note},       {"Cvd", &s.cvdNote},
        {"CJ", &s.cjNote},           {"Range", &s.rangeNote}, {"Accuracy", &s.accuracyNote},
        {"Output", &s.outputNote}};
    for (const auto& [name, value] : noted) notes.set(name, val(*value));
    out.set("notes", notes);
    val rows = val::array();
    for (const kelvora::answers::LoopRow& r : s.rows) {
        val row = val::array();
        for (const std::string* cell : {&r.percent, &r.temperatureC, &r.input, &r.expected})
            row.call<void>("push", val(*cell));
        row.call<void>("push", val(r.saturated));
        for (const std::string* cell : {&r.errorPct, &r.errorC, &r.verdict, &r.foundNote})
            row.call<void>("push", val(*cell));
        rows.call<void>("push", row);
    }
    out.set("rows", rows);
    return out;
}

}  // namespace

EMSCRIPTEN_BINDINGS(kelvora_loop) {
    emscripten::function("loopAnswer", &loopAnswer);
}
