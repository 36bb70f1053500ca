// Scenarios on the window-less model: the user types, pastes, selects and clicks; the
// controller answers exactly as in the real window.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/rtd.hpp"
#include "core/thermocouple.hpp"
#include "ui/controller.hpp"
#include "ui/form_model.hpp"

using namespace kelvora::ui;
using kelvora::core::formatFixed;

namespace {

// Passes everything on to the model and records every text the controller writes.
class RecordingWindow final : public Window {
  public:
    explicit RecordingWindow(FormModel& model) : model_(model) {}
    std::vector<std::pair<Control, std::string>> writes;

    void setEvents(WindowEvents* events) override { model_.setEvents(events); }
    std::string text(Control c) const override { return model_.text(c); }
    void setText(Control c, std::string_view t) override {
        writes.emplace_back(c, t);
        model_.setText(c, t);
    }
    void setCaption(Control c, std::string_view t) override { model_.setCaption(c, t); }
    void setToolTip(Control c, std::string_view t) override { model_.setToolTip(c, t); }
    void setEnabled(Control c, bool on) override { model_.setEnabled(c, on); }
    bool selected(Control c) const override { return model_.selected(c); }
    void addListItem(std::string_view item) override { model_.addListItem(item); }
    int listIndex() const override { return model_.listIndex(); }
    void setListIndex(int i) override { model_.setListIndex(i); }

  private:
    FormModel& model_;
};

class Calculator : public ::testing::Test {
  protected:
    void SetUp() override {
        controller.Form_Load();
        window.writes.clear();
    }

    // Types `text` into a box one character at a time, as keystrokes do, and returns what
    // `watched` showed after each keystroke.
    std::vector<std::string> typeInto(Control box, const std::string& text, Control watched) {
        std::vector<std::string> seen;
        for (std::size_t n = 1; n <= text.size(); ++n) {
            form.setText(box, text.substr(0, n));
            seen.push_back(form.text(watched));
        }
        return seen;
    }

    void selectSensor(const std::string& code) {
        const auto items = form.listItems();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == code) return form.setListIndex(static_cast<int>(i));
        FAIL() << "no sensor " << code;
    }

    bool flagsSet() const {
        return controller.HandleText1Change && controller.HandleText2Change &&
               controller.HandleText3Change;
    }

    FormModel form;
    RecordingWindow window{form};
    Controller controller{window};
};

}  // namespace

TEST(StartUp, FlagsAreClearUntilFormLoad) {
    FormModel form;
    Controller controller{form};
    EXPECT_FALSE(controller.HandleText1Change || controller.HandleText2Change ||
                 controller.HandleText3Change);
    form.setText(Control::Text2, "100");  // no handler acts before start-up
    EXPECT_EQ(form.text(Control::Text3), "0");
    controller.Form_Load();
    EXPECT_TRUE(controller.HandleText1Change && controller.HandleText2Change &&
                controller.HandleText3Change);
}

TEST_F(Calculator, StartsWithTypeKAndAZeroEmf) {
    EXPECT_EQ(form.listItems(), (std::vector<std::string>{"S", "R", "B", "K", "N", "E", "J", "T",
                                                          "Pt100", "Pt10", "Cu100", "Cu50"}));
    EXPECT_EQ(form.listIndex(), 3);
    EXPECT_EQ(form.text(Control::Combo1), "K");
    EXPECT_EQ(form.text(Control::Text1), "0");
    EXPECT_EQ(form.text(Control::Text2), "0");
    EXPECT_EQ(form.text(Control::Text3), "0.000");
    EXPECT_EQ(form.text(Control::Label7), "热电势");
    EXPECT_EQ(form.text(Control::Label8), "mV");
    EXPECT_EQ(form.text(Control::Label9), "镍铬-镍硅热电偶");
    EXPECT_EQ(form.text(Control::Label10), "温度测量范围 -270\u2103\uFF5E1372\u2103");
    EXPECT_EQ(form.toolTip(Control::Text1), "冷端温度");
    EXPECT_EQ(form.toolTip(Control::Text2), "输入温度值");
    EXPECT_EQ(form.toolTip(Control::Text3), "输入热电势值");
    EXPECT_EQ(form.toolTip(Control::Combo1), "选择测温元件分度号");
    EXPECT_EQ(form.toolTip(Control::Option1), "改变参考温度时计算温度");
    EXPECT_EQ(form.toolTip(Control::Option2), "改变参考温度时计算热电势");
    EXPECT_TRUE(form.selected(Control::Option2));
    EXPECT_FALSE(form.selected(Control::Option1));
    for (Control c :
         {Control::Text1, Control::Text2, Control::Text3, Control::Option1, Control::Option2})
        EXPECT_TRUE(form.enabled(c));
    EXPECT_EQ(controller.SensorDescriptions[2], "铂铑30-铂铑6热电偶");
    EXPECT_EQ(controller.SensorRanges[0], controller.SensorRanges[1]);
}

