// The Win32 window with the real controller, driven by real key strokes and mouse clicks
// (SendInput), read back from the controls themselves. Runs under Wine on Xvfb
// (tests/wine_display.sh).
// windows.h first, then what builds on it.
#include "ui/win32/form1.hpp"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/thermocouple.hpp"
#include "tests/win32_input.hpp"
#include "ui/box_value.hpp"
#include "ui/controller.hpp"
#include "ui/win32/form1.hpp"

using kelvora::test::clickCentre;
using kelvora::test::key;
using kelvora::test::pump;
using kelvora::test::type;
using kelvora::test::windowText;
using kelvora::ui::Control;
using kelvora::ui::Controller;
using kelvora::ui::WindowEvents;
using kelvora::ui::win32::Form1;
namespace id = kelvora::ui::win32;

namespace {

// Records the events the window raises, with what the window showed while each ran, and
// passes them on to the controller.
struct Recorder final : WindowEvents {
    Form1* window = nullptr;
    WindowEvents* next = nullptr;
    std::vector<std::string> seen;
    void Combo1_Click() override {
        record("click " + std::to_string(window->listIndex()), &WindowEvents::Combo1_Click);
    }
    void Text1_Change() override {
        record("text1 " + window->text(Control::Text1), &WindowEvents::Text1_Change);
    }
    void Text2_Change() override {
        record("text2 " + window->text(Control::Text2), &WindowEvents::Text2_Change);
    }
    void Text3_Change() override {
        record("text3 " + window->text(Control::Text3), &WindowEvents::Text3_Change);
    }
    void record(std::string what, void (WindowEvents::*event)()) {
        seen.push_back(std::move(what));
        if (next != nullptr) (next->*event)();
    }
};

// The program's start-up: window, controller, Form_Load, show; every event then also goes
// through the recorder.
struct Running {
    Form1 window;
    Controller controller{window};
    Recorder recorder;

    Running() {
        controller.Form_Load();
        recorder.window = &window;
        recorder.next = &controller;
        window.setEvents(&recorder);
        window.show();
        pump(window, 50);
    }
    ~Running() { window.setEvents(nullptr); }

    HWND item(int controlId) const { return GetDlgItem(window.handle(), controlId); }
    std::wstring text(int controlId) const { return windowText(item(controlId)); }
    bool checked(int controlId) const {
        return SendMessageW(item(controlId), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    // The tool-tip shown over a control (`overPlace`: over its place in the window, where the
    // mouse is while the control is disabled).
    std::wstring toolTip(HWND control, bool overPlace = false) const {
        HWND tip = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM found) {
                wchar_t name[64];
                GetClassNameW(w, name, 64);
                if (std::wstring(name) != TOOLTIPS_CLASSW) return TRUE;
                *reinterpret_cast<HWND*>(found) = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&tip));
        wchar_t buffer[256] = L"";
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = window.handle();
        tool.uId = overPlace ? static_cast<UINT_PTR>(GetDlgCtrlID(control))
                             : reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = buffer;
        SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        return buffer;
    }
    // Focus into a box and type over all of it, one key at a time.
    void typeOver(int box, std::wstring_view text) {
        SetFocus(item(box));
        key(window, 'A', false, true);
        type(window, text);
    }
    // The name of the control that has the focus.
    std::string focused() const {
        const int focus = GetDlgCtrlID(GetFocus());
        for (const auto& [controlId, name] : {std::pair{id::kText1, "Text1"},
                                              {id::kText2, "Text2"},
                                              {id::kText3, "Text3"},
                                              {id::kCombo1, "Combo1"},
                                              {id::kOption1, "Option1"},
                                              {id::kOption2, "Option2"}}) {
            if (controlId == focus) return name;
        }
        return std::to_string(focus);
    }
    std::size_t events() const { return recorder.seen.size(); }
};

// The name a screen reader announces for a control (Microsoft Active Accessibility).
std::wstring accessibleName(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, reinterpret_cast<void**>(&object))))
        return L"(no accessible object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result;
    if (SUCCEEDED(object->get_accName(self, &name)) && name != nullptr) result = name;
    SysFreeString(name);
    object->Release();
    return result;
}

std::wstring label(const Running& r, int n) {
    return r.text(id::kLabel1 + n - 1);
}

