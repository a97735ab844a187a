// The menu engine's one state record.
#pragma once

#include <map>

#include "win/base/handle_table.h"
#include "win/menus/menu_table.h"

namespace win::menus {

struct Tracker;

struct MenuState {
    HandleTable<Menu> menus{HandleKind::Menu};
    std::map<HWND, HMENU> system_menus;
    Tracker* tracker = nullptr;  // the menu being tracked, if any
    // Alt went down and nothing else happened before it came up again.
    bool alt_alone = false;
    HWND engine_window = nullptr;  // receives the requests posted from input
};

MenuState& menu_state();

}  // namespace win::menus