TEST_F(Calculator, TypingATemperatureUpdatesTheEmfOnEveryKeystroke) {
    form.setText(Control::Text1, "20");
    window.writes.clear();
    // 1, 10 and 100 °C against a 20 °C cold junction (NIST: 0.039, 0.397, 4.096, 0.798 mV).
    EXPECT_EQ(typeInto(Control::Text2, "100", Control::Text3),
              (std::vector<std::string>{"-0.759", "-0.401", "3.298"}));
    EXPECT_EQ(form.text(Control::Text2), "100");
    for (const auto& [box, text] : window.writes) EXPECT_EQ(box, Control::Text3) << text;
    EXPECT_EQ(window.writes.size(), 3u);
    form.setText(Control::Text2, "20");
    EXPECT_EQ(form.text(Control::Text3), "0.000");
}

TEST_F(Calculator, TypingAnEmfShowsTheTemperature) {
    const std::pair<const char*, const char*> cases[] = {
        {"10", "246.22"}, {"4.096", "99.96"}, {"100", "mV超限"}, {"-5.8", "-194.22"}};
    for (const auto& [emf, temperature] : cases) {
        form.setText(Control::Text3, emf);
        EXPECT_EQ(form.text(Control::Text2), temperature) << emf;
        EXPECT_EQ(form.text(Control::Text3), emf);
    }
}

TEST_F(Calculator, EmfAgainstAColdJunctionConvertsBackWithTheColdJunctionAdded) {
    form.setText(Control::Text1, "20");
    form.setText(Control::Text3, "3.298");
    EXPECT_EQ(form.text(Control::Text2), "99.97");  // e_K(20) is 0.79813 mV unrounded
}

TEST_F(Calculator, ChangingTheColdJunctionRecomputesWhatTheOptionSays) {
    form.setText(Control::Text2, "100");
    form.setText(Control::Text1, "20");  // Option2: the EMF follows
    EXPECT_EQ(form.text(Control::Text3), "3.298");
    EXPECT_EQ(form.text(Control::Text2), "100");

    form.select(Control::Option1);  // Option1: the EMF stays, the temperature follows
    form.setText(Control::Text3, "4.096");
    form.setText(Control::Text1, "0");
    EXPECT_EQ(form.text(Control::Text2), "99.96");
    EXPECT_EQ(form.text(Control::Text3), "4.096");
    form.setText(Control::Text1, "20");
    EXPECT_EQ(form.text(Control::Text2), formatFixed(kelvora::core::t_K(4.096 + 0.798), 2));
}

TEST_F(Calculator, TemperatureOutOfRangeShowsInTheEmfBox) {
    form.setText(Control::Text2, "2000");
    EXPECT_EQ(form.text(Control::Text3), "温度超限");
    form.setText(Control::Text2, "100");
    form.setText(Control::Text1, "-300");
    EXPECT_EQ(form.text(Control::Text3), "温度超限");
    EXPECT_EQ(form.text(Control::Text1), "-300");
}

TEST_F(Calculator, ColdJunctionOutOfRangeReplacesTheReferenceAndNothingElse) {
    form.setText(Control::Text2, "100");
    form.select(Control::Option1);
    window.writes.clear();
    form.setText(Control::Text1, "-300");  // pasted
    EXPECT_EQ(form.text(Control::Text1), "t0超限");
    EXPECT_EQ(form.text(Control::Text2), "100");
    EXPECT_EQ(form.text(Control::Text3), "4.096");
    ASSERT_EQ(window.writes.size(), 1u);
    EXPECT_EQ(window.writes[0].first, Control::Text1);
    // The message reads as 0 from then on.
    form.setText(Control::Text3, "10");
    EXPECT_EQ(form.text(Control::Text2), "246.22");
    EXPECT_TRUE(flagsSet());
}

TEST_F(Calculator, TextsThatAreNoNumbersReadAsZero) {
    for (const char* text : {"", "abc", "-", ".", "温度超限", "t0超限"}) {
        form.setText(Control::Text2, "5");
        form.setText(Control::Text2, text);
        EXPECT_EQ(form.text(Control::Text3), "0.000") << '"' << text << '"';
    }
    form.setText(Control::Text2, "2000");  // "温度超限" in Text3
    form.select(Control::Option1);
    form.setText(Control::Text1, "1");
    EXPECT_EQ(form.text(Control::Text2), formatFixed(kelvora::core::t_K(kelvora::core::e_K(1)), 2));
}

