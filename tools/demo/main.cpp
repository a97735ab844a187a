// The window layer's demo program, shown until the real program exists.
#include <cstdio>

#include "demo_window.h"
#include "win/x11/x11.h"

int main() {
    win::x11::InstallResult display = win::x11::install();
    if (!display.ok()) {
        std::fprintf(stderr, "korvane: %s\n", display.error.c_str());
        return 1;
    }
    HWND hwnd = demo::create_demo_window(nullptr);
    if (!hwnd) {
        std::fprintf(stderr, "korvane: cannot create the main window\n");
        return 1;
    }
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return int(msg.wParam);
}
