// Menu objects and the table that hands out their handles.
#pragma once

#include <string>
#include <vector>

#include "win/base/handle_table.h"
#include "winuser.h"

namespace win::menus {

// The flags an item keeps; the rest of a call's flags say how to find it.
inline constexpr UINT kItemFlagMask = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP |
                                      MF_MENUBARBREAK | MF_MENUBREAK | MF_HILITE | MF_OWNERDRAW |
                                      MF_SEPARATOR | MF_DEFAULT | MF_HELP;

struct MenuItem {
    UINT flags = 0;           // MF_ bits from kItemFlagMask
    UINT_PTR id = 0;          // command id; the popup's handle value for popups
    HMENU submenu = nullptr;  // MF_POPUP items
    std::string text;         // string items; may hold "&" and a tab
    ULONG_PTR data = 0;       // owner-drawn items
    // Owner-drawn size as the owner reported it; asked again after a change.
    bool measured = false;
    SIZE measure{};
    RECT rect{};  // laid out: popup client or menu bar coordinates

    bool is_popup() const { return flags & MF_POPUP; }
    bool is_separator() const { return flags & MF_SEPARATOR; }
    bool is_owner_drawn() const { return flags & MF_OWNERDRAW; }
    bool is_disabled() const { return flags & (MF_GRAYED | MF_DISABLED); }
    // Whether the highlight may rest on it.
    bool selectable() const { return !is_separator(); }
};

struct Menu {
    bool popup = false;
    std::vector<MenuItem> items;
    // The window whose system menu this is; the menu goes with that window.
    HWND system_of = nullptr;
    // Size of the popup as last laid out (client pixels).
    SIZE size{};
    // The highlighted item while the menu is tracked; on a bar, whether its
    // popup is open (drawn pressed) or only chosen by keyboard.
    int selected = -1;
    bool bar_open = false;
};

Menu* find_menu(HMENU handle);
HMENU add_menu(bool popup);
// Destroys the menu and every popup it holds; false for a stale handle.
bool destroy_menu(HMENU handle);

// Where an item was found: the menu that holds it and its position there.
struct ItemRef {
    HMENU menu = nullptr;
    Menu* owner = nullptr;
    int index = -1;
    MenuItem* item() const { return owner ? &owner->items[std::size_t(index)] : nullptr; }
    explicit operator bool() const { return owner != nullptr; }
};

// By position in this menu, or by command in this menu and its popups
// (depth first, in item order) as flags' MF_BYPOSITION says.
ItemRef find_item(HMENU menu, UINT position_or_command, UINT flags);

// True when `inner` is `outer` or is reachable from it through popups, so
// that inserting `outer` into `inner` would make a loop.
bool reaches(HMENU outer, HMENU inner);

// System menus whose window has gone are destroyed with it.
void sweep_orphans();

}  // namespace win::menus
