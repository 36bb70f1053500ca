#include "ui/win32/form1.hpp"

#include <commctrl.h>
#include <initguid.h>  // defines the accessibility GUIDs of oleacc.h here
#include <oleacc.h>

#include <initializer_list>
#include <vector>

namespace kelvora::ui::win32 {

namespace {

constexpr wchar_t kClassName[] = L"KelvoraForm1";

// The client area in twips, 15 to a pixel at 96 dpi.
constexpr int kClientWidth = 5085;
constexpr int kClientHeight = 3540;

// The window's face at 9 pt; labels and the list go down by half points to 7.5 pt where a text
// would not fit: the geometry is fixed, and Latin letters and digits in the Chinese faces are
// wider than in the faces it was laid out in.
constexpr int kFontHalfPoints = 18;
constexpr int kSmallestHalfPoints = 15;

// One control as designed: position and size in twips.
struct Design {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int left, top, width, height;
    const wchar_t* toolTip;  // nullptr for none
    // The name screen readers announce, set as an annotation (Windows 7 on; Wine ignores it);
    // without one they take a control's caption, or for a box or list the label before it.
    const wchar_t* accessibleName;
};

constexpr DWORD kLabel = SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX;
constexpr DWORD kBox = ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;

// In z-order, which is also the tab order of the controls that take the focus: Text1, Text2,
// Text3, Combo1, Option1, Option2. Each box comes right after the label that names it, so
// that screen readers without annotations still find a name for it. The options' captions
// are their names; the buttons are too narrow to show them, as designed, and their tool-tips
// say what they mean. The options are one group: Option1 opens it, Label1 after Option2
// closes it.
constexpr Design kDesign[] = {
    {kLabel1 + 1, L"STATIC", L"参考温度", kLabel, 480, 1080, 735, 255, nullptr, nullptr},
    {kText1, L"EDIT", L"0", kBox, 1440, 1080, 615, 270, L"冷端温度", L"参考温度"},
    {kLabel1 + 4, L"STATIC", L"温  度", kLabel, 540, 1800, 615, 255, nullptr, nullptr},
    {kText2, L"EDIT", L"0", kBox, 1320, 1785, 735, 270, L"输入温度值", L"温度"},
    {kLabel1 + 6, L"STATIC", L"热电势", kLabel, 2760, 1800, 615, 255, nullptr, nullptr},
    {kText3, L"EDIT", L"0", kBox, 3600, 1785, 855, 270, L"输入热电势值", L"热电势"},
    {kLabel1 + 3, L"STATIC", L"分度号", kLabel, 2760, 1080, 615, 255, nullptr, nullptr},
    {kCombo1, L"COMBOBOX", L"",
     CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 3600, 1080, 855, 300,
     L"选择测温元件分度号", L"分度号"},
    {kOption1, L"BUTTON", L"改变参考温度时计算温度", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP,
     1080, 1800, 255, 255, L"改变参考温度时计算温度", nullptr},
    {kOption2, L"BUTTON", L"改变参考温度时计算热电势", BS_AUTORADIOBUTTON, 3360, 1800, 255, 255,
     L"改变参考温度时计算热电势", nullptr},
    {kLabel1, L"STATIC", L"Kelvora", SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX | WS_GROUP, 1080, 240,
     3015, 375, nullptr, nullptr},
    {kLabel1 + 2, L"STATIC", L"℃", kLabel, 2160, 1080, 255, 255, nullptr, nullptr},
    {kLabel1 + 5, L"STATIC", L"℃", kLabel, 2160, 1800, 255, 255, nullptr, nullptr},
    {kLabel1 + 7, L"STATIC", L"mV", kLabel, 4560, 1800, 255, 255, nullptr, nullptr},
    {kLabel1 + 8, L"STATIC", L"", kLabel, 480, 2400, 4335, 255, nullptr, nullptr},
    {kLabel1 + 9, L"STATIC", L"", kLabel, 480, 2640, 4335, 255, nullptr, nullptr},
    {kLabel1 + 10, L"STATIC", L"热电偶按ITS-90参考函数，热电阻按IEC 60751", kLabel, 480, 3120, 4335,
     255, nullptr, nullptr},
};

const Design& design(int id) {
    for (const Design& d : kDesign) {
        if (d.id == id) return d;
    }
    return kDesign[0];
}

int idOf(Control c) {
    switch (c) {
        case Control::Label7:
            return kLabel1 + 6;
        case Control::Label8:
            return kLabel1 + 7;
        case Control::Label9:
            return kLabel1 + 8;
        case Control::Label10:
            return kLabel1 + 9;
        case Control::Text1:
            return kText1;
        case Control::Text2:
            return kText2;
        case Control::Text3:
            return kText3;
        case Control::Combo1:
            return kCombo1;
        case Control::Option1:
            return kOption1;
        case Control::Option2:
            return kOption2;
    }
    return 0;
}

int boxIndex(Control c) {
    return c == Control::Text1 ? 0 : c == Control::Text2 ? 1 : c == Control::Text3 ? 2 : -1;
}

bool isLabel(Control c) {
    return c == Control::Label7 || c == Control::Label8 || c == Control::Label9 ||
           c == Control::Label10;
}

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    std::string utf8(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size,
                                                                  nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    return utf8;
}

std::wstring windowText(HWND w) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring listItem(HWND combo, int index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<std::size_t>(length));
    return item;
}

// The DPI functions of Windows 10; older systems scale the whole desktop alike.
UINT dpiOf(HWND w) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) return getDpiForWindow(w);
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return static_cast<UINT>(dpi);
}

