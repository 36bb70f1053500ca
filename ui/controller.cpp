#include "ui/controller.hpp"

#include <exception>

#include "core/conversion.hpp"
#include "core/reference_junction.hpp"
#include "core/rtd.hpp"
#include "core/thermocouple.hpp"
#include "ui/box_value.hpp"

namespace kelvora::ui {

namespace {

using core::formatFixed;
using core::outOfRange;

// Clears a guard flag for the span of one write and sets it again afterwards, even when
// the write throws.
class GuardCleared {
  public:
    explicit GuardCleared(bool& flag) : flag_(flag) { flag_ = false; }
    ~GuardCleared() { flag_ = true; }
    GuardCleared(const GuardCleared&) = delete;
    GuardCleared& operator=(const GuardCleared&) = delete;

  private:
    bool& flag_;
};

}  // namespace

Conversions Conversions::core() {
    return {core::e, core::t, core::r_T, core::t_Ohm};
}

Controller::Controller(Window& window, Conversions conversions)
    : window_(window), conversions_(conversions) {
    window_.setEvents(this);
}

Controller::~Controller() {
    window_.setEvents(nullptr);
}

void Controller::guardedWrite(Control box, std::string_view text) {
    bool& flag = box == Control::Text1   ? HandleText1Change
                 : box == Control::Text2 ? HandleText2Change
                                         : HandleText3Change;
    GuardCleared guard(flag);
    window_.setText(box, text);
}

double Controller::value(Control box) const {
    return boxValue(window_.text(box));
}

bool Controller::showSensorTexts(int i) {
    // A position outside the catalogue (-1 when nothing is selected) names no sensor: the
    // procedure that asked ends here, with nothing changed.
    if (i < 0 || i >= core::kSensorCount) return false;
    window_.setCaption(Control::Label9, SensorDescriptions[static_cast<std::size_t>(i)]);
    window_.setCaption(Control::Label10, SensorRanges[static_cast<std::size_t>(i)]);
    return true;
}

// A conversion that throws ends the event procedure: the box it was about to write shows
// "计算错误" and nothing else changes.
bool Controller::UpdateEmf(double T, double T0, int i) {
    double E1, E0;
    try {
        E1 = conversions_.e(T, i);
        E0 = conversions_.e(T0, i);
    } catch (const std::exception&) {
        guardedWrite(Control::Text3, message::kCalculationError);
        return false;
    }
    if (const auto E = core::emfAgainstReference(E1, E0))
        guardedWrite(Control::Text3, formatFixed(*E, 3));
    else
        guardedWrite(Control::Text3, message::kTemperatureOutOfRange);
    return true;
}

bool Controller::UpdateTemperature(double E, double T0, int i) {
    double E0, T;
    try {
        E0 = conversions_.e(T0, i);
        if (outOfRange(E0)) {
            // The message replaces the reference temperature, even while it is being typed.
            guardedWrite(Control::Text1, message::kReferenceOutOfRange);
            return true;
        }
        T = core::temperatureAgainstReference(E, E0, i, conversions_.t);
    } catch (const std::exception&) {
        guardedWrite(Control::Text2, message::kCalculationError);
        return false;
    }
    if (outOfRange(T))
        guardedWrite(Control::Text2, message::kEmfOutOfRange);
    else
        guardedWrite(Control::Text2, formatFixed(T, 2));
    return true;
}

bool Controller::UpdateResistance(double T, int i) {
    std::string text;
    try {
        text = conversions_.r_T(T, i);
    } catch (const std::exception&) {
        guardedWrite(Control::Text3, message::kCalculationError);
        return false;
    }
    guardedWrite(Control::Text3, text);
    return true;
}

bool Controller::UpdateResistanceTemperature(double R, int i) {
    double T;
    try {
        T = conversions_.t_Ohm(R, i);
    } catch (const std::exception&) {
        guardedWrite(Control::Text2, message::kCalculationError);
        return false;
    }
    if (outOfRange(T))
        guardedWrite(Control::Text2, message::kResistanceOutOfRange);
    else
        guardedWrite(Control::Text2, formatFixed(T, 2));
    return true;
}

void Controller::Form_Load() {
    for (std::size_t i = 0; i < SensorDescriptions.size(); ++i)
        SensorDescriptions[i] = core::kSensorDescriptionTexts[i];
    for (std::size_t i = 0; i < SensorRanges.size(); ++i)
        SensorRanges[i] = core::kSensorRangeTexts[i];
    for (std::string_view item : core::kSensorListTexts) window_.addListItem(item);

    window_.setListIndex(3);  // type K; runs Combo1_Click with the flags still clear
    showSensorTexts(window_.listIndex());

    HandleText1Change = true;
    HandleText2Change = true;
    HandleText3Change = true;
}

void Controller::Combo1_Click() {
    const int i = window_.listIndex();
    if (!showSensorTexts(i)) return;

    if (!core::isThermocouple(i)) {
        window_.setCaption(Control::Label7, "电阻值");
        window_.setCaption(Control::Label8, "Ω");
        window_.setToolTip(Control::Text3, "输入电阻值");
        window_.setEnabled(Control::Option1, false);
        window_.setEnabled(Control::Option2, false);
        window_.setToolTip(Control::Option2, "");
        // The reference temperature plays no part for a resistance thermometer.
        guardedWrite(Control::Text1, "0");
        window_.setEnabled(Control::Text1, false);
        UpdateResistance(value(Control::Text2), i);
        return;
    }

    window_.setCaption(Control::Label7, "热电势");
    window_.setCaption(Control::Label8, "mV");
    window_.setToolTip(Control::Text3, "输入热电势值");
    window_.setEnabled(Control::Option1, true);
    window_.setEnabled(Control::Option2, true);
    window_.setToolTip(Control::Option2, "改变参考温度时计算热电势");
    window_.setEnabled(Control::Text1, true);
    updateAsOptionsSay(i);
}

void Controller::Text1_Change() {
    if (!HandleText1Change) return;
    updateAsOptionsSay(window_.listIndex());
}

// After a new cold junction or a new thermocouple: Option2 keeps the temperature and
// recomputes the EMF, Option1 keeps the EMF and recomputes the temperature. All three boxes
// are read once, before anything is written.
void Controller::updateAsOptionsSay(int i) {
    const double T = value(Control::Text2);
    const double T0 = value(Control::Text1);
    const double E = value(Control::Text3);
    if (window_.selected(Control::Option2) && !UpdateEmf(T, T0, i)) return;
    if (window_.selected(Control::Option1)) UpdateTemperature(E, T0, i);
}

void Controller::Text2_Change() {
    if (!HandleText2Change) return;
    const int i = window_.listIndex();
    const double T = value(Control::Text2);
    const double T0 = value(Control::Text1);
    if (!core::isThermocouple(i))
        UpdateResistance(T, i);
    else
        UpdateEmf(T, T0, i);
}

void Controller::Text3_Change() {
    if (!HandleText3Change) return;
    const int i = window_.listIndex();
    const double T0 = value(Control::Text1);
    const double E = value(Control::Text3);
    // For a resistance thermometer the box holds a resistance: show the temperature at it.
    if (!core::isThermocouple(i))
        UpdateResistanceTemperature(E, i);
    else
        UpdateTemperature(E, T0, i);
}

}  // namespace kelvora::ui
