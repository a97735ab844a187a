// What a window does with the messages its own procedure leaves alone.
#include <algorithm>
#include <cstring>

#include "win/core/window.h"

using namespace win;

namespace {

HBRUSH class_brush(const Window& w) {
    HBRUSH b = w.window_class->info.hbrBackground;
    auto v = reinterpret_cast<std::uintptr_t>(b);
    // (HBRUSH)(COLOR_x + 1) names a system colour.
    if (v > 0 && v <= 31) return GetSysColorBrush(int(v) - 1);
    return b;
}

void paint_nonclient(HWND hwnd) {
    Window* w = find_window(hwnd);
    if (!w) return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    RECT r{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    if (w->parent) {
        if (w->ex_style & WS_EX_DLGMODALFRAME) DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        if (w->style & WS_BORDER) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(&r, -1, -1);
        }
        if (w->ex_style & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        if (w->ex_style & WS_EX_STATICEDGE) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    } else if (w->menu && w->insets.top > 0 && menu_bar_hooks().paint_bar) {
        RECT bar{0, 0, r.right, w->insets.top};
        menu_bar_hooks().paint_bar(hwnd, w->menu, dc, bar);
    }
    ReleaseDC(hwnd, dc);
}

LRESULT system_command(HWND hwnd, WPARAM wp, LPARAM lp) {
    switch (wp & 0xfff0) {
        case SC_CLOSE:
            send(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            return 0;
        case SC_KEYMENU:
            // lParam carries the letter typed with Alt; 0 means Alt alone.
            if (menu_bar_hooks().menu_key)
                menu_bar_hooks().menu_key(top_level_of(hwnd), WM_SYSCHAR, WPARAM(lp));
            return 0;
    }
    return 0;
}

}  // namespace

extern "C" {

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return proc ? proc(hwnd, msg, wp, lp) : 0;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = find_window(hwnd);
    if (!w) return 0;
    switch (msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lp);
            w->text = text ? text : "";
            if (!w->parent) backend().title_changed(hwnd, w->text);
            return TRUE;
        }
        case WM_GETTEXT: {
            char* out = reinterpret_cast<char*>(lp);
            if (!out || wp == 0) return 0;
            size_t n = std::min(w->text.size(), size_t(wp) - 1);
            std::memcpy(out, w->text.data(), n);
            out[n] = 0;
            return LRESULT(n);
        }
        case WM_GETTEXTLENGTH:
            return LRESULT(w->text.size());
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: {
            HBRUSH b = class_brush(*w);
            if (!b) return 0;
            RECT rc;
            GetClientRect(hwnd, &rc);
            FillRect(reinterpret_cast<HDC>(wp), &rc, b);
            return 1;
        }
        case WM_NCPAINT:
            paint_nonclient(hwnd);
            return 0;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSCOMMAND:
            return system_command(hwnd, wp, lp);
        case WM_SYSKEYDOWN:
            if (wp == VK_F4 && (lp & (LPARAM(1) << 29))) {
                // Alt was not pressed alone: its release must not open the menu bar.
                if (menu_bar_hooks().menu_key)
                    menu_bar_hooks().menu_key(top_level_of(hwnd), msg, wp);
                PostMessageA(top_level_of(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
                return 0;
            }
            [[fallthrough]];
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            if (menu_bar_hooks().menu_key) menu_bar_hooks().menu_key(top_level_of(hwnd), msg, wp);
            return 0;
        case WM_SETICON: {
            HICON old = wp == ICON_BIG ? w->icon_big : w->icon_small;
            (wp == ICON_BIG ? w->icon_big : w->icon_small) = reinterpret_cast<HICON>(lp);
            if (!w->parent) backend().icon_changed(hwnd, w->icon_big ? w->icon_big : w->icon_small);
            return LRESULT(old);
        }
        case WM_GETICON:
            return LRESULT(wp == ICON_BIG ? w->icon_big : w->icon_small);
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_BTNFACE));
            SetTextColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_BTNTEXT));
            return LRESULT(GetSysColorBrush(COLOR_BTNFACE));
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
            SetTextColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOWTEXT));
            return LRESULT(GetSysColorBrush(COLOR_WINDOW));
    }
    return 0;
}

}  // extern "C"
