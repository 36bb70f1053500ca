// The sensor view's messages: beside which field each lands, and that no number shows where
// the fields give none. Its numbers are checked in the browser against kelvora-cli asked the
// same question (tests/web/sensor.test.mjs), with the notes that test reads.
#include <gtest/gtest.h>

#include "answers/sensor_answers.hpp"

namespace kelvora::answers {
namespace {

using Note = std::string SensorAnswers::*;

struct Case {
    const char* what;
    SensorQuestion q;
    Note note;             // the one field with a note (nullptr: none)
    const char* noteHas;   // part of its text
    const char* follower;  // the box that follows the edited one
};

SensorQuestion at(std::string_view code, std::string_view temperature) {
    return {.code = code, .temperatureC = temperature};
}
SensorQuestion reading(std::string_view code, std::string_view value, bool exact = false) {
    return {.code = code, .reading = value, .fromReading = true, .exact = exact};
}
SensorQuestion certificate(std::string_view r0, std::string_view b, std::string_view c) {
    return {.code = "Pt100", .r0Ohm = r0, .cvdB = b, .cvdC = c, .temperatureC = "0"};
}

const Case kCases[] = {
    {"a code's R0 of 0", at("Pt0", "0"), &SensorAnswers::codeNote, "R0 必须大于 0 Ω", ""},
    {"R0 with a decimal comma", certificate("100,02", "", ""), &SensorAnswers::r0Note, "不是数",
     ""},
    {"R0 beyond the doubles", certificate("1e999", "", ""), &SensorAnswers::r0Note, "有限的数", ""},
    {"a falling curve", certificate("", "-1e-2", ""), &SensorAnswers::cvdNote, "并非处处随温度上升",
     ""},
    {"a coefficient with a tail", certificate("", "", "-4.183E-12x"), &SensorAnswers::cvdNote,
     "不是数", ""},
    {"a junction below the range",
     {.code = "K", .cjC = "-300", .temperatureC = "100"},
     &SensorAnswers::cjNote,
     "温度测量范围 -270℃～1372℃",
     "超出范围"},
    {"a junction that is no number",
     {.code = "K", .cjC = "2O", .reading = "1", .fromReading = true},
     &SensorAnswers::cjNote,
     "不是数",
     ""},
    {"a temperature with a tail", at("K", "12abc"), &SensorAnswers::temperatureNote, "不是数", ""},
    {"nothing typed", at("K", " "), nullptr, "", ""},
    {"an EMF beyond the reference function", reading("K", "-7", true), &SensorAnswers::readingNote,
     "参考函数覆盖 -6.458～54.886 mV", "超出范围"},
    {"copper's top, excluded", reading("Cu50", "82.14"), &SensorAnswers::readingNote, "（不含 ",
     "超出范围"},
};

TEST(SensorAnswers, EachMessageBesideItsFieldAndNoNumberWithIt) {
    const Note notes[] = {&SensorAnswers::codeNote,        &SensorAnswers::r0Note,
                          &SensorAnswers::cvdNote,         &SensorAnswers::cjNote,
                          &SensorAnswers::temperatureNote, &SensorAnswers::readingNote};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const SensorAnswers a = answer(c.q);
        for (const Note n : notes) {
            if (n == c.note) {
                EXPECT_NE((a.*n).find(c.noteHas), std::string::npos) << a.*n;
            } else {
                EXPECT_EQ(a.*n, "");
            }
        }
        EXPECT_EQ(c.q.fromReading ? a.temperatureC : a.reading, c.follower);
        if (std::string_view(c.follower).empty()) {
            EXPECT_EQ(a.slope, "");
        }
    }
}

}  // namespace
}  // namespace kelvora::answers