TEST(Win32Window, StartsAsDesigned) {
    Running r;
    HWND w = r.window.handle();
    EXPECT_EQ(windowText(w), L"Kelvora");
    RECT client{};
    GetClientRect(w, &client);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(client.right, MulDiv(339, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(236, dpi, 96));
    const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);

    EXPECT_EQ(r.text(id::kText1), L"0");
    EXPECT_EQ(r.text(id::kText2), L"0");
    EXPECT_EQ(r.text(id::kText3), L"0.000");
    std::vector<std::string> items;
    HWND combo = r.item(id::kCombo1);
    for (int i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
        wchar_t item[32];
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items.push_back(kelvora::test::utf8(item));
    }
    EXPECT_EQ(items, (std::vector<std::string>{"S", "R", "B", "K", "N", "E", "J", "T", "Pt100",
                                               "Pt10", "Cu100", "Cu50"}));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 3);
    const std::vector<std::wstring> labels{L"Kelvora",
                                           L"参考温度",
                                           L"℃",
                                           L"分度号",
                                           L"温  度",
                                           L"℃",
                                           L"热电势",
                                           L"mV",
                                           L"镍铬-镍硅热电偶",
                                           L"温度测量范围 -270℃～1372℃",
                                           L"热电偶按ITS-90参考函数，热电阻按IEC 60751"};
    for (int n = 1; n <= 11; ++n) EXPECT_EQ(label(r, n), labels[n - 1]) << "Label" << n;
    EXPECT_TRUE(r.checked(id::kOption2));
    EXPECT_FALSE(r.checked(id::kOption1));
    for (int c : {id::kText1, id::kOption1, id::kOption2})
        EXPECT_TRUE(IsWindowEnabled(r.item(c))) << c;
    EXPECT_EQ(r.toolTip(r.item(id::kText1)), L"冷端温度");
    EXPECT_EQ(r.toolTip(r.item(id::kText3)), L"输入热电势值");
    EXPECT_EQ(r.toolTip(combo), L"选择测温元件分度号");
    EXPECT_EQ(r.toolTip(r.item(id::kOption2)), L"改变参考温度时计算热电势");
    EXPECT_EQ(r.focused(), "Text1");

    // Label1 in a Song face, 15.75 pt, normal weight, with the GB2312 character set.
    LOGFONTW title{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(r.item(id::kLabel1), WM_GETFONT, 0, 0)),
               sizeof title, &title);
    EXPECT_EQ(title.lfHeight, -MulDiv(1575, dpi, 7200));
    EXPECT_EQ(title.lfWeight, FW_NORMAL);
    EXPECT_EQ(title.lfCharSet, GB2312_CHARSET);

    // Screen readers name a box by the label before it, an option by its hidden caption.
    EXPECT_EQ(accessibleName(r.item(id::kText1)), L"参考温度");
    EXPECT_EQ(accessibleName(r.item(id::kText3)), L"热电势");
    EXPECT_EQ(accessibleName(r.item(id::kOption1)), L"改变参考温度时计算温度");
    EXPECT_EQ(accessibleName(r.item(id::kOption2)), L"改变参考温度时计算热电势");
    EXPECT_EQ(windowText(GetWindow(combo, GW_HWNDPREV)), L"分度号");
}

// Each keystroke raises one change; only the other box is rewritten.
TEST(Win32Window, TypingATemperatureUpdatesTheEmfPerKeystroke) {
    Running r;
    r.typeOver(id::kText1, L"20");
    EXPECT_EQ(r.text(id::kText3), L"-0.798");

    r.recorder.seen.clear();
    SetFocus(r.item(id::kText2));
    key(r.window, 'A', false, true);
    std::vector<std::wstring> emf;
    for (wchar_t ch : std::wstring(L"100")) {
        type(r.window, std::wstring(1, ch));
        emf.push_back(r.text(id::kText3));
    }
    EXPECT_EQ(emf, (std::vector<std::wstring>{L"-0.759", L"-0.401", L"3.298"}));
    EXPECT_EQ(r.recorder.seen,
              (std::vector<std::string>{"text2 1", "text3 -0.759", "text2 10", "text3 -0.401",
                                        "text2 100", "text3 3.298"}));
    EXPECT_EQ(r.text(id::kText1), L"20");
    EXPECT_EQ(r.text(id::kText2), L"100");
}

