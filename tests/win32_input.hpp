// Real keyboard and mouse input for the Win32 window tests: SendInput puts each key and
// button into the system's input queue, from where it reaches the window as a user's would
// (hit testing, focus, the dialog keys, TranslateMessage). Then the test pumps the messages
// the way the program's loop does, until the window is idle.
#pragma once

#include <string>
#include <string_view>

#include "ui/win32/form1.hpp"

namespace kelvora::test {

// Handles every message that is waiting, through the window's dialog keys as the program's
// loop does, and keeps doing so until nothing has come for `idleMs` milliseconds.
inline void pump(ui::win32::Form1& window, DWORD idleMs = 15) {
    // Timers (the caret's, a focused button's, the tool-tip's) tick on their own and are
    // handled as they come, but do not count as activity.
    constexpr DWORD kActivity = QS_ALLINPUT & ~QS_TIMER;
    for (;;) {
        MSG msg{};
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            if (!window.dialogMessage(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, idleMs, kActivity) == WAIT_TIMEOUT) return;
    }
}

inline INPUT keyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_HOME ||
        vk == VK_END || vk == VK_PRIOR || vk == VK_NEXT || vk == VK_DELETE)
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return in;
}

// One key press and release, with Shift, Ctrl or Alt held around it.
inline void key(ui::win32::Form1& window, WORD vk, bool shift = false, bool ctrl = false,
                bool alt = false) {
    INPUT in[8];
    UINT n = 0;
    if (shift) in[n++] = keyInput(VK_SHIFT, false);
    if (ctrl) in[n++] = keyInput(VK_CONTROL, false);
    if (alt) in[n++] = keyInput(VK_MENU, false);
    in[n++] = keyInput(vk, false);
    in[n++] = keyInput(vk, true);
    if (alt) in[n++] = keyInput(VK_MENU, true);
    if (ctrl) in[n++] = keyInput(VK_CONTROL, true);
    if (shift) in[n++] = keyInput(VK_SHIFT, true);
    SendInput(n, in, sizeof(INPUT));
    pump(window);
}

// One character: the key that makes it on the keyboard where there is one (with Shift where it
// needs it), else as a Unicode character the way an input method hands it over.
inline void typeChar(ui::win32::Form1& window, wchar_t ch) {
    const SHORT scan = ch < 0x80 ? VkKeyScanW(ch) : -1;
    if (scan != -1 && (scan & 0x0600) == 0) {
        key(window, static_cast<WORD>(scan & 0xff), (scan & 0x0100) != 0);
        return;
    }
    INPUT in[2]{};
    for (int i = 0; i < 2; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wScan = ch;
        in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, in, sizeof(INPUT));
    pump(window);
}

inline void type(ui::win32::Form1& window, std::wstring_view text) {
    for (wchar_t ch : text) typeChar(window, ch);
}

// A left click at a point of a window's client area.
inline void click(ui::win32::Form1& window, HWND target, int x, int y) {
    POINT p{x, y};
    ClientToScreen(target, &p);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3]{};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = MulDiv(p.x, 65535, w - 1);
        i.mi.dy = MulDiv(p.y, 65535, h - 1);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    in[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(3, in, sizeof(INPUT));
    pump(window);
}

inline void clickCentre(ui::win32::Form1& window, HWND target) {
    RECT r{};
    GetClientRect(target, &r);
    click(window, target, r.right / 2, r.bottom / 2);
}

// Puts text on the clipboard, as another program would before the user pastes it.
inline bool setClipboard(HWND owner, std::wstring_view text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    auto* data = static_cast<wchar_t*>(GlobalLock(memory));
    text.copy(data, text.size());
    data[text.size()] = L'\0';
    GlobalUnlock(memory);
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    return set;
}

inline std::wstring windowText(HWND w) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The length of a UTF-8 text in UTF-16 units, as an edit control counts it.
inline std::size_t utf16Length(std::string_view utf8Text) {
    return static_cast<std::size_t>(MultiByteToWideChar(
        CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), nullptr, 0));
}

inline std::string utf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    std::string s(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size,
                                                               nullptr, 0, nullptr, nullptr)),
                  '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, s.data(), static_cast<int>(s.size()),
                        nullptr, nullptr);
    return s;
}

}  // namespace kelvora::test
