// The sensor view's answers for any texts in its eight fields and either box edited, the
// exact inverse on or off. Every answer must be a number in its display format or one of the
// view's two messages, a refused sensor or certificate must show no number at all, and no
// exception may escape.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <iterator>
#include <string>
#include <string_view>

#include "answers/sensor_answers.hpp"
#include "fuzz/fuzz_support.hpp"

namespace {

using kelvora::answers::SensorKind;
using kelvora::fuzz::fail;
using kelvora::fuzz::isFixed;
using kelvora::fuzz::isNegativeZero;

// Codes the fuzzer would take long to spell: some of every kind, and near misses.
constexpr std::string_view kCodes[] = {"K",      "b",         "T",      "Pt100", "pt1000",
                                       "Pt0.01", "Cu50",      "ni1000", "Pt",    "Pt-5",
                                       "Cu1e3",  "Pt100.05.", "X",      "Ni0"};

// A number in `decimals`, or a message, or nothing.
void check(const char* what, const std::string& text, int decimals, bool signed_) {
    if (text.empty() || text == "超出范围" || text == "计算错误") return;
    if (!isFixed(text, decimals, signed_) || isNegativeZero(text))
        fail("%s shows \"%s\"", what, text.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvora::fuzz::ByteReader in(data, size);
    const std::uint8_t flags = in.byte();
    std::string fields[8];
    for (std::string& f : fields) f = in.bytes(in.byte() % 33);
    if (flags & 4) fields[0] = kCodes[in.byte() % std::size(kCodes)];
    try {
        const kelvora::answers::SensorAnswers a = kelvora::answers::answer(
            {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6], fields[7],
             (flags & 1) != 0, (flags & 2) != 0});
        const bool tc = a.kind == SensorKind::thermocouple;
        check("the temperature", a.temperatureC, 2, true);
        check("the reading", a.reading, tc ? 3 : 2, tc);
        check("the slope", a.slope, tc ? 3 : 4, tc);
        for (const kelvora::answers::ToleranceRow& r : a.tolerance) {
            check("a tolerance", r.celsius, 2, false);
            check("a tolerance's reading", r.reading, 3, false);
        }
        const bool refused = !a.codeNote.empty() || !a.r0Note.empty() || !a.cvdNote.empty();
        if (refused != (a.description.empty()))
            fail("notes \"%s\" \"%s\" \"%s\" with sensor \"%s\"", a.codeNote.c_str(),
                 a.r0Note.c_str(), a.cvdNote.c_str(), a.description.c_str());
        if (refused && !(a.temperatureC + a.reading + a.slope).empty())
            fail("a refused sensor shows \"%s\" \"%s\" \"%s\"", a.temperatureC.c_str(),
                 a.reading.c_str(), a.slope.c_str());
    } catch (const std::exception& ex) {
        fail("exception escaped: %s", ex.what());
    } catch (...) {
        fail("exception escaped");
    }
    return 0;
}