// Text1 takes 5 characters from the user, Text2 6, Text3 any number; a refused key raises
// nothing. Texts the controller writes are never cut.
TEST(Win32Window, TypingLimitsAndLongResults) {
    Running r;
    r.recorder.seen.clear();
    r.typeOver(id::kText1, L"123456");
    EXPECT_EQ(r.text(id::kText1), L"12345");
    int text1 = 0;
    for (const std::string& e : r.recorder.seen) text1 += e.rfind("text1 ", 0) == 0;
    EXPECT_EQ(text1, 5);

    r.typeOver(id::kText2, L"1234567");
    EXPECT_EQ(r.text(id::kText2), L"123456");

    r.typeOver(id::kText1, L"0");
    r.typeOver(id::kText3, L"123456789012");
    EXPECT_EQ(r.text(id::kText3), L"123456789012");

    // K at -5.8 mV lies below -190 °C: seven characters, one more than the user may type.
    r.typeOver(id::kText3, L"-5.8");
    const std::wstring t = r.text(id::kText2);
    ASSERT_EQ(t.size(), 7u);
    EXPECT_EQ(t.substr(0, 3), L"-19");
    const double back = kelvora::core::e(kelvora::ui::boxValue(kelvora::test::utf8(t)), 3);
    EXPECT_NEAR(back, -5.8, 0.0005);

    // The user still cannot lengthen it, but can shorten it.
    SetFocus(r.item(id::kText2));
    key(r.window, VK_END);
    const std::size_t before = r.events();
    type(r.window, L"5");
    EXPECT_EQ(r.text(id::kText2), t);
    EXPECT_EQ(r.events(), before);
    key(r.window, VK_BACK);
    EXPECT_EQ(r.text(id::kText2), t.substr(0, 6));
    EXPECT_NE(r.text(id::kText3), L"-5.8");
}

// Pasting goes through the same limits as typing; a reference temperature out of range
// replaces itself.
TEST(Win32Window, Pastes) {
    Running r;
    ASSERT_TRUE(kelvora::test::setClipboard(r.window.handle(), L"2000"));
    SetFocus(r.item(id::kText2));
    key(r.window, 'A', false, true);
    key(r.window, 'V', false, true);
    EXPECT_EQ(r.text(id::kText2), L"2000");
    EXPECT_EQ(r.text(id::kText3), L"温度超限");

    // More than fits: the box keeps as much as its limit allows.
    ASSERT_TRUE(kelvora::test::setClipboard(r.window.handle(), L"12345678"));
    key(r.window, 'A', false, true);
    key(r.window, 'V', false, true);
    EXPECT_EQ(r.text(id::kText2), L"123456");

    // With Option1, a reference temperature of -300 becomes "t0超限" and nothing else changes.
    clickCentre(r.window, r.item(id::kOption1));
    ASSERT_TRUE(r.checked(id::kOption1));
    const std::wstring text2 = r.text(id::kText2), text3 = r.text(id::kText3);
    ASSERT_TRUE(kelvora::test::setClipboard(r.window.handle(), L"-300"));
    SetFocus(r.item(id::kText1));
    key(r.window, 'A', false, true);
    key(r.window, 'V', false, true);
    EXPECT_EQ(r.text(id::kText1), L"t0超限");
    EXPECT_EQ(r.text(id::kText2), text2);
    EXPECT_EQ(r.text(id::kText3), text3);
    // The caret stays at the end, where the user was typing.
    type(r.window, L"5");
    EXPECT_EQ(r.text(id::kText1), L"t0超限5");
}

