// Focus, activation, capture and key state, and the routing of input.
#include "win/core/input.h"

#include <cstdlib>

#include "win/core/window.h"

using namespace win;

namespace {

void post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { PostMessageA(hwnd, msg, wp, lp); }

WPARAM mouse_key_state() {
    auto& k = system_state().key_down;
    WPARAM s = 0;
    if (k[VK_LBUTTON]) s |= MK_LBUTTON;
    if (k[VK_RBUTTON]) s |= MK_RBUTTON;
    if (k[VK_MBUTTON]) s |= MK_MBUTTON;
    if (k[VK_SHIFT]) s |= MK_SHIFT;
    if (k[VK_CONTROL]) s |= MK_CONTROL;
    return s;
}

// Deepest visible child under a point given in w's client coordinates.
HWND child_at(HWND hwnd, POINT pt) {
    Window* w = find_window(hwnd);
    if (!w) return nullptr;
    for (HWND c : w->children) {
        Window* cw = find_window(c);
        if (!cw || !(cw->style & WS_VISIBLE) || !PtInRect(&cw->rect, pt)) continue;
        if (cw->ex_style & WS_EX_TRANSPARENT) continue;
        POINT inner{pt.x - cw->rect.left - cw->insets.left, pt.y - cw->rect.top - cw->insets.top};
        RECT rc;
        GetClientRect(c, &rc);
        if (!PtInRect(&rc, inner)) return c;
        return child_at(c, inner);
    }
    return hwnd;
}

POINT surface_to_client(HWND hwnd, POINT surface_pt) {
    Window* w = find_window(hwnd);
    POINT o = client_origin_on_surface(*w);
    return POINT{surface_pt.x - o.x, surface_pt.y - o.y};
}

UINT button_message(input::Button b, bool down) {
    switch (b) {
        case input::Button::Left:
            return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        case input::Button::Right:
            return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        case input::Button::Middle:
            return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    }
    return 0;
}

}  // namespace

