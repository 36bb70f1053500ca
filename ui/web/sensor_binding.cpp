// The sensor view's one entry, through embind: the page hands over its fields' texts as an
// object and shows the object it gets back. The answers are answers::answer's (sensor_answers.hpp);
// nothing is decided here.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>

#include "answers/sensor_answers.hpp"

namespace {

using emscripten::val;

// embind hands std::string to the page as UTF-8.
val str(const std::string& utf8) {
    return val(utf8);
}

constexpr const char* kKinds[] = {"", "thermocouple", "platinum", "copper", "nickel"};

// question: {code, r0, cvdA, cvdB, cvdC, cj, temperature, reading} as texts, fromReading and
// exact as booleans. The answer holds the same names as SensorAnswers, notes under `notes`
// by the field's id, tolerance rows as [class, element, label, ±°C, ±mV or Ω].
val sensorAnswer(const val& question) {
    const auto text = [&](const char* name) { return question[name].as<std::string>(); };
    const std::string code = text("code"), r0 = text("r0"), a = text("cvdA"), b = text("cvdB"),
                      c = text("cvdC"), cj = text("cj"), t = text("temperature"),
                      reading = text("reading");
    const kelvora::answers::SensorAnswers s = kelvora::answers::answer(
        {code, r0, a, b, c, cj, t, reading, question["fromReading"].as<bool>(),
         question["exact"].as<bool>()});

    val out = val::object();
    out.set("kind", val(kKinds[static_cast<int>(s.kind)]));
    const std::pair<const char*, const std::string*> fields[] = {
        {"description", &s.description},
        {"range", &s.range},
        {"readingLabel", &s.readingLabel},
        {"unit", &s.unit},
        {"slopeLabel", &s.slopeLabel},
        {"slopeUnit", &s.slopeUnit},
        {"r0Placeholder", &s.r0Placeholder},
        {"temperature", &s.temperatureC},
        {"reading", &s.reading},
        {"slope", &s.slope},
        {"toleranceNote", &s.toleranceNote}};
    for (const auto& [name, value] : fields) out.set(name, str(*value));
    val notes = val::object();
    const std::pair<const char*, const std::string*> noted[] = {{"SensorCode", &s.codeNote},
                                                                {"R0", &s.r0Note},
                                                                {"Cvd", &s.cvdNote},
                                                                {"CJ", &s.cjNote},
                                                                {"Temperature", &s.temperatureNote},
                                                                {"Reading", &s.readingNote}};
    for (const auto& [name, value] : noted) notes.set(name, str(*value));
    out.set("notes", notes);
    val rows = val::array();
    for (const kelvora::answers::ToleranceRow& r : s.tolerance) {
        val row = val::array();
        for (const std::string* cell : {&r.className, &r.element, &r.label, &r.celsius, &r.reading})
            row.call<void>("push", str(*cell));
        rows.call<void>("push", row);
    }
    out.set("tolerance", rows);
    return out;
}

}  // namespace

EMSCRIPTEN_BINDINGS(kelvora_sensor) {
    emscripten::function("sensorAnswer", &sensorAnswer);
}
