// The calculator window driven by a user who does anything the window lets them: type,
// paste and delete any bytes in the three boxes, pick any sensor, click either option.
// After every action the controller must have left the window in a sound state, and every
// text it wrote into a box must be a number in that box's display format or one of its
// messages.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.hpp"
#include "ui/controller.hpp"
#include "ui/form_model.hpp"

namespace {

using kelvora::fuzz::ByteReader;
using kelvora::fuzz::fail;
using kelvora::fuzz::isFixed;
using namespace kelvora::ui;

const char* boxName(Control box) {
    return box == Control::Text1 ? "Text1" : box == Control::Text2 ? "Text2" : "Text3";
}

// A number in the display format with `decimals` decimals, within [lo, hi].
bool isShownNumber(std::string_view text, int decimals, bool signed_, double lo, double hi) {
    if (!isFixed(text, decimals, signed_)) return false;
    const double v = std::strtod(std::string(text).c_str(), nullptr);
    return v >= lo && v <= hi;
}

// What the controller may write into `box` while sensor `i` is selected.
bool isControllerText(Control box, std::string_view text, int i) {
    if (text == message::kCalculationError) return true;
    const bool thermocouple = kelvora::core::isThermocouple(i);
    switch (box) {
        case Control::Text1:  // the reference temperature
            return thermocouple ? text == message::kReferenceOutOfRange : text == "0";
        case Control::Text2:  // temperature, °C
            return thermocouple
                       ? text == message::kEmfOutOfRange || isShownNumber(text, 2, true, -211, 1821)
                       : text == message::kResistanceOutOfRange ||
                             isShownNumber(text, 2, true, -200, 850);
        case Control::Text3:  // EMF difference in mV, or resistance in ohms
            return text == message::kTemperatureOutOfRange ||
                   (thermocouple ? isShownNumber(text, 3, true, -86.3, 86.3)
                                 : isShownNumber(text, 2, false, 0, 391));
        default:
            return false;
    }
}

// The form as the controller sees it; every box text the controller writes is checked at
// the moment it is written, with the sensor selected at that moment.
class CheckedWindow final : public Window {
  public:
    explicit CheckedWindow(FormModel& form) : form_(form) {}

    void setEvents(WindowEvents* events) override { form_.setEvents(events); }
    std::string text(Control c) const override { return form_.text(c); }
    void setText(Control box, std::string_view text) override {
        const int i = form_.listIndex();
        if (i < 0 || i >= kelvora::core::kSensorCount || !isControllerText(box, text, i))
            fail("controller wrote \"%.*s\" into %s with sensor %d selected",
                 static_cast<int>(text.size()), text.data(), boxName(box), i);
        form_.setText(box, text);
    }
    void setCaption(Control c, std::string_view t) override { form_.setCaption(c, t); }
    void setToolTip(Control c, std::string_view t) override { form_.setToolTip(c, t); }
    void setEnabled(Control c, bool on) override { form_.setEnabled(c, on); }
    bool selected(Control c) const override { return form_.selected(c); }
    void addListItem(std::string_view item) override { form_.addListItem(item); }
    int listIndex() const override { return form_.listIndex(); }
    void setListIndex(int i) override { form_.setListIndex(i); }

  private:
    FormModel& form_;
};

// What the window holds between events, whatever the user did before.
void checkState(const FormModel& form, const Controller& c) {
    if (!c.HandleText1Change || !c.HandleText2Change || !c.HandleText3Change)
        fail("guard flags left %d %d %d", c.HandleText1Change, c.HandleText2Change,
             c.HandleText3Change);
    const int i = form.listIndex();
    if (i < 0 || i >= kelvora::core::kSensorCount) fail("list position %d", i);
    const bool on = form.enabled(Control::Text1);
    if (on != form.enabled(Control::Option1) || on != form.enabled(Control::Option2) ||
        on != kelvora::core::isThermocouple(i))
        fail("sensor %d: Text1 and options enabled %d %d %d", i, on, form.enabled(Control::Option1),
             form.enabled(Control::Option2));
    if (!on && form.text(Control::Text1) != "0")
        fail("sensor %d: Text1 holds \"%s\"", i, form.text(Control::Text1).c_str());
}

// The window's length limits on what the user puts in a box: 5 characters in Text1, 6 in
// Text2. Text3 has none; the fuzzer keeps it short.
bool fits(Control box, std::string_view text) {
    std::size_t chars = 0;
    for (const char c : text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    switch (box) {
        case Control::Text1:
            return chars <= 5 && text.size() <= 20;
        case Control::Text2:
            return chars <= 6 && text.size() <= 24;
        default:
            return text.size() <= 64;
    }
}

constexpr Control kBoxes[] = {Control::Text1, Control::Text2, Control::Text3};

// One user action.
void act(ByteReader& in, FormModel& form) {
    const std::uint8_t op = in.byte() % 8;
    if (op == 0) {  // pick a sensor from the list
        form.setListIndex(in.byte() % kelvora::core::kSensorCount);
        return;
    }
    if (op == 1) {  // click an option button
        const Control option = in.byte() & 1 ? Control::Option1 : Control::Option2;
        if (form.enabled(option)) form.select(option);
        return;
    }

    // Edit a box at a cursor position.
    const Control box = kBoxes[in.byte() % 3];
    const std::string before = form.text(box);
    std::string text = before;
    const std::size_t pos = in.byte() % (text.size() + 1);
    bool replaced = false;
    switch (op) {
        case 2:
        case 3:  // a keystroke
            text.insert(pos, 1, static_cast<char>(in.byte()));
            break;
        case 4:  // paste at the cursor
            text.insert(pos, in.bytes(in.byte() % 65));
            break;
        case 5:  // select all, then paste or type over it
            text = in.bytes(in.byte() % 65);
            replaced = true;
            break;
        case 6:  // backspace
            if (pos > 0) text.erase(pos - 1, 1);
            break;
        default:  // delete, or clear the box
            if (in.byte() & 1)
                text.erase(pos, 1);
            else
                text.clear();
            break;
    }
    if (!form.enabled(box)) return;
    if ((replaced || text.size() > before.size()) && !fits(box, text)) return;  // refused

    form.setText(box, text);
    const std::string now = form.text(box);
    if (now != text && !(box == Control::Text1 && now == message::kReferenceOutOfRange))
        fail("user put \"%s\" into %s, which now holds \"%s\"", text.c_str(), boxName(box),
             now.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        FormModel form;
        CheckedWindow window(form);
        Controller controller(window);
        controller.Form_Load();
        if (form.listIndex() != 3) fail("list position %d after loading", form.listIndex());
        checkState(form, controller);

        ByteReader in(data, size);
        for (int n = 0; n < 256 && !in.empty(); ++n) {
            act(in, form);
            checkState(form, controller);
        }
    } catch (const std::exception& ex) {
        fail("exception escaped: %s", ex.what());
    } catch (...) {
        fail("exception escaped");
    }
    return 0;
}