void adjustWindowRect(RECT& r, DWORD style, DWORD exStyle, UINT dpi) {
    using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32"), "AdjustWindowRectExForDpi")));
    if (adjustForDpi != nullptr) {
        adjustForDpi(&r, style, FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    }
}

int CALLBACK faceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

int CALLBACK firstChineseFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM face) {
    if (font->lfFaceName[0] == L'@') return 1;  // the vertical-writing variants
    *reinterpret_cast<std::wstring*>(face) = font->lfFaceName;
    return 0;
}

bool hasFace(HDC dc, const wchar_t* name) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, name, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, faceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// The first of `names` that is installed; `otherwise` when none is.
std::wstring firstFace(std::initializer_list<const wchar_t*> names, std::wstring otherwise) {
    HDC dc = GetDC(nullptr);
    std::wstring chosen = std::move(otherwise);
    for (const wchar_t* name : names) {
        if (hasFace(dc, name)) {
            chosen = name;
            break;
        }
    }
    ReleaseDC(nullptr, dc);
    return chosen;
}

// The window's face: the Chinese UI faces of Windows, the common free CJK faces (which is what
// Wine offers from the host's fonts), then any face that has simplified Chinese.
const std::wstring& chineseFace() {
    static const std::wstring face = [] {
        std::wstring chosen = firstFace({L"Microsoft YaHei UI", L"Microsoft YaHei", L"SimSun",
                                         L"Noto Sans CJK SC", L"WenQuanYi Micro Hei"},
                                        L"");
        if (!chosen.empty()) return chosen;
        HDC dc = GetDC(nullptr);
        LOGFONTW query{};
        query.lfCharSet = GB2312_CHARSET;
        EnumFontFamiliesExW(dc, &query, firstChineseFace, reinterpret_cast<LPARAM>(&chosen), 0);
        ReleaseDC(nullptr, dc);
        return chosen;
    }();
    return face;
}

// Label1's Song face: 宋体 (SimSun) where Windows has it, else a free Song face; named 宋体 even
// when no such face is installed, so that the font mapper picks a Chinese face.
const std::wstring& titleFace() {
    static const std::wstring face =
        firstFace({L"宋体", L"SimSun", L"Noto Serif CJK SC", L"AR PL UMing CN"}, L"宋体");
    return face;
}

// Gives `w` the font unless it has it already: a control lays itself out anew on every
// WM_SETFONT, which the list would otherwise do for each item added.
void setFont(HWND w, HFONT font, BOOL redraw) {
    if (reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)) != font)
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

