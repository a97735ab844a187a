// A window with a menu bar on a real X display, for the tests that drive it
// with xdotool. It reports what its window receives on standard output.
#include <cstdio>

#include "win/menus/menus.h"
#include "win/x11/x11.h"
#include "winuser.h"

namespace {

void report(const char* format, unsigned value) {
    std::printf(format, value);
    std::printf("\n");
    std::fflush(stdout);
}

LRESULT CALLBACK demo_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            std::printf("WM_PAINT\n");
            std::fflush(stdout);
            return 0;
        }
        case WM_INITMENUPOPUP:
            report("WM_INITMENUPOPUP %u", unsigned(GetMenuItemID(HMENU(wp), 0)));
            break;
        case WM_COMMAND:
            report("WM_COMMAND %u", LOWORD(wp));
            return 0;
        case WM_SYSCOMMAND:
            report("WM_SYSCOMMAND %u", unsigned(wp));
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int main() {
    win::x11::InstallResult display = win::x11::install();
    if (!display.ok()) {
        std::fprintf(stderr, "menu demo: %s\n", display.error.c_str());
        return 1;
    }
    win::menus::install();
    WNDCLASSA wc{};
    wc.lpfnWndProc = demo_proc;
    wc.lpszClassName = "MenuDemo";
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    RegisterClassA(&wc);
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Open");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, 102, "E&xit");
    HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, 201, "&About");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, UINT_PTR(file), "&File");
    AppendMenuA(bar, MF_POPUP, UINT_PTR(help), "&Help");
    HWND hwnd =
        CreateWindowExA(0, "MenuDemo", "Menu demo", WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX, 40,
                        40, 320, 200, nullptr, bar, nullptr, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return int(msg.wParam);
}