TEST_F(Calculator, NegativeResultsThatRoundToZeroShowNoSign) {
    form.setText(Control::Text2, "-0.001");
    EXPECT_EQ(form.text(Control::Text3), "0.000");
    form.setText(Control::Text3, "-0.00001");
    EXPECT_EQ(form.text(Control::Text2), "0.00");
}

TEST_F(Calculator, NumbersTooLargeForADoubleAreOutOfRange) {
    form.setText(Control::Text2, "1e999");
    EXPECT_EQ(form.text(Control::Text3), "温度超限");
    form.setText(Control::Text2, "-1D999");
    EXPECT_EQ(form.text(Control::Text3), "温度超限");
    form.setText(Control::Text3, "1e999");
    EXPECT_EQ(form.text(Control::Text2), "mV超限");
    form.select(Control::Option1);
    form.setText(Control::Text1, "-1e999");
    EXPECT_EQ(form.text(Control::Text1), "t0超限");
    form.setText(Control::Text2, "1e-999");
    EXPECT_EQ(form.text(Control::Text3), "0.000");
    EXPECT_TRUE(flagsSet());
}

TEST_F(Calculator, SelectingAResistanceThermometer) {
    form.setText(Control::Text1, "20");
    selectSensor("Pt100");
    EXPECT_EQ(form.text(Control::Label7), "电阻值");
    EXPECT_EQ(form.text(Control::Label8), "\u03A9");
    EXPECT_EQ(form.text(Control::Label9), "铂热电阻R0=100");
    EXPECT_EQ(form.text(Control::Label10), "温度测量范围 -200\u2103\uFF5E850\u2103");
    EXPECT_EQ(form.toolTip(Control::Text3), "输入电阻值");
    EXPECT_EQ(form.toolTip(Control::Option2), "");
    EXPECT_EQ(form.toolTip(Control::Option1), "改变参考温度时计算温度");
    EXPECT_EQ(form.text(Control::Text1), "0");
    EXPECT_FALSE(form.enabled(Control::Text1));
    EXPECT_FALSE(form.enabled(Control::Option1));
    EXPECT_FALSE(form.enabled(Control::Option2));
    EXPECT_EQ(form.text(Control::Text3), "100.00");

    const std::pair<const char*, const char*> r0[] = {
        {"Pt10", "10.00"}, {"Cu100", "100.00"}, {"Cu50", "50.00"}};
    for (const auto& [code, resistance] : r0) {
        selectSensor(code);
        EXPECT_EQ(form.text(Control::Text3), resistance) << code;
    }
    selectSensor("Pt100");
    form.setText(Control::Text2, "100");
    EXPECT_EQ(form.text(Control::Text3), "138.51");
    form.setText(Control::Text2, "1000");
    EXPECT_EQ(form.text(Control::Text3), "温度超限");
    EXPECT_TRUE(flagsSet());
}

TEST_F(Calculator, BackToAThermocoupleWithTheEmfOption) {
    form.setText(Control::Text1, "20");
    selectSensor("Pt100");
    form.setText(Control::Text2, "100");
    selectSensor("K");
    EXPECT_TRUE(form.enabled(Control::Text1));
    EXPECT_TRUE(form.enabled(Control::Option1));
    EXPECT_EQ(form.text(Control::Text1), "0");  // the reference temperature was discarded
    EXPECT_EQ(form.text(Control::Label7), "热电势");
    EXPECT_EQ(form.text(Control::Label8), "mV");
    EXPECT_EQ(form.toolTip(Control::Text3), "输入热电势值");
    EXPECT_EQ(form.toolTip(Control::Option2), "改变参考温度时计算热电势");
    EXPECT_EQ(form.text(Control::Text3), "4.096");
}

TEST_F(Calculator, BackToAThermocoupleWithTheTemperatureOption) {
    form.select(Control::Option1);
    selectSensor("Pt100");
    EXPECT_EQ(form.text(Control::Text3), "100.00");
    selectSensor("K");  // the resistance left in Text3 is read as an EMF
    EXPECT_EQ(form.text(Control::Text2), "mV超限");
    EXPECT_EQ(form.text(Control::Text3), "100.00");
}

TEST_F(Calculator, OptionButtonsChangeNoBox) {
    form.setText(Control::Text2, "100");
    const std::string before[] = {form.text(Control::Text1), form.text(Control::Text2),
                                  form.text(Control::Text3)};
    window.writes.clear();
    form.select(Control::Option1);
    EXPECT_FALSE(form.selected(Control::Option2));
    form.select(Control::Option2);
    EXPECT_FALSE(form.selected(Control::Option1));
    EXPECT_TRUE(window.writes.empty());
    EXPECT_EQ(form.text(Control::Text1), before[0]);
    EXPECT_EQ(form.text(Control::Text2), before[1]);
    EXPECT_EQ(form.text(Control::Text3), before[2]);
}