HFONT createFont(const wchar_t* face, int heightPx, BYTE charSet) {
    LOGFONTW font{};
    font.lfHeight = -heightPx;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = charSet;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

// The boxes' own behaviour. Ctrl+A selects the whole box: the edit control of older systems
// knows no such key, and its control character would only beep. The border is one pixel wide
// (a sunken edge takes two on each side), so that the Chinese faces' tall lines fit into the
// designed height of 18 pixels at 96 dpi.
LRESULT CALLBACK boxProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == 'A' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) {
                SendMessageW(w, EM_SETSEL, 0, -1);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == 0x01) return 0;
            break;
        case WM_NCCALCSIZE: {
            RECT* client = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                                  : reinterpret_cast<RECT*>(lParam);
            InflateRect(client, -1, -1);
            return 0;
        }
        case WM_NCPAINT: {
            HDC dc = GetWindowDC(w);
            RECT frame{};
            GetWindowRect(w, &frame);
            OffsetRect(&frame, -frame.left, -frame.top);
            FrameRect(dc, &frame,
                      GetSysColorBrush(GetFocus() == w ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
            ReleaseDC(w, dc);
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            const LRESULT result = DefSubclassProc(w, message, wParam, lParam);
            RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            return result;
        }
        default:
            break;
    }
    return DefSubclassProc(w, message, wParam, lParam);
}

}  // namespace

Form1::Form1(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    if (!GetClassInfoExW(instance, kClassName, &windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClassName;
        // The program's icon, where the executable has one (resource 1).
        windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                          0, 0, LR_DEFAULTSIZE | LR_SHARED));
        windowClass.hIconSm = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                       GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        RegisterClassExW(&windowClass);
    }
    // Fixed size: no sizing border, no maximize box. Made at its size for the system's scale,
    // which applyDpi changes only where the window's monitor has another.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    HDC screen = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT frame{0, 0, MulDiv(kClientWidth, systemDpi, 1440), MulDiv(kClientHeight, systemDpi, 1440)};
    adjustWindowRect(frame, style, 0, static_cast<UINT>(systemDpi));
    CreateWindowExW(0, kClassName, L"Kelvora", style, CW_USEDEFAULT, CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                    this);
    dpi_ = dpiOf(hwnd_);
    createControls(instance);
    applyDpi();
}

Form1::~Form1() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    for (const auto& [size, font] : fonts_) DeleteObject(font);
    if (titleFont_ != nullptr) DeleteObject(titleFont_);
    if (measuringDC_ != nullptr) DeleteDC(measuringDC_);
    if (accessibility_ != nullptr) static_cast<IAccPropServices*>(accessibility_)->Release();
    if (comInitialized_) {
        using UninitializeFn = void(WINAPI*)();
        reinterpret_cast<UninitializeFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"ole32"), "CoUninitialize")))();
    }
}

// Each control where it belongs at the window's scale, so that placing them (applyDpi) moves
// none at start-up.
void Form1::createControls(HINSTANCE instance) {
    const auto px = [this](int twips) { return MulDiv(twips, static_cast<int>(dpi_), 1440); };
    for (const Design& d : kDesign) {
        const DWORD exStyle = d.id >= kText1 && d.id <= kText3 ? WS_EX_CLIENTEDGE : 0;
        HWND w =
            CreateWindowExW(exStyle, d.className, d.text, WS_CHILD | WS_VISIBLE | d.style,
                            px(d.left), px(d.top), px(d.width), px(d.height), hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(d.id)), instance, nullptr);
        controls_[d.id] = w;
        if (d.accessibleName != nullptr) setAccessibleName(w, d.accessibleName);
        if (d.toolTip != nullptr) toolTips_[d.id] = d.toolTip;
    }
    for (int id : {kText1, kText2, kText3}) {
        SetWindowSubclass(controls_[id], boxProc, 0, 0);
        SetWindowPos(controls_[id], nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        shown_[static_cast<std::size_t>(id - kText1)] = windowText(controls_[id]);
    }
    SendMessageW(controls_[kText1], EM_LIMITTEXT, 5, 0);
    SendMessageW(controls_[kText2], EM_LIMITTEXT, 6, 0);
    SendMessageW(controls_[kCombo1], CB_SETMINVISIBLE, 12, 0);
    SendMessageW(controls_[kOption2], BM_SETCHECK, BST_CHECKED, 0);
}

