// The answers of the web app's loop-check view: a transmitter's range and signal over one sensor
// (given as in the sensor view), its test points, the input to source and the output expected at
// each, the error of every output found, and the reverse question of one output read off the
// control system. The sheet's numbers are kelvora-cli check's, with its digits; the reverse
// answer is kelvora-cli loop --reverse's. Every message is a short Chinese text for the field
// it concerns. A pure function of the fields' texts: the page only shows what it returns.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "answers/sensor_answers.hpp"

namespace kelvora::answers {

// The fields as the user left them. Empty R0, coefficients and reference junction are those
// of the code, of IEC 60751 and 0 °C; an empty accuracy asks for no verdict.
struct LoopQuestion {
    std::string_view code = {};
    std::string_view r0Ohm = {}, cvdA = {}, cvdB = {}, cvdC = {};  // platinum only
    std::string_view cjC = {};                                     // thermocouples only
    std::string_view lrvC = {}, urvC = {};
    std::string_view signal = "4-20mA";  // "4-20mA", "0-20mA", "1-5V", "0-10V"
    // The points: a count, evenly spaced from 0 to 100 % of span ("5"), or the percentages of
    // span themselves, separated by commas ("-10,0,25,50,75,100,110"); updown: up through them
    // and back down.
    std::string_view points = "5";
    bool updown = false;
    std::string_view accuracyPct = {};         // ± % of span
    std::vector<std::string_view> found = {};  // the output found at each row, by row; blank:
                                               // not yet (missing rows too)
    std::string_view output = {};  // the reverse question's output, in the signal's unit
};

// One row of the sheet. All its texts are empty while a field above the sheet is wrong.
struct LoopRow {
    std::string percent;       // of span: "0", "25", "33.333"
    std::string temperatureC;  // "125.00"
    std::string input;         // mV against the reference junction, or Ω: "5.098"
    std::string expected;      // in the signal's unit, clamped on saturated rows: "8.000"
    bool saturated = false;
    // Once the row's found value is a number: its error in % of span and in °C, and with an
    // accuracy "合格" or "不合格".
    std::string errorPct, errorC, verdict;
    std::string foundNote;  // what is wrong with the found value ("" when nothing is)
};

struct LoopAnswers {
    SensorKind kind = SensorKind::none;  // none: the code names no sensor
    std::string description, range;      // as in the sensor view
    std::string r0Placeholder;
    std::string unit;           // the signal's: "mA" or "V"
    std::string inputUnit;      // "mV" or "Ω" ("" without a sensor)
    std::vector<LoopRow> rows;  // one per point, as many as the points ask for
    // The reverse question: the temperature ("" when the output carries none) and the state,
    // for 4–20 mA NAMUR NE 43's ("故障（低）", "非测量值", "低于量程", "量程内", "高于量程",
    // "故障（高）"), for other signals "低于量程", "量程内" or "高于量程".
    std::string outputTemperatureC, outputState;
    std::string outputAbout;  // at a saturation level: that the temperature may lie beyond
    // Beside the fields: what is wrong with each ("" when nothing is). The range's note
    // stands under LRV and URV, and names the sensor's range when a point lies outside it.
    std::string codeNote, r0Note, cvdNote, cjNote, rangeNote, accuracyNote, outputNote;
};

LoopAnswers loopAnswer(const LoopQuestion& q);

}  // namespace kelvora::answers
