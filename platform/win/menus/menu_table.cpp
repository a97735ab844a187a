#include "win/menus/menu_table.h"

#include <memory>

#include "win/menus/menu_state.h"

namespace win::menus {

namespace {

// Popups nest only a few levels in practice; the cap keeps a hostile tree
// from exhausting the stack.
constexpr int kMaxDepth = 32;

ItemRef find_by_command(HMENU handle, UINT command, int depth) {
    Menu* m = find_menu(handle);
    if (!m || depth > kMaxDepth) return {};
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        MenuItem& it = m->items[i];
        if (it.is_popup()) {
            if (UINT(it.id) == command) return ItemRef{handle, m, int(i)};
            if (ItemRef inner = find_by_command(it.submenu, command, depth + 1)) return inner;
        } else if (UINT(it.id) == command) {
            return ItemRef{handle, m, int(i)};
        }
    }
    return {};
}

bool reaches_at(HMENU from, HMENU target, int depth) {
    if (from == target) return true;
    Menu* m = find_menu(from);
    if (!m || depth > kMaxDepth) return false;
    for (const MenuItem& it : m->items)
        if (it.is_popup() && reaches_at(it.submenu, target, depth + 1)) return true;
    return false;
}

void destroy_at(HMENU handle, int depth) {
    std::unique_ptr<Menu> m = menu_state().menus.remove(handle);
    if (!m || depth > kMaxDepth) return;
    for (const MenuItem& it : m->items)
        if (it.is_popup()) destroy_at(it.submenu, depth + 1);
}

}  // namespace

MenuState& menu_state() {
    static MenuState state;
    return state;
}

Menu* find_menu(HMENU handle) { return menu_state().menus.get(handle); }

HMENU add_menu(bool popup) {
    auto m = std::make_unique<Menu>();
    m->popup = popup;
    return to_handle<HMENU>(menu_state().menus.add(std::move(m)));
}

bool destroy_menu(HMENU handle) {
    if (!find_menu(handle)) return false;
    destroy_at(handle, 0);
    return true;
}

ItemRef find_item(HMENU handle, UINT where, UINT flags) {
    Menu* m = find_menu(handle);
    if (!m) return {};
    if (flags & MF_BYPOSITION) {
        if (where >= m->items.size()) return {};
        return ItemRef{handle, m, int(where)};
    }
    return find_by_command(handle, where, 0);
}

bool reaches(HMENU outer, HMENU inner) { return reaches_at(outer, inner, 0); }

void sweep_orphans() {
    MenuState& s = menu_state();
    std::vector<HMENU> gone;
    s.menus.for_each([&](std::uintptr_t value, Menu& m) {
        if (m.system_of && !IsWindow(m.system_of)) gone.push_back(to_handle<HMENU>(value));
    });
    for (HMENU h : gone) destroy_menu(h);
    std::erase_if(s.system_menus, [](const auto& entry) { return !find_menu(entry.second); });
}

}  // namespace win::menus
