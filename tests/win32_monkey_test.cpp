// The Win32 window with the real controller under a long run of random real input (SendInput):
// key strokes, Chinese characters, pastes, clicks into the boxes, list selections by keys and
// mouse, option clicks; after every single event it checks what the Qt window's monkey test
// checks. Reproducible: KELVORA_MONKEY_SEED picks another seed, KELVORA_MONKEY_EVENTS another
// length; a failure names the seed, the event and the events before it.
// windows.h first, then what builds on it.
#include "ui/win32/form1.hpp"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/sensors.hpp"
#include "tests/monkey_invariants.hpp"
#include "tests/win32_input.hpp"
#include "ui/controller.hpp"

namespace msg = kelvora::ui::message;
using kelvora::core::isThermocouple;
using kelvora::test::utf8;
using kelvora::ui::Control;
using kelvora::ui::Window;
using kelvora::ui::WindowEvents;
using kelvora::ui::win32::Form1;
namespace id = kelvora::ui::win32;

namespace {

constexpr Control kBoxes[] = {Control::Text1, Control::Text2, Control::Text3};

// Put between the controller and the window, it tells the user's edits from the controller's
// writes, which the edit control does not: a box's change event that comes while the
// controller is not writing is the user's edit, recorded with the text it left; every write
// that changes a box is recorded with the sensor selected at that moment.
class Watch final : public Window, public WindowEvents {
  public:
    struct Box {
        std::vector<std::string> edits;
        std::vector<std::pair<std::string, int>> writes;
    };
    std::array<Box, 3> boxes;

    explicit Watch(Form1& window) : window_(window) {}

    void setEvents(WindowEvents* events) override {
        controller_ = events;
        window_.setEvents(events != nullptr ? this : nullptr);
    }
    std::string text(Control c) const override { return window_.text(c); }
    void setText(Control c, std::string_view text) override {
        const int box = c == Control::Text1 ? 0 : c == Control::Text2 ? 1 : 2;
        if (window_.text(c) != text) boxes[box].writes.emplace_back(text, window_.listIndex());
        ++writing_;
        window_.setText(c, text);
        --writing_;
    }
    void setCaption(Control c, std::string_view caption) override {
        window_.setCaption(c, caption);
    }
    void setToolTip(Control c, std::string_view toolTip) override {
        window_.setToolTip(c, toolTip);
    }
    void setEnabled(Control c, bool enabled) override { window_.setEnabled(c, enabled); }
    bool selected(Control c) const override { return window_.selected(c); }
    void addListItem(std::string_view item) override { window_.addListItem(item); }
    int listIndex() const override { return window_.listIndex(); }
    void setListIndex(int index) override { window_.setListIndex(index); }

    void Combo1_Click() override { controller_->Combo1_Click(); }
    void Text1_Change() override { edited(0, &WindowEvents::Text1_Change); }
    void Text2_Change() override { edited(1, &WindowEvents::Text2_Change); }
    void Text3_Change() override { edited(2, &WindowEvents::Text3_Change); }

  private:
    void edited(int box, void (WindowEvents::*event)()) {
        if (writing_ == 0) boxes[box].edits.push_back(window_.text(kBoxes[box]));
        (controller_->*event)();
    }

    Form1& window_;
    WindowEvents* controller_ = nullptr;
    int writing_ = 0;
};

class Monkey {
  public:
    Monkey(unsigned seed) : rng_(seed) {
        controller_.Form_Load();
        window_.show();
        kelvora::test::pump(window_, 50);
    }

    std::string run(long count);
    long events = 0, edits = 0, selections = 0, writes = 0, messages = 0;
    std::deque<std::string> trail;  // the last events, for the failure message

  private:
    int pick(std::size_t n) {
        return std::uniform_int_distribution<int>(0, static_cast<int>(n) - 1)(rng_);
    }
    HWND item(int controlId) const { return GetDlgItem(window_.handle(), controlId); }
    std::wstring randomText(int length);
    std::string event(const std::string& what, int target, const std::function<void()>& send);
    std::string check(int target, int sensorBefore, const std::array<std::string, 3>& before);

