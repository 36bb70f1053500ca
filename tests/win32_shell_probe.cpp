// What the installer test asks of Windows itself, run under Wine:
//   win32_shell_probe shortcut-target LINK   prints the path a shell link points to
//   win32_shell_probe close-window TITLE     asks the top-level window TITLE to close
// Exits 0 on success, 1 with a message otherwise.
#include <windows.h>
// after windows.h
#include <objidl.h>
#include <shlobj.h>

#include <cstdio>
#include <cwchar>

namespace {

int fail(const wchar_t* what) {
    std::fwprintf(stderr, L"win32_shell_probe: %ls\n", what);
    return 1;
}

int shortcutTarget(const wchar_t* link) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return fail(L"no COM");
    int rc = 1;
    IShellLinkW* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(
                shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(link, STGM_READ)) &&
                SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0)) && path[0] != 0) {
                std::wprintf(L"%ls\n", path);
                rc = 0;
            } else {
                rc = fail(L"cannot read the shortcut");
            }
            file->Release();
        }
        shellLink->Release();
    } else {
        rc = fail(L"no shell link object");
    }
    CoUninitialize();
    return rc;
}

int closeWindow(const wchar_t* title) {
    HWND window = FindWindowW(nullptr, title);
    if (window == nullptr) return fail(L"no such window");
    return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : fail(L"cannot post WM_CLOSE");
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc == 3 && std::wcscmp(argv[1], L"shortcut-target") == 0) return shortcutTarget(argv[2]);
    if (argc == 3 && std::wcscmp(argv[1], L"close-window") == 0) return closeWindow(argv[2]);
    return fail(L"usage: shortcut-target LINK | close-window TITLE");
}
