#include "win/menus/menu_tracker.h"

#include <algorithm>

#include "win/core/modal_loop.h"
#include "win/menus/menu_layout.h"
#include "win/menus/menu_paint.h"
#include "win/menus/menu_state.h"
#include "win/menus/popup_window.h"
#include "win/menus/system_menu.h"

namespace win::menus {

namespace {

HMENU root_of(const Tracker& t) { return t.request.bar ? t.request.bar : t.request.popup; }

void send_menu_select(const Tracker& t, HMENU menu, int index, bool by_mouse) {
    if (!t.notify()) return;
    Menu* m = find_menu(menu);
    if (!m || index < 0 || std::size_t(index) >= m->items.size()) return;
    const MenuItem& it = m->items[std::size_t(index)];
    UINT flags = (it.flags & 0xffff) | MF_HILITE;
    if (by_mouse) flags |= MF_MOUSESELECT;
    if (t.request.system) flags |= MF_SYSMENU;
    UINT id = it.is_popup() ? UINT(index) : UINT(it.id);
    SendMessageA(t.request.owner, WM_MENUSELECT, MAKEWPARAM(id, flags),
                 reinterpret_cast<LPARAM>(menu));
}

// Keeps a popup on the screen: it flips to the other side of `avoid`
// (the bar item or the parent item) when it would run off the edge.
RECT place(POINT at, SIZE size, const RECT& avoid, bool beside) {
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    int x = at.x, y = at.y;
    if (x + size.cx > sw) x = beside ? avoid.left - size.cx : sw - size.cx;
    if (y + size.cy > sh) y = beside ? sh - size.cy : avoid.top - size.cy;
    x = std::max(0, x);
    y = std::max(0, y);
    return RECT{x, y, x + size.cx, y + size.cy};
}

// Opens `menu` as the next level at a screen position.
void open_level(Tracker& t, HMENU menu, int index_in_parent, POINT at, const RECT& avoid,
                bool beside, bool select_first) {
    if (!find_menu(menu)) return;
    if (t.request.system && t.levels.empty()) refresh_system_menu(t.request.owner, menu);
    if (t.notify())
        SendMessageA(t.request.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                     MAKELPARAM(index_in_parent, t.request.system ? 1 : 0));
    SIZE size = layout_popup(menu, t.request.owner);
    Menu* m = find_menu(menu);
    if (!m || t.done) return;
    if (t.levels.empty() && !t.request.bar) {
        // A popup shown at a point is aligned to it as TPM_ flags say.
        UINT f = t.request.tpm_flags;
        if (f & TPM_CENTERALIGN)
            at.x -= size.cx / 2;
        else if (f & TPM_RIGHTALIGN)
            at.x -= size.cx;
        if (f & TPM_VCENTERALIGN)
            at.y -= size.cy / 2;
        else if (f & TPM_BOTTOMALIGN)
            at.y -= size.cy;
    }
    HWND window = create_popup_window(t.request.owner, menu, place(at, size, avoid, beside));
    if (!window) return;
    m->selected = -1;
    t.levels.push_back(Level{menu, window, false});
    ShowWindow(window, SW_SHOWNA);
    if (select_first) {
        auto first = std::find_if(m->items.begin(), m->items.end(),
                                  [](const MenuItem& it) { return it.selectable(); });
        if (first != m->items.end())
            select_item(t, t.levels.size() - 1, int(first - m->items.begin()), false);
    }
    UpdateWindow(window);  // a menu shows at once, before the next input is read
}

void finish(Tracker& t) {
    close_all_levels(t);
    if (Menu* bar = find_menu(t.request.bar)) {
        bar->selected = -1;
        bar->bar_open = false;
        for (MenuItem& it : bar->items) it.flags &= ~MF_HILITE;
        repaint_bar(t.request.owner);
    }
    if (GetCapture() == t.request.owner) ReleaseCapture();
    if (t.notify() && IsWindow(t.request.owner)) {
        SendMessageA(t.request.owner, WM_MENUSELECT, MAKEWPARAM(0, 0xffff), 0);
        SendMessageA(t.request.owner, WM_EXITMENULOOP, t.request.bar ? FALSE : TRUE, 0);
    }
}

}  // namespace

bool tracking() { return menu_state().tracker != nullptr; }

void select_bar_item(Tracker& t, int index, bool by_mouse) {
    Menu* bar = find_menu(t.request.bar);
    if (!bar || index < 0 || std::size_t(index) >= bar->items.size() || bar->selected == index)
        return;
    if (bar->selected >= 0) bar->items[std::size_t(bar->selected)].flags &= ~MF_HILITE;
    bar->selected = index;
    bar->items[std::size_t(index)].flags |= MF_HILITE;
    repaint_bar(t.request.owner);
    send_menu_select(t, t.request.bar, index, by_mouse);
}

void open_bar_popup(Tracker& t, bool select_first) {
    Menu* bar = find_menu(t.request.bar);
    if (!bar || bar->selected < 0 || !t.levels.empty()) return;
    const MenuItem& it = bar->items[std::size_t(bar->selected)];
    if (!it.is_popup() || it.is_disabled()) return;
    RECT win_rect;
    GetWindowRect(t.request.owner, &win_rect);
    RECT item = it.rect;
    OffsetRect(&item, win_rect.left, win_rect.top);
    HMENU sub = it.submenu;
    int index = bar->selected;
    bar->bar_open = true;
    repaint_bar(t.request.owner);
    open_level(t, sub, index, POINT{item.left, item.bottom}, item, false, select_first);
}

void open_submenu(Tracker& t, bool select_first) {
    if (t.levels.empty()) return;
    const Level& top = t.levels.back();
    Menu* m = find_menu(top.menu);
    if (!m || m->selected < 0) return;
    const MenuItem& it = m->items[std::size_t(m->selected)];
    if (!it.is_popup() || it.is_disabled()) return;
    RECT parent;
    GetWindowRect(top.window, &parent);
    RECT item = it.rect;
    OffsetRect(&item, parent.left, parent.top);
    RECT avoid{parent.left, item.top, parent.right, item.bottom};
    POINT at{parent.right - metrics::kPopupBorder, item.top - metrics::kPopupBorder};
    open_level(t, it.submenu, m->selected, at, avoid, true, select_first);
}

void close_top_level(Tracker& t) {
    if (t.levels.empty()) return;
    Level level = t.levels.back();
    t.levels.pop_back();
    if (Menu* m = find_menu(level.menu)) {
        for (MenuItem& it : m->items) it.flags &= ~MF_HILITE;
        m->selected = -1;
    }
    DestroyWindow(level.window);
    if (t.levels.empty()) {
        if (Menu* bar = find_menu(t.request.bar); bar && bar->bar_open) {
            bar->bar_open = false;
            repaint_bar(t.request.owner);
        }
    }
}

void close_all_levels(Tracker& t) {
    while (!t.levels.empty()) close_top_level(t);
}

void select_item(Tracker& t, std::size_t level, int index, bool by_mouse) {
    if (level >= t.levels.size()) return;
    Level& l = t.levels[level];
    Menu* m = find_menu(l.menu);
    if (!m || index >= int(m->items.size()) || m->selected == index) return;
    if (index >= 0 && !m->items[std::size_t(index)].selectable()) return;
    int old = m->selected;
    if (old >= 0) m->items[std::size_t(old)].flags &= ~MF_HILITE;
    m->selected = index;
    if (index >= 0) m->items[std::size_t(index)].flags |= MF_HILITE;
    if (l.painted) {
        // The item losing the highlight is drawn first, then the one gaining it.
        HWND window = l.window;
        HMENU menu = l.menu;
        HDC dc = GetDC(window);
        if (old >= 0) draw_popup_item(window, menu, t.request.owner, dc, old, ODA_SELECT);
        if (index >= 0) draw_popup_item(window, menu, t.request.owner, dc, index, ODA_SELECT);
        ReleaseDC(window, dc);
    }
    if (index >= 0) send_menu_select(t, l.menu, index, by_mouse);
}

void choose(Tracker& t, std::size_t level, int index, bool by_mouse) {
    if (level >= t.levels.size()) return;
    Menu* m = find_menu(t.levels[level].menu);
    if (!m || index < 0 || std::size_t(index) >= m->items.size()) return;
    const MenuItem& it = m->items[std::size_t(index)];
    if (!it.selectable() || it.is_disabled()) return;
    if (it.is_popup()) {
        while (t.levels.size() > level + 1) close_top_level(t);
        select_item(t, level, index, by_mouse);
        open_submenu(t, !by_mouse);
        return;
    }
    t.chosen = UINT(it.id);
    t.has_choice = true;
    t.chosen_by_mouse = by_mouse;
    t.done = true;
}

void popup_painted(HWND popup_window) {
    Tracker* t = menu_state().tracker;
    if (!t) return;
    for (Level& l : t->levels)
        if (l.window == popup_window) l.painted = true;
}

long track(const TrackRequest& request) {
    MenuState& s = menu_state();
    if (s.tracker || !IsWindow(request.owner)) return -1;
    sweep_orphans();
    if (!find_menu(request.bar ? request.bar : request.popup)) return -1;
    Tracker t;
    t.request = request;
    s.tracker = &t;
    SetCapture(request.owner);
    if (t.notify()) {
        SendMessageA(request.owner, WM_ENTERMENULOOP, request.bar ? FALSE : TRUE, 0);
        SendMessageA(request.owner, WM_INITMENU, reinterpret_cast<WPARAM>(root_of(t)), 0);
    }
    if (request.bar) {
        select_bar_item(t, std::max(0, request.bar_item), request.by_mouse);
        if (request.open_bar_item) open_bar_popup(t, !request.by_mouse);
    } else {
        RECT avoid{request.popup_at.x, request.popup_at.y, request.popup_at.x, request.popup_at.y};
        open_level(t, request.popup, 0, request.popup_at, avoid, false, !request.by_mouse);
        if (t.levels.empty()) t.done = true;
    }
    HWND shown = t.levels.empty() ? request.owner : t.levels.back().window;
    auto done = [&] { return t.done || !IsWindow(t.request.owner) || !find_menu(root_of(t)); };
    auto filter = [&](MSG& msg) { return handle_key(t, msg) || handle_mouse(t, msg); };
    if (!done()) run_modal_loop(shown, done, filter);
    finish(t);
    s.tracker = nullptr;
    if (!t.has_choice || !IsWindow(request.owner)) return 0;
    if (request.tpm_flags & TPM_RETURNCMD) return long(t.chosen);
    if (request.system) {
        POINT pt{};
        if (t.chosen_by_mouse) GetCursorPos(&pt);
        PostMessageA(request.owner, WM_SYSCOMMAND, t.chosen, MAKELPARAM(pt.x, pt.y));
    } else {
        PostMessageA(request.owner, WM_COMMAND, MAKEWPARAM(t.chosen, 0), 0);
    }
    return long(t.chosen);
}

}  // namespace win::menus
