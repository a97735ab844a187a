// Building menus and reading them back.
#include <algorithm>
#include <cstring>
#include <optional>

#include "win/menus/menu_table.h"

using namespace win::menus;

namespace {

Menu* live(HMENU handle) {
    sweep_orphans();
    return find_menu(handle);
}

// The item a call describes, or nothing when the description is unusable
// (a stale popup, a popup that would contain its own menu, bitmap items).
std::optional<MenuItem> make_item(HMENU container, UINT flags, UINT_PTR id, LPCSTR content) {
    if (flags & MF_BITMAP) return std::nullopt;
    MenuItem item;
    item.flags = flags & kItemFlagMask & ~MF_HILITE;
    item.id = id;
    if (flags & MF_POPUP) {
        item.submenu = reinterpret_cast<HMENU>(id);
        if (!find_menu(item.submenu) || reaches(item.submenu, container)) return std::nullopt;
    }
    if (flags & MF_OWNERDRAW) {
        item.data = reinterpret_cast<ULONG_PTR>(content);
    } else if (!(flags & MF_SEPARATOR) && content) {
        item.text = content;
    }
    return item;
}

void changed(Menu& m) {
    m.size = SIZE{};  // laid out again before it is next shown
}

// The previous value of `mask` in the item's flags, then `value` in its place.
DWORD swap_flags(HMENU menu, UINT where, UINT how, UINT mask, UINT value) {
    if (!live(menu)) return DWORD(-1);
    ItemRef ref = find_item(menu, where, how);
    if (!ref) return DWORD(-1);
    MenuItem* it = ref.item();
    DWORD old = it->flags & mask;
    it->flags = (it->flags & ~mask) | (value & mask);
    if (old != (value & mask) && it->is_owner_drawn()) it->measured = false;
    return old;
}

}  // namespace

extern "C" {

HMENU CreateMenu(void) {
    sweep_orphans();
    return add_menu(false);
}

HMENU CreatePopupMenu(void) {
    sweep_orphans();
    return add_menu(true);
}

BOOL DestroyMenu(HMENU menu) { return live(menu) && destroy_menu(menu) ? TRUE : FALSE; }

BOOL IsMenu(HMENU menu) { return live(menu) ? TRUE : FALSE; }

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR content) {
    Menu* m = live(menu);
    if (!m) return FALSE;
    HMENU target = menu;
    std::size_t at = m->items.size();
    if (flags & MF_BYPOSITION) {
        if (position < m->items.size()) at = position;
    } else {
        ItemRef ref = find_item(menu, position, flags);
        if (!ref) return FALSE;
        target = ref.menu;
        m = ref.owner;
        at = std::size_t(ref.index);
    }
    std::optional<MenuItem> item = make_item(target, flags, id, content);
    if (!item) return FALSE;
    m->items.insert(m->items.begin() + std::ptrdiff_t(at), std::move(*item));
    changed(*m);
    return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR content) {
    return InsertMenuA(menu, UINT(-1), flags | MF_BYPOSITION, id, content);
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR content) {
    if (!live(menu)) return FALSE;
    ItemRef ref = find_item(menu, position, flags);
    if (!ref) return FALSE;
    std::optional<MenuItem> item = make_item(ref.menu, flags, id, content);
    if (!item) return FALSE;
    MenuItem& old = *ref.item();
    // A popup that is replaced goes with its item, as the platform does.
    HMENU dropped = old.is_popup() && old.submenu != item->submenu ? old.submenu : nullptr;
    old = std::move(*item);
    changed(*ref.owner);
    if (dropped) destroy_menu(dropped);
    return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    if (!live(menu)) return FALSE;
    ItemRef ref = find_item(menu, position, flags);
    if (!ref) return FALSE;
    ref.owner->items.erase(ref.owner->items.begin() + ref.index);
    changed(*ref.owner);
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    if (!live(menu)) return FALSE;
    ItemRef ref = find_item(menu, position, flags);
    if (!ref) return FALSE;
    HMENU popup = ref.item()->is_popup() ? ref.item()->submenu : nullptr;
    ref.owner->items.erase(ref.owner->items.begin() + ref.index);
    changed(*ref.owner);
    if (popup) destroy_menu(popup);
    return TRUE;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
    return swap_flags(menu, item, check, MF_CHECKED, check);
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    return BOOL(swap_flags(menu, item, enable, MF_GRAYED | MF_DISABLED, enable));
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    if (!live(menu)) return UINT(-1);
    ItemRef ref = find_item(menu, item, flags);
    if (!ref) return UINT(-1);
    const MenuItem& it = *ref.item();
    if (it.is_popup()) {
        Menu* sub = find_menu(it.submenu);
        UINT count = sub ? UINT(std::min<std::size_t>(sub->items.size(), 0xff)) : 0;
        return (count << 8) | (it.flags & 0xff);
    }
    return it.flags & (MF_CHECKED | MF_DISABLED | MF_GRAYED | MF_HILITE | MF_MENUBARBREAK |
                       MF_MENUBREAK | MF_OWNERDRAW | MF_SEPARATOR | MF_DEFAULT);
}

int GetMenuItemCount(HMENU menu) {
    Menu* m = live(menu);
    return m ? int(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    Menu* m = live(menu);
    if (!m || position < 0 || std::size_t(position) >= m->items.size()) return UINT(-1);
    const MenuItem& it = m->items[std::size_t(position)];
    return it.is_popup() ? UINT(-1) : UINT(it.id);
}

HMENU GetSubMenu(HMENU menu, int position) {
    Menu* m = live(menu);
    if (!m || position < 0 || std::size_t(position) >= m->items.size()) return nullptr;
    const MenuItem& it = m->items[std::size_t(position)];
    return it.is_popup() && find_menu(it.submenu) ? it.submenu : nullptr;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR out, int max, UINT flags) {
    if (out && max > 0) out[0] = 0;
    if (!live(menu)) return 0;
    ItemRef ref = find_item(menu, item, flags);
    if (!ref || ref.item()->is_owner_drawn()) return 0;
    const std::string& text = ref.item()->text;
    if (!out) return int(text.size());
    if (max <= 0) return 0;
    std::size_t n = std::min(text.size(), std::size_t(max - 1));
    std::memcpy(out, text.data(), n);
    out[n] = 0;
    return int(n);
}

}  // extern "C"
