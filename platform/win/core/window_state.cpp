// Show, enable, text and the window's stored values.
#include <algorithm>
#include <cstring>

#include "win/core/window.h"

using namespace win;

namespace {

void hide_focus_inside(HWND hwnd) {
    WindowSystem& s = system_state();
    if (s.focus && (s.focus == hwnd || IsChild(hwnd, s.focus))) {
        HWND parent = GetParent(hwnd);
        Window* w = find_window(hwnd);
        SetFocus(w && w->parent ? parent : nullptr);
    }
}

}  // namespace

extern "C" {

BOOL ShowWindow(HWND hwnd, int cmd) {
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    bool was_visible = (w->style & WS_VISIBLE) != 0;
    bool show = cmd != SW_HIDE;
    bool minimize = cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE;
    bool restore = cmd == SW_RESTORE || cmd == SW_SHOWNORMAL;
    if (show != was_visible) {
        send(hwnd, WM_SHOWWINDOW, show, 0);
        if (!(w = find_window(hwnd))) return FALSE;
        if (show) {
            w->style |= WS_VISIBLE;
        } else {
            hide_focus_inside(hwnd);
            w->style &= ~WS_VISIBLE;
        }
        if (!w->parent) backend().window_shown(hwnd, show);
        if (show) {
            RedrawWindow(hwnd, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        } else if (w->parent) {
            RECT r = w->rect;
            InvalidateRect(w->parent, &r, TRUE);
        }
    }
    if ((w = find_window(hwnd)) && !w->parent) {
        if (minimize && !w->iconic) {
            w->iconic = true;
            w->style |= WS_MINIMIZE;
            backend().window_iconified(hwnd, true);
            send(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        } else if (restore && w->iconic) {
            w->iconic = false;
            w->style &= ~WS_MINIMIZE;
            backend().window_iconified(hwnd, false);
            RECT rc;
            GetClientRect(hwnd, &rc);
            send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
            RedrawWindow(hwnd, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        if (show && !minimize && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE)
            SetActiveWindow(hwnd);
    }
    return was_visible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    for (Window* p = w; p; p = find_window(p->parent))
        if (!(p->style & WS_VISIBLE)) return FALSE;
    return TRUE;
}

BOOL IsIconic(HWND hwnd) {
    Window* w = find_window(hwnd);
    return w && w->iconic ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
    Window* w = find_window(hwnd);
    return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    BOOL was_disabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (bool(enable) == !was_disabled) return was_disabled;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        hide_focus_inside(hwnd);
        if (system_state().capture == hwnd) ReleaseCapture();
    }
    send(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    return was_disabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = find_window(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!find_window(hwnd)) return FALSE;
    return send(hwnd, WM_SETTEXT, 0, LPARAM(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, LPSTR out, int max) {
    if (!find_window(hwnd) || !out || max <= 0) return 0;
    out[0] = 0;
    return int(send(hwnd, WM_GETTEXT, WPARAM(max), LPARAM(out)));
}

int GetWindowTextLengthA(HWND hwnd) {
    if (!find_window(hwnd)) return 0;
    return int(send(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
    Window* w = find_window(hwnd);
    if (!w) return 0;
    if (index >= 0) {
        size_t slot = size_t(index) / sizeof(LONG_PTR);
        return slot < w->extra.size() ? w->extra[slot] : 0;
    }
    switch (index) {
        case GWLP_WNDPROC:
            return LONG_PTR(w->proc);
        case GWLP_HINSTANCE:
            return LONG_PTR(w->instance);
        case GWLP_HWNDPARENT:
            return LONG_PTR(w->parent ? w->parent : w->owner);
        case GWL_STYLE:
            return LONG_PTR(LONG(w->style));
        case GWL_EXSTYLE:
            return LONG_PTR(LONG(w->ex_style));
        case GWLP_USERDATA:
            return w->user_data;
        case GWLP_ID:
            return w->id;
    }
    return 0;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    Window* w = find_window(hwnd);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtrA(hwnd, index);
    if (index >= 0) {
        size_t slot = size_t(index) / sizeof(LONG_PTR);
        if (slot >= w->extra.size()) return 0;
        w->extra[slot] = value;
        return old;
    }
    switch (index) {
        case GWLP_WNDPROC:
            w->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWLP_HINSTANCE:
            w->instance = reinterpret_cast<HINSTANCE>(value);
            break;
        case GWL_STYLE:
            w->style = DWORD(value);
            recalc_nonclient(*w);
            break;
        case GWL_EXSTYLE:
            w->ex_style = DWORD(value);
            recalc_nonclient(*w);
            break;
        case GWLP_USERDATA:
            w->user_data = value;
            break;
        case GWLP_ID:
            w->id = value;
            break;
        default:
            return 0;
    }
    return old;
}

LONG GetWindowLongA(HWND hwnd, int index) { return LONG(GetWindowLongPtrA(hwnd, index)); }
LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
    return LONG(SetWindowLongPtrA(hwnd, index, value));
}

HMENU GetMenu(HWND hwnd) {
    Window* w = find_window(hwnd);
    return w && !w->parent ? w->menu : nullptr;
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
    Window* w = find_window(hwnd);
    if (!w || w->parent) return FALSE;
    w->menu = menu;
    RECT rc;
    GetClientRect(hwnd, &rc);
    recalc_nonclient(*w);
    RECT now;
    GetClientRect(hwnd, &now);
    if (now.bottom != rc.bottom)
        send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(now.right, now.bottom));
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) {
    Window* w = find_window(hwnd);
    if (!w || w->parent) return FALSE;
    RECT before = w->insets;
    recalc_nonclient(*w);
    UINT flags = RDW_INVALIDATE | RDW_FRAME;
    if (before.top != w->insets.top) flags |= RDW_ERASE | RDW_ALLCHILDREN;
    return RedrawWindow(hwnd, nullptr, nullptr, flags);
}

BOOL MessageBeep(UINT) { return TRUE; }

}  // extern "C"
