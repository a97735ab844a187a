// The menu bar in a window's non-client area: the core asks for its height,
// its picture, and what a press or a menu key does.
#include <cctype>

#include "win/core/nonclient_hooks.h"
#include "win/core/window.h"
#include "win/menus/menu_layout.h"
#include "win/menus/menu_paint.h"
#include "win/menus/menu_state.h"
#include "win/menus/menu_tracker.h"
#include "win/menus/menus.h"
#include "win/menus/popup_window.h"
#include "win/menus/system_menu.h"

namespace win::menus {

namespace {

int bar_height(HWND window, HMENU menu, int width) {
    if (!find_menu(menu)) return 0;
    return layout_bar(menu, window, width);
}

// The platform destroys a window's menu bar and system menu with it.
void window_destroyed(HWND window, HMENU bar) {
    if (find_menu(bar)) destroy_menu(bar);
    GetSystemMenu(window, TRUE);
}

void bar_click(HWND window, HMENU menu, POINT pt) {
    Window* w = find_window(window);
    if (!w || !find_menu(menu) || tracking()) return;
    layout_bar(menu, window, w->rect.right - w->rect.left);
    Menu* m = find_menu(menu);
    if (!m) return;
    for (std::size_t i = 0; i < m->items.size(); ++i)
        if (PtInRect(&m->items[i].rect, pt)) {
            // Tracking runs its own loop; it starts once this press has been routed.
            post_bar_tracking(window, int(i));
            return;
        }
}

bool open_system_menu(HWND window) {
    Window* w = find_window(window);
    if (!w || !(w->style & WS_SYSMENU)) return false;
    HMENU menu = system_menu_of(window);
    if (!menu) return false;
    TrackRequest r;
    r.owner = window;
    r.popup = menu;
    r.system = true;
    r.popup_at = POINT{w->rect.left, w->rect.top};
    (void)track(r);
    return true;
}

int bar_item_for_letter(HMENU bar, char letter) {
    Menu* m = find_menu(bar);
    if (!m) return -1;
    char wanted = char(std::tolower(static_cast<unsigned char>(letter)));
    for (std::size_t i = 0; i < m->items.size(); ++i)
        if (!m->items[i].is_owner_drawn() && split_caption(m->items[i].text).mnemonic == wanted)
            return int(i);
    return -1;
}

bool track_bar(HWND window, int item, bool open) {
    HMENU bar = GetMenu(window);
    if (!find_menu(bar)) return false;
    TrackRequest r;
    r.owner = window;
    r.bar = bar;
    r.bar_item = item;
    r.open_bar_item = open;
    (void)track(r);
    return true;
}

bool menu_key(HWND window, UINT message, WPARAM vk) {
    MenuState& s = menu_state();
    if (tracking()) return false;
    switch (message) {
        case WM_SYSKEYDOWN:
            if (vk == VK_MENU) {
                s.alt_alone = true;
                return false;
            }
            s.alt_alone = false;
            if (vk == VK_F10) return track_bar(window, 0, false);
            return false;
        case WM_SYSKEYUP:
            if (vk == VK_MENU && s.alt_alone) {
                s.alt_alone = false;
                return track_bar(window, 0, false);
            }
            return false;
        case WM_SYSCHAR: {
            s.alt_alone = false;
            if (vk == ' ') return open_system_menu(window);
            // The core asks with no letter for the bar itself (SC_KEYMENU).
            if (vk == 0) return track_bar(window, 0, false);
            int item = bar_item_for_letter(GetMenu(window), char(vk));
            if (item < 0) {
                if (GetMenu(window)) MessageBeep(0);
                return GetMenu(window) != nullptr;
            }
            return track_bar(window, item, true);
        }
    }
    return false;
}

}  // namespace

void install() {
    MenuBarHooks hooks;
    hooks.bar_height = bar_height;
    hooks.paint_bar = paint_bar;
    hooks.bar_click = bar_click;
    hooks.menu_key = menu_key;
    hooks.window_destroyed = window_destroyed;
    set_menu_bar_hooks(hooks);
}

}  // namespace win::menus