TEST_F(Calculator, EachEditWritesEveryOtherBoxAtMostOnceAndNeverItself) {
    const std::pair<Control, std::string> edits[] = {
        {Control::Text2, "250"}, {Control::Text3, "12.5"}, {Control::Text1, "25"}};
    for (Control option : {Control::Option2, Control::Option1}) {
        form.select(option);
        const std::string suffix = option == Control::Option1 ? "1" : "";
        for (const auto& [box, typed] : edits) {
            const std::string text = typed + suffix;
            window.writes.clear();
            form.setText(box, text);
            EXPECT_EQ(form.text(box), text);
            ASSERT_EQ(window.writes.size(), 1u) << text;
            EXPECT_NE(window.writes[0].first, box);
            EXPECT_TRUE(flagsSet());
        }
    }
}

TEST_F(Calculator, TypingAResistanceShowsItsTemperature) {
    const struct {
        const char* sensor;
        const char* resistance;
        const char* temperature;
    } cases[] = {
        {"Pt100", "138.5055", "100.00"}, {"Pt100", "100", "0.00"},    {"Pt100", "60.26", "-99.99"},
        {"Pt100", "18.53", "-199.98"},   {"Pt100", "18.52", "Ω超限"}, {"Pt100", "390.48", "850.00"},
        {"Pt100", "390.49", "Ω超限"},    {"Pt10", "10", "0.00"},      {"Cu100", "142.80", "100.00"},
        {"Cu50", "50", "0.00"},          {"Cu50", "39.24", "Ω超限"},  {"Cu100", "164.28", "Ω超限"},
        {"Cu100", "1e999", "Ω超限"},     {"Cu100", "abc", "Ω超限"},
    };
    for (const auto& c : cases) {
        selectSensor(c.sensor);
        window.writes.clear();
        form.setText(Control::Text3, c.resistance);
        EXPECT_EQ(form.text(Control::Text2), c.temperature) << c.sensor << ' ' << c.resistance;
        EXPECT_EQ(form.text(Control::Text3), c.resistance);
        EXPECT_EQ(form.text(Control::Text1), "0");
    }
}

// A conversion that fails: the controller shows "计算错误" in the box it was about to write.
namespace {
// Inputs near 666 fail (an EMF arrives with the cold junction's EMF added).
bool faulty(double x) {
    return x > 665 && x < 667;
}
double faultyE(double t1, double typ) {
    if (faulty(t1)) throw kelvora::core::ConversionFault("test");
    return kelvora::core::e(t1, typ);
}
double faultyT(double e, double typ) {
    if (faulty(e)) throw kelvora::core::ConversionFault("test");
    return kelvora::core::t(e, typ);
}
std::string faultyR(double t1, double typ) {
    if (faulty(t1)) throw kelvora::core::ConversionFault("test");
    return kelvora::core::r_T(t1, typ);
}
double faultyTOhm(double r, double typ) {
    if (faulty(r)) throw kelvora::core::ConversionFault("test");
    return kelvora::core::t_Ohm(r, typ);
}
}  // namespace

TEST(ConversionFault, ShowsInTheBoxAboutToBeWrittenAndLeavesTheFlagsSet) {
    FormModel form;
    Controller controller{form, {faultyE, faultyT, faultyR, faultyTOhm}};
    controller.Form_Load();
    const auto flagsSet = [&] {
        return controller.HandleText1Change && controller.HandleText2Change &&
               controller.HandleText3Change;
    };

    form.setText(Control::Text2, "666");
    EXPECT_EQ(form.text(Control::Text3), "计算错误");
    EXPECT_EQ(form.text(Control::Text2), "666");
    EXPECT_TRUE(flagsSet());

    form.setText(Control::Text2, "0");
    form.setText(Control::Text3, "666");
    EXPECT_EQ(form.text(Control::Text2), "计算错误");
    EXPECT_TRUE(flagsSet());

    form.select(Control::Option1);
    form.setText(Control::Text3, "1");
    form.setText(Control::Text1, "666");  // the reference EMF fails
    EXPECT_EQ(form.text(Control::Text2), "计算错误");
    EXPECT_EQ(form.text(Control::Text1), "666");
    EXPECT_EQ(form.text(Control::Text3), "1");

    form.setListIndex(8);
    form.setText(Control::Text2, "666");
    EXPECT_EQ(form.text(Control::Text3), "计算错误");
    form.setText(Control::Text3, "666");
    EXPECT_EQ(form.text(Control::Text2), "计算错误");
    EXPECT_TRUE(flagsSet());
}