    Form1 window_;
    Watch watch_{window_};
    kelvora::ui::Controller controller_{watch_};
    std::mt19937 rng_;
};

// The number alphabet, separators, letters and Chinese.
std::wstring Monkey::randomText(int length) {
    static const std::wstring numeric = L"0123456789.-+eEdD, ";
    static const std::wstring chinese = L"温度超限计算错误热电势铂铑镍铬硅℃Ω～";
    std::wstring s;
    for (int i = 0; i < length; ++i) {
        const int k = pick(10);
        s += k < 4   ? static_cast<wchar_t>(L'0' + pick(10))
             : k < 7 ? numeric[static_cast<std::size_t>(pick(numeric.size()))]
             : k < 9 ? static_cast<wchar_t>((pick(2) ? L'a' : L'A') + pick(26))
                     : chinese[static_cast<std::size_t>(pick(chinese.size()))];
    }
    return s;
}

// Sends one event to the window (`target`: the box it goes to, or -1) and checks it.
std::string Monkey::event(const std::string& what, int target, const std::function<void()>& send) {
    std::array<std::string, 3> before;
    for (int i = 0; i < 3; ++i) {
        before[static_cast<std::size_t>(i)] = window_.text(kBoxes[i]);
        watch_.boxes[static_cast<std::size_t>(i)] = {};
    }
    const int sensorBefore = window_.listIndex();
    trail.push_back(what);
    if (trail.size() > 12) trail.pop_front();
    ++events;
    send();
    return check(target, sensorBefore, before);
}

std::string Monkey::check(int target, int sensorBefore, const std::array<std::string, 3>& before) {
    if (!controller_.HandleText1Change || !controller_.HandleText2Change ||
        !controller_.HandleText3Change)
        return "a guard flag was left cleared";
    const int sensor = window_.listIndex();
    const bool tc = isThermocouple(sensor);
    const std::string t1 = window_.text(Control::Text1);
    static constexpr std::size_t kLimits[] = {5, 6, 0};

    bool edited = false, wrote = false;
    for (int i = 0; i < 3; ++i) {
        const Watch::Box& b = watch_.boxes[static_cast<std::size_t>(i)];
        const std::string name = "Text" + std::to_string(i + 1);
        const std::string text = window_.text(kBoxes[i]);
        if (!b.edits.empty()) {
            if (i != target) return name + " was edited, not the box the keys went to";
            edited = true;
            const std::string& typed = b.edits.back();
            const std::size_t limit = kLimits[i];
            if (limit > 0 && kelvora::test::utf16Length(typed) > limit)
                return name + " took \"" + typed + "\" from the user";
            // The one exception: a reference temperature out of range replaces itself.
            const bool replaced = i == 0 && tc && text == msg::kReferenceOutOfRange;
            if (!replaced && text != typed)
                return name + " holds \"" + text + "\", not the user's \"" + typed + '"';
            if (!replaced && !b.writes.empty())
                return name + " was written over while the user edited it";
        } else if (i == target && text != before[static_cast<std::size_t>(i)]) {
            return name + " changed without an edit: \"" + before[static_cast<std::size_t>(i)] +
                   "\" to \"" + text + '"';
        }
        for (const auto& [w, s] : b.writes) {
            if (!kelvora::test::written(i, w, s))
                return "the controller wrote \"" + w + "\" into " + name + " (sensor " +
                       std::to_string(s) + ")";
            wrote = true;
            ++writes;
            messages += w.empty() || w.back() < '0' || w.back() > '9';
        }
    }
    edits += edited;
    selections += sensor != sensorBefore;
    // Clicks, cursor keys and refused keys raise no event, so no box may change.
    if (!edited && sensor == sensorBefore && wrote)
        return "a box changed though neither a box nor the list did";

    // A resistance thermometer disables Text1 (reading "0") and both options; a thermocouple
    // enables all three.
    const bool on[] = {IsWindowEnabled(item(id::kText1)) != FALSE,
                       IsWindowEnabled(item(id::kOption1)) != FALSE,
                       IsWindowEnabled(item(id::kOption2)) != FALSE};
    if (on[0] != tc || on[1] != tc || on[2] != tc || (!tc && t1 != "0"))
        return "sensor " + std::to_string(sensor) + ", Text1 \"" + t1 + "\"; enabled: Text1 " +
               std::to_string(on[0]) + ", options " + std::to_string(on[1]) + ' ' +
               std::to_string(on[2]);

    // A new sensor recomputes the box its option (or the sensor kind) names.
    const int out = !tc || window_.selected(Control::Option2) ? 2 : 1;
    const std::string shown = window_.text(kBoxes[out]);
    if (sensor != sensorBefore && !kelvora::test::written(out, shown, sensor) &&
        !(out == 1 && t1 == msg::kReferenceOutOfRange))
        return "sensor " + std::to_string(sensor) + " selected: Text" + std::to_string(out + 1) +
               " holds \"" + shown + '"';
    return {};
}

std::string Monkey::run(long count) {
    using kelvora::test::key;
    const std::vector<std::wstring> pastes = {
        L"温度超限", L"t0超限",      L"mV超限", L"Ω超限", L"计算错误", L"1e999",
        L"-1e999",   L"-300",        L"2000",   L"1820",  L"-270",     L"1e-320",
        L"0.5d2",    L"  -12.5E+1x", L"1,5",    L"\t7\n", L"nan"};
    static constexpr WORD kBoxKeys[] = {VK_BACK, VK_BACK,  VK_DELETE, VK_HOME, VK_END,
                                        VK_LEFT, VK_RIGHT, 'A',       VK_TAB};
    static constexpr WORD kListKeys[] = {VK_UP,  VK_DOWN,  VK_UP,   VK_DOWN, VK_HOME,
                                         VK_END, VK_PRIOR, VK_NEXT, 'P'};
    static constexpr int kBoxIds[] = {id::kText1, id::kText2, id::kText3};
    std::string failure;
    while (events < count && failure.empty()) {
        std::vector<int> enabled;
        for (int i = 0; i < 3; ++i) {
            if (IsWindowEnabled(item(kBoxIds[i]))) enabled.push_back(i);
        }
        const int i = enabled[static_cast<std::size_t>(pick(enabled.size()))];
        HWND box = item(kBoxIds[i]);
        const std::string name = "Text" + std::to_string(i + 1) + ": ";
        const int action = pick(100);
        if (action < 72 && GetFocus() != box) SetFocus(box);
        if (action < 34) {  // a character: its key, or as an input method hands it over
            const wchar_t ch = randomText(1)[0];
            failure = event(name + "type " + utf8(std::wstring(1, ch)), i,
                            [&] { kelvora::test::typeChar(window_, ch); });
        } else if (action < 62) {  // an editing key; A is Ctrl+A, cursor keys at times Shift+
            const WORD vk = kBoxKeys[pick(std::size(kBoxKeys))];
            const bool cursor = vk == VK_HOME || vk == VK_END || vk == VK_LEFT || vk == VK_RIGHT;
            const bool shift = cursor && !pick(3);
            char what[32];
            std::snprintf(what, sizeof what, "%skey %#x",
                          shift       ? "Shift+"
                          : vk == 'A' ? "Ctrl+"
                                      : "",
                          vk);
            failure = event(name + what, i, [&] { key(window_, vk, shift, vk == 'A'); });
        } else if (action < 72) {  // a paste
            const std::wstring text = pick(3)
                                          ? pastes[static_cast<std::size_t>(pick(pastes.size()))]
                                          : randomText(1 + pick(pick(2) ? 8 : 300));
            kelvora::test::setClipboard(window_.handle(), text);
            failure = event(name + "paste \"" + utf8(text.substr(0, 40)) + '"', i,
                            [&] { key(window_, 'V', false, true); });
        } else if (action < 78) {  // a click into a box, placing the cursor
            RECT r{};
            GetClientRect(box, &r);
            const int x = pick(static_cast<std::size_t>(r.right));
            failure = event(name + "click at x=" + std::to_string(x), i,
                            [&] { kelvora::test::click(window_, box, x, r.bottom / 2); });
        } else if (action < 90) {  // a sensor chosen with the keys of the closed list
            const WORD vk = kListKeys[pick(std::size(kListKeys))];
            HWND combo = item(id::kCombo1);
            SetFocus(combo);
            char what[32];
            std::snprintf(what, sizeof what, "Combo1: key %#x", vk);
            failure = event(what, -1, [&] { key(window_, vk); });
        } else if (action < 94) {  // a sensor picked with the mouse from the open list
            HWND combo = item(id::kCombo1);
            const int index = pick(12);
            failure = event("Combo1: mouse pick " + std::to_string(index), -1, [&] {
                kelvora::test::clickCentre(window_, combo);
                COMBOBOXINFO info{};
                info.cbSize = sizeof info;
                GetComboBoxInfo(combo, &info);
                RECT r{};
                SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&r));
                kelvora::test::click(window_, info.hwndList, (r.left + r.right) / 2,
                                     (r.top + r.bottom) / 2);
            });
            if (failure.empty() && SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0))
                failure = "the list stayed open after an item was clicked";
        } else {  // an option button, also while it is disabled
            const int option = pick(2);
            failure = event("click Option" + std::to_string(option + 1), -1, [&] {
                kelvora::test::clickCentre(window_, item(option ? id::kOption2 : id::kOption1));
            });
        }
    }
    return failure;
}

TEST(Win32Monkey, RandomInputKeepsTheWindowConsistent) {
    const char* seedText = std::getenv("KELVORA_MONKEY_SEED");
    const char* countText = std::getenv("KELVORA_MONKEY_EVENTS");
    const unsigned seed =
        seedText != nullptr ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 20240611;
    long count = countText != nullptr ? std::strtol(countText, nullptr, 10) : 0;
    if (count <= 0) count = 4000;
    std::printf("monkey: seed %u, %ld events (KELVORA_MONKEY_SEED, KELVORA_MONKEY_EVENTS)\n", seed,
                count);

    Monkey monkey(seed);
    const std::string failure = monkey.run(count);
    std::string trail;
    for (const std::string& e : monkey.trail) trail += "\n    " + e;
    ASSERT_TRUE(failure.empty()) << "seed " << seed << ", event " << monkey.events << ": "
                                 << failure << "\n  after:" << trail;
    std::printf(
        "monkey: seed %u, %ld events held every invariant: %ld edits by the user, %ld sensor "
        "selections, %ld texts written by the controller (%ld of them messages)\n",
        seed, monkey.events, monkey.edits, monkey.selections, monkey.writes, monkey.messages);
}

}  // namespace