namespace win::input {

void mouse_move(HWND top, POINT pt) {
    Window* t = find_window(top);
    if (!t) return;
    WindowSystem& s = system_state();
    s.cursor = POINT{pt.x + t->rect.left, pt.y + t->rect.top};
    HWND target = s.capture;
    if (!target) {
        target = child_at(top, surface_to_client(top, pt));
        Window* w = find_window(target);
        if (!w || !is_enabled_chain(*w)) return;
    }
    POINT c = surface_to_client(target, pt);
    post(target, WM_MOUSEMOVE, mouse_key_state(), MAKELPARAM(c.x, c.y));
}

void mouse_button(HWND top, POINT pt, Button button, bool down) {
    Window* t = find_window(top);
    if (!t) return;
    WindowSystem& s = system_state();
    UINT vk = button == Button::Left    ? VK_LBUTTON
              : button == Button::Right ? VK_RBUTTON
                                        : VK_MBUTTON;
    s.key_down[vk] = down;
    s.cursor = POINT{pt.x + t->rect.left, pt.y + t->rect.top};
    HWND target = s.capture;
    if (!target) {
        if (!is_enabled_chain(*t)) {
            MessageBeep(0);
            return;
        }
        if (pt.y < t->insets.top && t->menu) {
            if (down && button == Button::Left && menu_bar_hooks().bar_click)
                menu_bar_hooks().bar_click(top, t->menu, pt);
            return;
        }
        target = child_at(top, surface_to_client(top, pt));
        Window* w = find_window(target);
        if (!w || !is_enabled_chain(*w)) return;
        if (down && s.active != top) SetActiveWindow(top);
    }
    POINT c = surface_to_client(target, pt);
    UINT msg = button_message(button, down);
    if (button == Button::Left && down) {
        // A second press soon after, close by, on a window that asks for it.
        Window* w = find_window(target);
        std::int64_t now = current_clock().now_ms();
        bool wants = w && (w->window_class->info.style & CS_DBLCLKS);
        if (wants && s.last_click_window == target && now - s.last_click_time <= 500 &&
            std::abs(c.x - s.last_click_point.x) <= 4 &&
            std::abs(c.y - s.last_click_point.y) <= 4) {
            msg = WM_LBUTTONDBLCLK;
            s.last_click_window = nullptr;
        } else {
            s.last_click_window = target;
            s.last_click_time = now;
            s.last_click_point = c;
        }
    }
    post(target, msg, mouse_key_state(), MAKELPARAM(c.x, c.y));
}

void key(HWND top, UINT vk, bool down, char ch) {
    Window* t = find_window(top);
    if (!t || vk > 255) return;
    WindowSystem& s = system_state();
    s.key_down[vk] = down;
    if (!is_enabled_chain(*t)) return;
    HWND target = s.focus && top_level_of(s.focus) == top ? s.focus : top;
    bool alt = s.key_down[VK_MENU] != 0;
    bool sys = vk == VK_F10 || vk == VK_MENU || (alt && !s.key_down[VK_CONTROL]);
    UINT msg = sys ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    LPARAM lp = 1 | (LPARAM(BYTE(ch)) << 16) | (alt ? (LPARAM(1) << 29) : 0) |
                (down ? 0 : (LPARAM(3) << 30));
    post(target, msg, vk, lp);
}

void close_requested(HWND top) {
    if (!find_window(top)) return;
    post(top, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void activated(HWND top, bool active) {
    WindowSystem& s = system_state();
    if (active) {
        if (s.active != top) SetActiveWindow(top);
    } else if (s.active == top) {
        s.key_down = {};
    }
}

}  // namespace win::input

extern "C" {

BOOL TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
    char ch = char((msg->lParam >> 16) & 0xff);
    if (!ch) return FALSE;
    // The character comes next, before any input queued after its key.
    MSG m{msg->hwnd,
          UINT(msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR),
          WPARAM(BYTE(ch)),
          msg->lParam,
          DWORD(current_clock().now_ms()),
          system_state().cursor};
    system_state().posted.push_front(m);
    return TRUE;
}

HWND SetFocus(HWND hwnd) {
    WindowSystem& s = system_state();
    HWND old = s.focus;
    if (hwnd) {
        Window* w = find_window(hwnd);
        if (!w || w->destroying) return nullptr;
        if (old == hwnd) return old;
        HWND top = top_level_of(hwnd);
        if (s.active != top) SetActiveWindow(top);
    }
    if (old == hwnd) return old;
    s.focus = hwnd;
    if (old && find_window(old)) send(old, WM_KILLFOCUS, WPARAM(hwnd), 0);
    if (hwnd && s.focus == hwnd && find_window(hwnd)) send(hwnd, WM_SETFOCUS, WPARAM(old), 0);
    return old;
}

HWND GetFocus(void) { return system_state().focus; }

HWND GetActiveWindow(void) { return system_state().active; }

HWND SetActiveWindow(HWND hwnd) {
    WindowSystem& s = system_state();
    HWND old = s.active;
    hwnd = top_level_of(hwnd);
    if (!hwnd || old == hwnd) return old;
    s.active = hwnd;
    if (old && find_window(old)) send(old, WM_ACTIVATE, 0 /* WA_INACTIVE */, LPARAM(hwnd));
    if (find_window(hwnd)) send(hwnd, WM_ACTIVATE, 1 /* WA_ACTIVE */, LPARAM(old));
    return old;
}

BOOL SetForegroundWindow(HWND hwnd) { return SetActiveWindow(hwnd) || GetActiveWindow() == hwnd; }
HWND GetForegroundWindow(void) { return system_state().active; }

HWND SetCapture(HWND hwnd) {
    WindowSystem& s = system_state();
    HWND old = s.capture;
    if (!find_window(hwnd)) return old;
    s.capture = hwnd;
    if (old && old != hwnd) send(old, WM_CAPTURECHANGED, 0, LPARAM(hwnd));
    backend().capture_changed(hwnd);
    return old;
}

BOOL ReleaseCapture(void) {
    WindowSystem& s = system_state();
    HWND old = s.capture;
    s.capture = nullptr;
    if (old) {
        send(old, WM_CAPTURECHANGED, 0, 0);
        backend().capture_changed(nullptr);
    }
    return TRUE;
}

HWND GetCapture(void) { return system_state().capture; }

BOOL GetCursorPos(LPPOINT pt) {
    if (!pt) return FALSE;
    *pt = system_state().cursor;
    return TRUE;
}

short GetKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    auto& k = system_state().key_down;
    bool down = k[vk] != 0;
    if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) down = k[vk] != 0;
    return down ? short(0x8000) : 0;
}

short GetAsyncKeyState(int vk) { return GetKeyState(vk); }

}  // extern "C"