// Down to Pt100 by typing its initial into the closed list, back to K with the mouse in the
// open list, then one step each way with the arrow keys.
TEST(Win32Window, ChoosingASensorWithKeysAndMouse) {
    Running r;
    r.typeOver(id::kText1, L"20");
    HWND combo = r.item(id::kCombo1);
    SetFocus(combo);
    r.recorder.seen.clear();
    type(r.window, L"P");
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 8);
    EXPECT_EQ(r.recorder.seen.front(), "click 8");
    EXPECT_EQ(label(r, 7), L"电阻值");
    EXPECT_EQ(label(r, 8), L"Ω");
    EXPECT_EQ(label(r, 9), L"铂热电阻R0=100");
    EXPECT_EQ(r.toolTip(r.item(id::kText3)), L"输入电阻值");
    EXPECT_EQ(accessibleName(r.item(id::kText3)), L"电阻值");
    EXPECT_EQ(r.text(id::kText1), L"0");
    EXPECT_FALSE(IsWindowEnabled(r.item(id::kText1)));
    EXPECT_FALSE(IsWindowEnabled(r.item(id::kOption1)));
    EXPECT_FALSE(IsWindowEnabled(r.item(id::kOption2)));
    EXPECT_EQ(r.toolTip(r.item(id::kOption2)), L"");
    EXPECT_EQ(r.toolTip(r.item(id::kOption2), true), L"");
    EXPECT_EQ(r.toolTip(r.item(id::kOption1), true), L"改变参考温度时计算温度");
    EXPECT_EQ(r.toolTip(r.item(id::kText1), true), L"冷端温度");
    EXPECT_EQ(r.text(id::kText2), L"0");
    EXPECT_EQ(r.text(id::kText3), L"100.00");

    // Open the list with a click and pick K with another.
    r.recorder.seen.clear();
    clickCentre(r.window, combo);
    ASSERT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(r.recorder.seen.empty());
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    RECT k{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&k));
    kelvora::test::click(r.window, info.hwndList, (k.left + k.right) / 2, (k.top + k.bottom) / 2);
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 3);
    ASSERT_FALSE(r.recorder.seen.empty());
    EXPECT_EQ(r.recorder.seen.front(), "click 3");
    EXPECT_EQ(std::count(r.recorder.seen.begin(), r.recorder.seen.end(), "click 3"), 1);
    EXPECT_EQ(label(r, 7), L"热电势");
    EXPECT_EQ(label(r, 8), L"mV");
    EXPECT_EQ(r.toolTip(r.item(id::kOption2)), L"改变参考温度时计算热电势");
    EXPECT_TRUE(IsWindowEnabled(r.item(id::kText1)));
    EXPECT_TRUE(IsWindowEnabled(r.item(id::kOption1)));
    EXPECT_EQ(r.text(id::kText3), L"0.000");

    // The arrow keys of the closed list: one event per step.
    SetFocus(combo);
    r.recorder.seen.clear();
    key(r.window, VK_DOWN);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(label(r, 9), L"镍铬硅-镍硅热电偶");
    key(r.window, VK_UP);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(std::count_if(r.recorder.seen.begin(), r.recorder.seen.end(),
                            [](const std::string& e) { return e.rfind("click", 0) == 0; }),
              2);
}

// The options clear each other and raise nothing, but the controller sees the choice.
TEST(Win32Window, OptionsAreOneGroup) {
    Running r;
    r.recorder.seen.clear();
    clickCentre(r.window, r.item(id::kOption1));
    EXPECT_TRUE(r.checked(id::kOption1) && !r.checked(id::kOption2));
    clickCentre(r.window, r.item(id::kOption2));
    EXPECT_TRUE(r.checked(id::kOption2) && !r.checked(id::kOption1));
    // The arrow keys move the choice within the group.
    key(r.window, VK_UP);
    EXPECT_TRUE(r.checked(id::kOption1) && !r.checked(id::kOption2));
    EXPECT_EQ(r.focused(), "Option1");
    EXPECT_TRUE(r.recorder.seen.empty());

    // With Option1 a new reference temperature recomputes the temperature, not the EMF.
    r.typeOver(id::kText1, L"20");
    const double t = kelvora::ui::boxValue(kelvora::test::utf8(r.text(id::kText2)));
    EXPECT_NEAR(t, 20, 0.05);
    EXPECT_EQ(r.text(id::kText3), L"0.000");
}

// Tab runs Text1, Text2, Text3, Combo1 and the option group, whose selected button it visits;
// Shift+Tab goes back.
TEST(Win32Window, TabOrder) {
    Running r;
    SetFocus(r.item(id::kText1));
    std::vector<std::string> visited;
    for (int i = 0; i < 5; ++i) {
        key(r.window, VK_TAB);
        visited.push_back(r.focused());
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"Text2", "Text3", "Combo1", "Option2", "Text1"}));
    key(r.window, VK_TAB, true);
    EXPECT_EQ(r.focused(), "Option2");
    EXPECT_TRUE(r.checked(id::kOption2));
    // A box entered with Tab is selected whole, so typing replaces it.
    key(r.window, VK_TAB);
    type(r.window, L"5");
    EXPECT_EQ(r.text(id::kText1), L"5");
}

