#include "win/menus/popup_window.h"

#include "win/menus/menu_paint.h"
#include "win/menus/menu_state.h"
#include "win/menus/menu_tracker.h"

namespace win::menus {

namespace {

constexpr const char* kClassName = "#32768";  // the platform's class of popup menus
constexpr UINT kStartBarTracking = WM_USER + 1;

LRESULT CALLBACK popup_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            HMENU menu = reinterpret_cast<HMENU>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            if (dc && menu) paint_popup(hwnd, menu, GetParent(hwnd), dc);
            EndPaint(hwnd, &ps);
            popup_painted(hwnd);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case kStartBarTracking: {
            HWND owner = reinterpret_cast<HWND>(wp);
            HMENU bar = GetMenu(owner);
            if (!bar || tracking()) return 0;
            TrackRequest r;
            r.owner = owner;
            r.bar = bar;
            r.bar_item = int(lp);
            r.open_bar_item = true;
            r.by_mouse = true;
            (void)track(r);
            return 0;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

const char* popup_class() {
    WNDCLASSA existing;
    if (!GetClassInfoA(nullptr, kClassName, &existing)) {
        WNDCLASSA wc{};
        wc.style = CS_SAVEBITS;
        wc.lpfnWndProc = popup_proc;
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);
    }
    return kClassName;
}

HWND engine_window() {
    MenuState& s = menu_state();
    if (!IsWindow(s.engine_window))
        s.engine_window = CreateWindowExA(WS_EX_TOOLWINDOW, popup_class(), "", WS_POPUP, 0, 0, 0, 0,
                                          nullptr, nullptr, nullptr, nullptr);
    return s.engine_window;
}

}  // namespace

HWND create_popup_window(HWND owner, HMENU menu, const RECT& r) {
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, popup_class(), "", WS_POPUP,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, owner, nullptr,
                                nullptr, nullptr);
    if (hwnd) SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(menu));
    return hwnd;
}

void post_bar_tracking(HWND owner, int bar_item) {
    if (HWND engine = engine_window())
        PostMessageA(engine, kStartBarTracking, WPARAM(owner), LPARAM(bar_item));
}

}  // namespace win::menus
