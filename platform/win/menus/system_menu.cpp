#include "win/menus/system_menu.h"

#include "win/core/window.h"
#include "win/menus/menu_state.h"

using namespace win::menus;

namespace {

struct DefaultCommand {
    UINT id;
    const char* text;
};

constexpr DefaultCommand kDefaults[] = {
    {SC_RESTORE, "&Restore"},     {SC_MOVE, "&Move"},         {SC_SIZE, "&Size"},
    {SC_MINIMIZE, "Mi&nimize"},   {SC_MAXIMIZE, "Ma&ximize"}, {0, nullptr},
    {SC_CLOSE, "&Close\tAlt+F4"},
};

HMENU make_system_menu(HWND window) {
    HMENU menu = add_menu(true);
    for (const DefaultCommand& c : kDefaults) {
        if (c.text)
            AppendMenuA(menu, MF_STRING, c.id, c.text);
        else
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    }
    find_menu(menu)->system_of = window;
    return menu;
}

}  // namespace

namespace win::menus {

void refresh_system_menu(HWND window, HMENU menu) {
    DWORD style = DWORD(GetWindowLongA(window, GWL_STYLE));
    bool iconic = IsIconic(window);
    auto set = [&](UINT id, bool enabled) {
        EnableMenuItem(menu, id, enabled ? MF_ENABLED : MF_GRAYED);
    };
    set(SC_RESTORE, iconic);
    // Moving and sizing belong to the desktop's window manager here.
    set(SC_MOVE, false);
    set(SC_SIZE, false);
    set(SC_MINIMIZE, !iconic && (style & WS_MINIMIZEBOX));
    set(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) != 0);
}

HMENU system_menu_of(HWND window) {
    Window* w = find_window(window);
    if (!w || w->parent) return nullptr;
    sweep_orphans();
    MenuState& s = menu_state();
    auto it = s.system_menus.find(window);
    if (it != s.system_menus.end() && find_menu(it->second)) return it->second;
    HMENU menu = make_system_menu(window);
    s.system_menus[window] = menu;
    return menu;
}

}  // namespace win::menus

extern "C" HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
    if (!revert) return system_menu_of(hwnd);
    MenuState& s = menu_state();
    auto it = s.system_menus.find(hwnd);
    if (it != s.system_menus.end()) {
        destroy_menu(it->second);
        s.system_menus.erase(it);
    }
    return nullptr;
}
