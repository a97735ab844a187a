#include "win/core/automation.h"

#include <strings.h>

#include <cstring>

#include "win/core/window.h"
#include "win/gdi/png_writer.h"
#include "win/gdi/surface.h"

namespace win::automation {

namespace {

POINT client_to_surface(HWND hwnd, int x, int y) {
    Window* w = find_window(hwnd);
    if (!w) return POINT{};
    POINT o = client_origin_on_surface(*w);
    return POINT{o.x + x, o.y + y};
}

}  // namespace

void reset(Clock* c) {
    WindowSystem& s = system_state();
    for (HWND t : std::vector<HWND>(s.top_levels)) DestroyWindow(t);
    s.posted.clear();
    s.timers.clear();
    s.quit_posted = false;
    s.focus = s.active = s.capture = nullptr;
    s.key_down = {};
    s.modal_hook = nullptr;
    s.modal_depth = 0;
    install_clock(c);
}

void set_modal_hook(std::function<void(HWND)> hook) { system_state().modal_hook = std::move(hook); }

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void advance_ms(int ms) {
    pump();
    Clock& c = current_clock();
    std::int64_t target = c.now_ms() + ms;
    // Stop at every timer's due time so ticks come exactly when they are due.
    while (c.now_ms() < target) {
        std::int64_t due = next_timer_due();
        std::int64_t next = (due > c.now_ms() && due < target) ? due : target;
        c.advance_ms(next - c.now_ms());
        pump();
    }
}

void mouse_down(HWND hwnd, int x, int y) {
    input::mouse_button(top_level_of(hwnd), client_to_surface(hwnd, x, y), input::Button::Left,
                        true);
}

void mouse_move(HWND hwnd, int x, int y) {
    input::mouse_move(top_level_of(hwnd), client_to_surface(hwnd, x, y));
}

void mouse_up(HWND hwnd, int x, int y) {
    input::mouse_button(top_level_of(hwnd), client_to_surface(hwnd, x, y), input::Button::Left,
                        false);
}

void click(HWND hwnd, int x, int y, input::Button button) {
    HWND top = top_level_of(hwnd);
    POINT p = client_to_surface(hwnd, x, y);
    input::mouse_move(top, p);
    input::mouse_button(top, p, button, true);
    input::mouse_button(top, p, button, false);
}

void click_center(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    click(hwnd, rc.right / 2, rc.bottom / 2);
}

void key(HWND hwnd, UINT vk, bool down, char ch) { input::key(top_level_of(hwnd), vk, down, ch); }

void press(HWND hwnd, UINT vk, char ch) {
    key(hwnd, vk, true, ch);
    key(hwnd, vk, false, 0);
}

void type(HWND hwnd, const std::string& text) {
    for (char c : text) {
        UINT vk = (c >= 'a' && c <= 'z') ? UINT(c - 'a' + 'A') : UINT(BYTE(c));
        bool shift = (c >= 'A' && c <= 'Z');
        if (shift) key(hwnd, VK_SHIFT, true);
        press(hwnd, vk, c);
        if (shift) key(hwnd, VK_SHIFT, false);
    }
}

HWND find_child(HWND parent, const char* class_name, const char* text) {
    Window* w = find_window(parent);
    if (!w) return nullptr;
    for (HWND c : w->children) {
        Window* cw = find_window(c);
        if (!cw) continue;
        bool class_ok = !class_name || strcasecmp(cw->window_class->name.c_str(), class_name) == 0;
        bool text_ok = !text || cw->text == text;
        if (class_ok && text_ok) return c;
        if (HWND deeper = find_child(c, class_name, text)) return deeper;
    }
    return nullptr;
}

std::string window_text(HWND hwnd) {
    int n = GetWindowTextLengthA(hwnd);
    std::string s(size_t(n) + 1, '\0');
    GetWindowTextA(hwnd, s.data(), n + 1);
    s.resize(std::strlen(s.c_str()));
    return s;
}

std::uint32_t pixel(HWND hwnd, int x, int y) {
    Window* t = find_window(top_level_of(hwnd));
    if (!t) return 0;
    POINT p = client_to_surface(hwnd, x, y);
    if (p.x < 0 || p.y < 0 || p.x >= t->surface->width || p.y >= t->surface->height) return 0;
    return t->surface->at(p.x, p.y);
}

bool save_png(HWND hwnd, const char* path) {
    Window* t = find_window(top_level_of(hwnd));
    return t && gdi::write_png(*t->surface, path);
}

}  // namespace win::automation