// Moved to a monitor at 150 %, the window grows to 1.5 times its size at 96 dpi, with every
// control in proportion and its fonts with it.
TEST(Win32Window, FollowsTheMonitorScale) {
    Running r;
    HWND w = r.window.handle();
    RECT frame{};
    GetWindowRect(w, &frame);
    SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&frame));
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 509);  // 339 × 1.5, rounded
    EXPECT_EQ(client.bottom, 354);
    RECT box{};
    GetWindowRect(r.item(id::kText3), &box);
    MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(box.left, 360);  // 3600 twips at 144 dpi
    EXPECT_EQ(box.top, 179);
    EXPECT_EQ(box.right - box.left, 86);
    EXPECT_EQ(box.bottom - box.top, 27);
    LOGFONTW title{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(r.item(id::kLabel1), WM_GETFONT, 0, 0)),
               sizeof title, &title);
    EXPECT_EQ(title.lfHeight, -MulDiv(1575, 144, 7200));
    LOGFONTW boxFont{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(r.item(id::kText3), WM_GETFONT, 0, 0)),
               sizeof boxFont, &boxFont);
    EXPECT_EQ(boxFont.lfHeight, -18);  // 9 pt
    // Still the same window to the user.
    r.typeOver(id::kText2, L"100");
    EXPECT_EQ(r.text(id::kText3), L"4.096");
}

// Calls the controller makes: every event runs inside the call, after the window already
// shows the change; appending to the list raises nothing.
TEST(Win32Window, EventsFromCode) {
    Form1 window;
    Recorder rec;
    rec.window = &window;
    window.setEvents(&rec);
    window.addListItem("S");
    window.addListItem("R");
    EXPECT_EQ(window.listIndex(), -1);
    EXPECT_TRUE(rec.seen.empty());
    window.setListIndex(1);
    window.setListIndex(1);
    window.setListIndex(2);  // no such item: ignored
    window.setText(Control::Text2, "-123.45");
    window.setText(Control::Text2, "-123.45");
    window.setText(Control::Text1, "t0超限长");
    EXPECT_EQ(rec.seen,
              (std::vector<std::string>{"click 1", "click 1", "text2 -123.45", "text1 t0超限长"}));
    EXPECT_EQ(window.text(Control::Text1), "t0超限长");
    EXPECT_EQ(window.text(Control::Combo1), "R");

    window.setEvents(nullptr);
    window.setListIndex(0);
    window.setText(Control::Text3, "1");
    EXPECT_EQ(rec.seen.size(), 4u);
}

// What the controls themselves do, which the window must absorb: the edit control reports a
// change for a write of the same text, and setting the list position reports nothing.
TEST(Win32Window, ControlQuirksTheWindowAbsorbs) {
    Form1 window;
    Recorder rec;
    rec.window = &window;
    window.setEvents(&rec);
    std::vector<int> notifications;
    SetWindowSubclass(
        window.handle(),
        [](HWND w, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
           DWORD_PTR seen) -> LRESULT {
            if (message == WM_COMMAND)
                reinterpret_cast<std::vector<int>*>(seen)->push_back(HIWORD(wParam));
            return DefSubclassProc(w, message, wParam, lParam);
        },
        1, reinterpret_cast<DWORD_PTR>(&notifications));
    HWND text2 = GetDlgItem(window.handle(), id::kText2);
    SetWindowTextW(text2, L"0");  // the text it already has
    EXPECT_EQ(std::count(notifications.begin(), notifications.end(), EN_CHANGE), 1);
    window.setText(Control::Text2, "0");
    EXPECT_TRUE(rec.seen.empty());

    window.addListItem("S");
    window.addListItem("R");
    notifications.clear();
    SendMessageW(GetDlgItem(window.handle(), id::kCombo1), CB_SETCURSEL, 1, 0);
    EXPECT_EQ(std::count(notifications.begin(), notifications.end(), CBN_SELCHANGE), 0);
    EXPECT_TRUE(rec.seen.empty());
    window.setListIndex(0);
    EXPECT_EQ(rec.seen, std::vector<std::string>{"click 0"});
    window.setEvents(nullptr);
}

}  // namespace