// A tool-tip for each control that has one, both over the control itself and over its place in
// the window: a disabled control gets no mouse messages, its parent gets them. Made once the
// window is first painted, with the texts as they are by then.
void Form1::createToolTips() {
    const auto px = [this](int twips) { return MulDiv(twips, static_cast<int>(dpi_), 1440); };
    tooltip_ = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE)), nullptr);
    for (auto& [id, text] : toolTips_) {
        const Design& d = design(id);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = hwnd_;
        tool.lpszText = text.data();
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.uId = reinterpret_cast<UINT_PTR>(controls_[id]);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        tool.uFlags = TTF_SUBCLASS;
        tool.uId = static_cast<UINT_PTR>(id);
        SetRect(&tool.rect, px(d.left), px(d.top), px(d.left + d.width), px(d.top + d.height));
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont(kFontHalfPoints)), TRUE);
}

// The services that carry the controls' accessible names (oleacc), with the names given so far.
// Screen readers without them name the controls by their captions and the labels before them.
// COM (ole32) is loaded here rather than imported, so that the program does not load it and the
// libraries it needs before the window is shown.
void Form1::enableAccessibility() {
    HMODULE ole32 = LoadLibraryW(L"ole32.dll");
    if (ole32 == nullptr) return;
    using InitializeFn = HRESULT(WINAPI*)(LPVOID, DWORD);
    using CreateFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    const auto initialize = reinterpret_cast<InitializeFn>(
        reinterpret_cast<void*>(GetProcAddress(ole32, "CoInitializeEx")));
    const auto create = reinterpret_cast<CreateFn>(
        reinterpret_cast<void*>(GetProcAddress(ole32, "CoCreateInstance")));
    if (initialize == nullptr || create == nullptr) return;
    comInitialized_ = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    IAccPropServices* services = nullptr;
    if (SUCCEEDED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                         reinterpret_cast<void**>(&services))))
        accessibility_ = services;
    for (const auto& [w, name] : accessibleNames_) setAccessibleName(w, name);
}

HFONT Form1::windowFont(int halfPoints) {
    HFONT& font = fonts_[halfPoints];
    if (font == nullptr)
        font = createFont(chineseFace().c_str(), MulDiv(halfPoints, static_cast<int>(dpi_), 144),
                          DEFAULT_CHARSET);
    return font;
}

// A memory DC that texts are measured on: the same extents as on the controls' own DCs, without
// asking the window system for a window's visible region each time.
HDC Form1::measuringDC() {
    if (measuringDC_ == nullptr) measuringDC_ = CreateCompatibleDC(nullptr);
    return measuringDC_;
}

