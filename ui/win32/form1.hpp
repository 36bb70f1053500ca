// The calculator window over native Win32 controls. It only binds the controls to the Window
// interface: every decision about what the boxes show is the controller's. Texts are UTF-8 in
// Window and UTF-16 towards Windows (the W functions throughout).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <map>
#include <string>
#include <string_view>

#include "ui/window.hpp"

namespace kelvora::ui::win32 {

// The controls' identifiers, for GetDlgItem on the window.
enum ControlId : int {
    kLabel1 = 101,  // Label1 to Label11 are kLabel1 + 0 to 10
    kText1 = 201,   // Text1 to Text3
    kText2,
    kText3,
    kCombo1 = 301,
    kOption1 = 401,
    kOption2,
};

class Form1 final : public Window {
  public:
    // The window as designed, created hidden: fixed size, design-time texts and tool-tips,
    // Option2 selected, the sensor list empty with nothing selected.
    explicit Form1(HINSTANCE instance = GetModuleHandleW(nullptr));
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    HWND handle() const { return hwnd_; }
    HWND control(Control c) const;

    // Shows the window with the first box focused.
    void show(int showCommand = SW_SHOWNORMAL);
    // Dialog keys (Tab, Shift+Tab, the arrow keys among the options): true when `msg` was
    // handled here and must not be translated and dispatched.
    bool dialogMessage(MSG& msg);
    // The message loop until the user closes the window; returns the program's exit code.
    int run();

    void setEvents(WindowEvents* events) override;
    std::string text(Control c) const override;
    void setText(Control c, std::string_view text) override;
    void setCaption(Control c, std::string_view caption) override;
    void setToolTip(Control c, std::string_view toolTip) override;
    void setEnabled(Control c, bool enabled) override;
    bool selected(Control c) const override;
    void addListItem(std::string_view item) override;
    int listIndex() const override;
    void setListIndex(int index) override;

  private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(HINSTANCE instance);
    void createToolTips();
    void enableAccessibility();
    void applyDpi();
    void fitComboBox();
    void fitComboBoxWhenShown();
    HFONT windowFont(int halfPoints);
    void fitFont(HWND w, int width);
    HDC measuringDC();
    void boxChanged(int box);
    void listChanged();
    void deliver(void (WindowEvents::*event)());
    void setAccessibleName(HWND w, const std::wstring& name);

    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND focus_ = nullptr;  // restored when the window is activated again
    std::map<int, HWND> controls_;
    WindowEvents* events_ = nullptr;
    UINT dpi_ = 96;
    SIZE comboOpenSize_{};          // the combo box's size with its list open, as last set
    bool comboFitPending_ = false;  // items or scale changed while the window was hidden

    // What each box showed when its change was last delivered; a change event goes out only
    // when the box's text differs from it.
    std::array<std::wstring, 3> shown_;
    // The list position last delivered through Combo1_Click (or set by the controller).
    int listIndex_ = -1;

    std::map<int, HFONT> fonts_;  // the window's face by size in half points
    HFONT titleFont_ = nullptr;   // Label1's
    HDC measuringDC_ = nullptr;
    void* accessibility_ = nullptr;                 // IAccPropServices, where the system has it
    std::map<HWND, std::wstring> accessibleNames_;  // as given, for the services once they are up
    std::map<int, std::wstring> toolTips_;          // by control, as given
    bool comInitialized_ = false;
};

}  // namespace kelvora::ui::win32
