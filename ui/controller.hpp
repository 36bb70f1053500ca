// All the logic of the calculator window: the event procedures, their guard flags and the
// shared conversion steps. It works only through the Window interface, so it runs the same
// over the Qt window and over the window-less FormModel.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/sensors.hpp"
#include "ui/window.hpp"

namespace kelvora::ui {

// The conversions the controller calls, by default those of the core. A test may put a
// conversion in that fails, to see what the window shows when one does.
struct Conversions {
    double (*e)(double t1, double typ);         // EMF in mV of a thermocouple at t1 °C
    double (*t)(double e, double typ);          // temperature in °C at an EMF in mV
    std::string (*r_T)(double t1, double typ);  // resistance display text at t1 °C
    double (*t_Ohm)(double r, double typ);      // temperature in °C at a resistance in ohms

    static Conversions core();
};

// The messages the controller writes into boxes in place of numbers.
namespace message {
inline constexpr std::string_view kTemperatureOutOfRange = "温度超限";
inline constexpr std::string_view kReferenceOutOfRange = "t0超限";
inline constexpr std::string_view kEmfOutOfRange = "mV超限";
inline constexpr std::string_view kResistanceOutOfRange = "Ω超限";
inline constexpr std::string_view kCalculationError = "计算错误";
}  // namespace message

class Controller final : public WindowEvents {
  public:
    // Binds the controller to the window's events; Form_Load must run before the window
    // is shown.
    explicit Controller(Window& window, Conversions conversions = Conversions::core());
    ~Controller();
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // Event procedures.
    void Form_Load();
    void Combo1_Click() override;
    void Text1_Change() override;
    void Text2_Change() override;
    void Text3_Change() override;

    // Guard flags: a change handler acts only while its flag is set. False when the window
    // is created and true from the end of Form_Load on; a guarded write clears its box's
    // flag for the span of the write and sets it true again afterwards.
    bool HandleText1Change = false;
    bool HandleText2Change = false;
    bool HandleText3Change = false;

    // Catalogue texts for the labels, filled by Form_Load and indexed by SensorIndex.
    std::array<std::string, core::kSensorCount> SensorDescriptions;
    std::array<std::string, core::kSensorCount> SensorRanges;

    // Shared steps; each takes numbers already read from the boxes and returns false when
    // a conversion failed (the box it was about to write then shows "计算错误").
    bool UpdateEmf(double T, double T0, int i);          // writes Text3
    bool UpdateTemperature(double E, double T0, int i);  // writes Text2, or Text1
    bool UpdateResistance(double T, int i);              // writes Text3
    bool UpdateResistanceTemperature(double R, int i);   // writes Text2

  private:
    void guardedWrite(Control box, std::string_view text);
    double value(Control box) const;
    bool showSensorTexts(int i);
    void updateAsOptionsSay(int i);

    Window& window_;
    Conversions conversions_;
};

}  // namespace kelvora::ui
