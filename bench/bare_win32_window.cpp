// The floors for Kelvora's start-up under Windows: a bare Win32 program that registers a
// class and shows one empty window of Kelvora's size with Kelvora's caption, then runs the
// message loop. Built with the same compiler and the same static linking as kelvora.exe.
//
// Built with KELVORA_LABEL_FLOOR, the fair floor: the same window with one label "参考温度"
// in a Chinese face (the font mapper's choice for GB2312 at 9 pt), linked with kelvora.exe's
// manifest (common controls 6, DPI awareness) and initialising the common controls as
// kelvora.exe does: what any window that shows Chinese text with visual styles pays.
#include <windows.h>
#ifdef KELVORA_LABEL_FLOOR
#include <commctrl.h>
#endif

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

#ifdef KELVORA_LABEL_FLOOR
void addLabel(HWND window, HINSTANCE instance) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTW face{};
    face.lfHeight = -MulDiv(18, dpi, 144);  // 9 pt
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = GB2312_CHARSET;
    HFONT font = CreateFontIndirectW(&face);
    // Where Kelvora puts Label2, 480 and 1080 twips from the corner, 735 by 255.
    HWND label = CreateWindowExW(
        0, L"STATIC", L"参考温度", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE,
        MulDiv(480, dpi, 1440), MulDiv(1080, dpi, 1440), MulDiv(735, dpi, 1440),
        MulDiv(255, dpi, 1440), window, nullptr, instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
#ifdef KELVORA_LABEL_FLOOR
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
#endif
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"KelvoraBareWindow";
    RegisterClassW(&windowClass);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, 339, 236};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowW(L"KelvoraBareWindow", L"Kelvora", style, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, nullptr);
#ifdef KELVORA_LABEL_FLOOR
    addLabel(window, instance);
#endif
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