// Gives `w` the largest of the window's font sizes at which its text (a list: every item) is
// at most `width` pixels wide.
void Form1::fitFont(HWND w, int width) {
    std::vector<std::wstring> texts;
    const int items = static_cast<int>(SendMessageW(w, CB_GETCOUNT, 0, 0));
    if (w == controls_[kCombo1]) {
        for (int i = 0; i < items; ++i) texts.push_back(listItem(w, i));
    } else {
        texts.push_back(windowText(w));
    }
    HDC dc = measuringDC();
    HFONT font = nullptr;
    for (int size = kFontHalfPoints; size >= kSmallestHalfPoints; --size) {
        font = windowFont(size);
        const HGDIOBJ before = SelectObject(dc, font);
        bool fits = true;
        for (const std::wstring& text : texts) {
            SIZE extent{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            fits = fits && extent.cx <= width;
        }
        SelectObject(dc, before);
        if (fits) break;
    }
    setFont(w, font, IsWindowVisible(hwnd_));
}

// Places the controls and sizes the fonts for the window's DPI: at start-up and whenever the
// window moves to a monitor with another scale.
void Form1::applyDpi() {
    const auto px = [this](int twips) { return MulDiv(twips, static_cast<int>(dpi_), 1440); };
    std::map<int, HFONT> old;
    old.swap(fonts_);
    HFONT oldTitle = titleFont_;

    // Label1 in the Song face Chinese forms are set in, 15.75 pt.
    titleFont_ =
        createFont(titleFace().c_str(), MulDiv(1575, static_cast<int>(dpi_), 7200), GB2312_CHARSET);
    // A hidden window is painted whole when it is shown: its controls need not repaint now.
    const BOOL redraw = IsWindowVisible(hwnd_);
    for (const Design& d : kDesign) {
        HWND w = controls_[d.id];
        RECT now{};
        GetWindowRect(w, &now);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&now), 2);
        if (now.left != px(d.left) || now.top != px(d.top) || now.right - now.left != px(d.width) ||
            now.bottom - now.top != px(d.height))
            MoveWindow(w, px(d.left), px(d.top), px(d.width), px(d.height), TRUE);
        if (d.id == kLabel1) {
            SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), redraw);
        } else if (d.id > kLabel1 && d.id <= kLabel1 + 10) {
            fitFont(w, px(d.width));
        } else if (d.id != kCombo1) {
            SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont(kFontHalfPoints)),
                         redraw);
        }
        // The tool over the control's place in the window moves with it.
        if (tooltip_ != nullptr) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.hwnd = hwnd_;
            tool.uId = static_cast<UINT_PTR>(d.id);
            SetRect(&tool.rect, px(d.left), px(d.top), px(d.left + d.width), px(d.top + d.height));
            SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    if (tooltip_ != nullptr)
        SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont(kFontHalfPoints)),
                     TRUE);
    fitComboBoxWhenShown();

    RECT frame{0, 0, px(kClientWidth), px(kClientHeight)};
    adjustWindowRect(frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
    RECT now{};
    GetWindowRect(hwnd_, &now);
    if (now.right - now.left != frame.right - frame.left ||
        now.bottom - now.top != frame.bottom - frame.top)
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the frame turns out other than computed (its caption drawn at another scale than
    // the window's), the client area still gets its size.
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int dx = px(kClientWidth) - client.right, dy = px(kClientHeight) - client.bottom;
    if (dx != 0 || dy != 0) {
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + dx,
                     frame.bottom - frame.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    for (const auto& [size, font] : old) DeleteObject(font);
    if (oldTitle != nullptr) DeleteObject(oldTitle);
}

// The list is fitted once it is shown: while the window is hidden (Form_Load filling it), once
// for all its items before the window first appears.
void Form1::fitComboBoxWhenShown() {
    if (IsWindowVisible(hwnd_)) {
        fitComboBox();
    } else {
        comboFitPending_ = true;
    }
}

// The closed list is as high as designed, its font fits the longest item, and the open list
// shows all twelve sensors.
void Form1::fitComboBox() {
    comboFitPending_ = false;
    HWND combo = controls_[kCombo1];
    const Design& d = design(kCombo1);
    const auto px = [this](int twips) { return MulDiv(twips, static_cast<int>(dpi_), 1440); };
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    // The style draws the current item 1 px in from either side of its field.
    fitFont(combo, info.rcItem.right - info.rcItem.left - 2);
    // The open list is wider than the closed field and shows the items in the window's font.
    HFONT font = windowFont(kFontHalfPoints);
    setFont(info.hwndList, font, FALSE);
    HDC dc = measuringDC();
    const HGDIOBJ before = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, before);
    int item = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    if (item != metrics.tmHeight) {
        SendMessageW(combo, CB_SETITEMHEIGHT, 0, metrics.tmHeight);
        item = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    }
    // The combo box's height is that of the open list. Set only when it changes: each move of
    // a control costs a round trip to the window system.
    const SIZE open{px(d.width), px(d.height) + 12 * item + 2};
    if (open.cx != comboOpenSize_.cx || open.cy != comboOpenSize_.cy) {
        SetWindowPos(combo, nullptr, 0, 0, open.cx, open.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        comboOpenSize_ = open;
    }
    // Last, as each of the above may size the closed field anew: the closed list as high as
    // designed.
    RECT closed{};
    GetWindowRect(combo, &closed);
    const int field =
        static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    const int excess = (closed.bottom - closed.top) - px(d.height);
    if (excess != 0 && field - excess > 0)
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field - excess);
}

void Form1::setAccessibleName(HWND w, const std::wstring& name) {
    accessibleNames_[w] = name;
    if (accessibility_ == nullptr) return;
    static_cast<IAccPropServices*>(accessibility_)
        ->SetHwndPropStr(w, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                         name.c_str());
}

LRESULT CALLBACK Form1::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

LRESULT Form1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id >= kText1 && id <= kText3 && code == EN_CHANGE) boxChanged(id - kText1);
            if (id == kCombo1 && (code == CBN_SELCHANGE || code == CBN_SELENDOK ||
                                  code == CBN_SELENDCANCEL || code == CBN_CLOSEUP))
                listChanged();
            return 0;
        }
        case WM_NOTIFY: {
            // The options have no visible caption, so the focus is shown around the button.
            auto* draw = reinterpret_cast<NMCUSTOMDRAW*>(lParam);
            if (draw->hdr.code != NM_CUSTOMDRAW ||
                (draw->hdr.idFrom != kOption1 && draw->hdr.idFrom != kOption2))
                return 0;
            if (draw->dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
            const bool cuesHidden =
                SendMessageW(draw->hdr.hwndFrom, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS;
            if (draw->dwDrawStage == CDDS_POSTPAINT && GetFocus() == draw->hdr.hwndFrom &&
                !cuesHidden)
                DrawFocusRect(draw->hdc, &draw->rc);
            return CDRF_DODEFAULT;
        }
        case WM_ACTIVATE:
            // The focus leaves with the window and comes back to the same control.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
            } else {
                HWND focus = focus_ != nullptr && IsWindowEnabled(focus_)
                                 ? focus_
                                 : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
                if (focus != nullptr) SetFocus(focus);
            }
            return 0;
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            applyDpi();
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_CLOSE:
            // Closing the window ends the program.
            DestroyWindow(hwnd_);
            PostQuitMessage(0);
            return 0;
        case WM_DESTROY:
            if (accessibility_ != nullptr) {
                for (const auto& [id, w] : controls_) {
                    static_cast<IAccPropServices*>(accessibility_)
                        ->ClearHwndProps(w, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                         &PROPID_ACC_NAME, 1);
                }
            }
            return 0;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void Form1::show(int showCommand) {
    if (comboFitPending_) fitComboBox();
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    // What the first paint does not need.
    if (tooltip_ == nullptr) {
        createToolTips();
        enableAccessibility();
    }
    SetForegroundWindow(hwnd_);
    HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (first != nullptr) SetFocus(first);
}

bool Form1::dialogMessage(MSG& msg) {
    return hwnd_ != nullptr && IsDialogMessageW(hwnd_, &msg);
}

int Form1::run() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!dialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

HWND Form1::control(Control c) const {
    const auto found = controls_.find(idOf(c));
    return found != controls_.end() ? found->second : nullptr;
}

void Form1::deliver(void (WindowEvents::*event)()) {
    if (events_ != nullptr) (events_->*event)();
}

// A box's change goes out only when its text differs from what it showed at the last one:
// the edit control reports a change for every write and every replacement, even one that
// leaves the text as it was.
void Form1::boxChanged(int box) {
    static constexpr void (WindowEvents::*kEvents[])() = {
        &WindowEvents::Text1_Change, &WindowEvents::Text2_Change, &WindowEvents::Text3_Change};
    std::wstring text = windowText(controls_[kText1 + box]);
    std::wstring& shown = shown_[static_cast<std::size_t>(box)];
    if (text == shown) return;
    shown = std::move(text);
    deliver(kEvents[box]);
}

// The user's choice reaches the controller once the list has closed (or at once, with the
// keys of the closed list): the item under the mouse or the keys in the open list is not yet
// chosen. The list reports a choice in one order on one system and in another elsewhere, so
// whichever report comes first after the position changed delivers it.
void Form1::listChanged() {
    HWND combo = controls_[kCombo1];
    if (SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) return;
    const int index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    if (index == listIndex_) return;
    listIndex_ = index;
    if (index >= 0) deliver(&WindowEvents::Combo1_Click);
}

void Form1::setEvents(WindowEvents* events) {
    events_ = events;
}

std::string Form1::text(Control c) const {
    HWND w = control(c);
    if (w == nullptr) return {};
    if (c == Control::Combo1)
        return narrow(listItem(w, static_cast<int>(SendMessageW(w, CB_GETCURSEL, 0, 0))));
    return narrow(windowText(w));
}

void Form1::setText(Control c, std::string_view text) {
    const int box = boxIndex(c);
    if (box < 0) return;
    HWND w = controls_[kText1 + box];
    const std::wstring wide = widen(text);
    if (wide == windowText(w)) return;
    // The edit control raises EN_CHANGE inside the write, and boxChanged delivers the event
    // from there; where a system would not, it is delivered here, still inside the write. A
    // text longer than the box's limit is shown whole: the limit holds for typing only.
    SetWindowTextW(w, wide.c_str());
    // The box the user is typing in keeps the caret at the end; any other shows its text from
    // the first character, where the write leaves the caret.
    if (GetFocus() == w) {
        const auto end = static_cast<WPARAM>(wide.size());
        SendMessageW(w, EM_SETSEL, end, static_cast<LPARAM>(end));
    }
    boxChanged(box);
}

void Form1::setCaption(Control c, std::string_view caption) {
    if (!isLabel(c)) return;
    HWND w = control(c);
    const std::wstring wide = widen(caption);
    if (wide == windowText(w)) return;  // neither its text nor its font changes
    SetWindowTextW(w, wide.c_str());
    RECT r{};
    GetClientRect(w, &r);
    fitFont(w, r.right);
    // Text3 is announced by what it holds, which Label7 names.
    if (c == Control::Label7) setAccessibleName(controls_[kText3], wide);
}

void Form1::setToolTip(Control c, std::string_view toolTip) {
    // Kept for the tool-tips made when the window is shown.
    const auto known = toolTips_.find(idOf(c));
    if (known == toolTips_.end()) return;
    std::wstring& wide = known->second;
    wide = widen(toolTip);
    if (tooltip_ == nullptr) return;
    HWND w = control(c);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = hwnd_;
    tool.lpszText = wide.data();
    tool.uId = reinterpret_cast<UINT_PTR>(w);
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.uId = static_cast<UINT_PTR>(idOf(c));
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Form1::setEnabled(Control c, bool enabled) {
    if (HWND w = control(c)) EnableWindow(w, enabled ? TRUE : FALSE);
}

bool Form1::selected(Control c) const {
    if (c != Control::Option1 && c != Control::Option2) return false;
    return SendMessageW(control(c), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form1::addListItem(std::string_view item) {
    // Adding an item selects nothing and raises nothing.
    HWND combo = controls_[kCombo1];
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
    fitComboBoxWhenShown();
}

int Form1::listIndex() const {
    return static_cast<int>(SendMessageW(control(Control::Combo1), CB_GETCURSEL, 0, 0));
}

void Form1::setListIndex(int index) {
    HWND combo = controls_[kCombo1];
    if (index < -1 || index >= static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0))) return;
    // CB_SETCURSEL raises no CBN_SELCHANGE; setting the position raises Combo1_Click, even
    // when it does not move.
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    listIndex_ = index;
    if (index >= 0) deliver(&WindowEvents::Combo1_Click);
}

}  // namespace kelvora::ui::win32
