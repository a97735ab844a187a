// Keys and the mouse while a menu is tracked.
#include <cctype>

#include "win/core/window.h"
#include "win/menus/menu_layout.h"
#include "win/menus/menu_tracker.h"

namespace win::menus {

namespace {

bool in_bar_mode(const Tracker& t) { return t.levels.empty() && t.request.bar; }

int bar_selected(const Tracker& t) {
    Menu* bar = find_menu(t.request.bar);
    return bar ? bar->selected : -1;
}

// The next item the highlight may rest on, going `step` (+1 or -1) from
// `from` and wrapping; -1 when there is none.
int next_selectable(const Menu& m, int from, int step) {
    int n = int(m.items.size());
    for (int k = 1; k <= n; ++k) {
        int i = ((from + step * k) % n + n) % n;
        if (m.items[std::size_t(i)].selectable()) return i;
    }
    return -1;
}

void move_across_bar(Tracker& t, int step) {
    Menu* bar = find_menu(t.request.bar);
    if (!bar || bar->items.empty()) return;
    bool was_open = !t.levels.empty();
    int n = int(bar->items.size());
    int next = ((bar->selected + step) % n + n) % n;
    close_all_levels(t);
    select_bar_item(t, next, false);
    if (was_open) open_bar_popup(t, true);
}

void key_down(Tracker& t, UINT vk) {
    Menu* top = t.levels.empty() ? nullptr : find_menu(t.levels.back().menu);
    std::size_t level = t.levels.empty() ? 0 : t.levels.size() - 1;
    switch (vk) {
        case VK_ESCAPE:
            if (t.levels.empty()) {
                t.done = true;
            } else {
                close_top_level(t);
                if (t.levels.empty() && !t.request.bar) t.done = true;
            }
            return;
        case VK_MENU:
            t.alt_went_down = true;
            return;
        case VK_F10:
            t.done = true;
            return;
        case VK_UP:
        case VK_DOWN:
            if (top) {
                int from = top->selected < 0 ? (vk == VK_DOWN ? -1 : 0) : top->selected;
                select_item(t, level, next_selectable(*top, from, vk == VK_DOWN ? 1 : -1), false);
            } else if (in_bar_mode(t)) {
                open_bar_popup(t, true);
            }
            return;
        case VK_LEFT:
            if (t.levels.size() > 1)
                close_top_level(t);
            else if (t.request.bar)
                move_across_bar(t, -1);
            return;
        case VK_RIGHT:
            if (top && top->selected >= 0 && top->items[std::size_t(top->selected)].is_popup())
                open_submenu(t, true);
            else if (t.request.bar)
                move_across_bar(t, +1);
            return;
        case VK_RETURN:
            if (top) {
                if (top->selected >= 0) choose(t, level, top->selected, false);
            } else if (in_bar_mode(t)) {
                Menu* bar = find_menu(t.request.bar);
                int sel = bar_selected(t);
                if (bar && sel >= 0 && !bar->items[std::size_t(sel)].is_popup()) {
                    if (!bar->items[std::size_t(sel)].is_disabled()) {
                        t.chosen = UINT(bar->items[std::size_t(sel)].id);
                        t.has_choice = t.done = true;
                    }
                } else {
                    open_bar_popup(t, true);
                }
            }
            return;
    }
}

// The letter of an item chooses it, or opens its popup; with several items
// on the same letter the highlight moves to the next of them.
void typed(Tracker& t, char ch) {
    if (static_cast<unsigned char>(ch) < 0x20) return;
    char wanted = char(std::tolower(static_cast<unsigned char>(ch)));
    HMENU menu = t.levels.empty() ? t.request.bar : t.levels.back().menu;
    Menu* m = find_menu(menu);
    if (!m) return;
    int current = m->selected;
    std::vector<int> matches;
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        const MenuItem& it = m->items[i];
        if (!it.is_owner_drawn() && it.selectable() && split_caption(it.text).mnemonic == wanted)
            matches.push_back(int(i));
    }
    int pick = -1;
    bool execute = matches.size() == 1;
    if (!matches.empty()) {
        pick = matches.front();
        for (int i : matches)
            if (i > current) {
                pick = i;
                break;
            }
    } else if (t.notify()) {
        UINT kind = t.levels.empty() ? 0 : MF_POPUP;
        if (t.request.system) kind |= MF_SYSMENU;
        LRESULT r = SendMessageA(t.request.owner, WM_MENUCHAR, MAKEWPARAM(BYTE(ch), kind),
                                 reinterpret_cast<LPARAM>(menu));
        switch (HIWORD(r)) {
            case MNC_CLOSE:
                t.done = true;
                return;
            case MNC_EXECUTE:
                pick = LOWORD(r);
                execute = true;
                break;
            case MNC_SELECT:
                pick = LOWORD(r);
                execute = false;
                break;
        }
    }
    m = find_menu(menu);
    if (!m || pick < 0 || std::size_t(pick) >= m->items.size()) {
        MessageBeep(0);
        return;
    }
    if (t.levels.empty()) {
        select_bar_item(t, pick, false);
        if (execute) {
            if (m->items[std::size_t(pick)].is_popup()) {
                open_bar_popup(t, true);
            } else if (!m->items[std::size_t(pick)].is_disabled()) {
                t.chosen = UINT(m->items[std::size_t(pick)].id);
                t.has_choice = t.done = true;
            }
        }
        return;
    }
    std::size_t level = t.levels.size() - 1;
    if (execute)
        choose(t, level, pick, false);
    else
        select_item(t, level, pick, false);
}

// Where the mouse is: a popup level and item, or a bar item.
struct Hit {
    int level = -1;  // -1: not over a popup
    int item = -1;
    int bar_item = -1;
    bool on_bar = false;
};

Hit hit_test(const Tracker& t, POINT screen) {
    Hit h;
    for (int l = int(t.levels.size()) - 1; l >= 0; --l) {
        RECT wr;
        if (!GetWindowRect(t.levels[std::size_t(l)].window, &wr) || !PtInRect(&wr, screen))
            continue;
        h.level = l;
        if (Menu* m = find_menu(t.levels[std::size_t(l)].menu)) {
            POINT p{screen.x - wr.left, screen.y - wr.top};
            for (std::size_t i = 0; i < m->items.size(); ++i)
                if (PtInRect(&m->items[i].rect, p)) h.item = int(i);
        }
        return h;
    }
    Window* w = find_window(t.request.owner);
    Menu* bar = find_menu(t.request.bar);
    if (!w || !bar) return h;
    POINT p{screen.x - w->rect.left, screen.y - w->rect.top};
    RECT bar_rect{0, 0, w->rect.right - w->rect.left, w->insets.top};
    if (!PtInRect(&bar_rect, p)) return h;
    h.on_bar = true;
    for (std::size_t i = 0; i < bar->items.size(); ++i)
        if (PtInRect(&bar->items[i].rect, p)) h.bar_item = int(i);
    return h;
}

void hover(Tracker& t, const Hit& h) {
    if (h.level >= 0) {
        if (h.item < 0) return;
        std::size_t level = std::size_t(h.level);
        Menu* m = find_menu(t.levels[level].menu);
        if (!m || m->selected == h.item) {
            // Back on the item whose submenu is open: deeper levels stay.
            while (t.levels.size() > level + 2) close_top_level(t);
            return;
        }
        while (t.levels.size() > level + 1) close_top_level(t);
        select_item(t, level, h.item, true);
        m = find_menu(t.levels[level].menu);
        if (m && m->selected == h.item && m->items[std::size_t(h.item)].is_popup())
            open_submenu(t, false);
        return;
    }
    if (h.bar_item >= 0 && h.bar_item != bar_selected(t)) {
        bool was_open = !t.levels.empty();
        close_all_levels(t);
        select_bar_item(t, h.bar_item, true);
        if (was_open) open_bar_popup(t, false);
    }
}

}  // namespace

bool handle_key(Tracker& t, const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            UINT vk = UINT(msg.wParam);
            key_down(t, vk);
            bool navigation = vk == VK_ESCAPE || vk == VK_RETURN || vk == VK_MENU || vk == VK_F10 ||
                              (vk >= VK_PRIOR && vk <= VK_DOWN);
            // The character is handled now, before input queued behind this key.
            MSG typed_msg;
            UINT kind = msg.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
            if (!navigation && !t.done && TranslateMessage(&msg) &&
                PeekMessageA(&typed_msg, msg.hwnd, kind, kind, PM_REMOVE))
                handle_key(t, typed_msg);
            return true;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP:
            // Alt pressed and let go inside the menu leaves it, as it entered it.
            if (msg.wParam == VK_MENU && t.alt_went_down) t.done = true;
            return true;
        case WM_CHAR:
        case WM_SYSCHAR:
            typed(t, char(msg.wParam));
            return true;
    }
    return false;
}

bool handle_mouse(Tracker& t, const MSG& msg) {
    if (msg.message < WM_MOUSEMOVE || msg.message > WM_MOUSEWHEEL) return false;
    // Where the mouse was when the message was made: later moves may be queued.
    Hit h = hit_test(t, msg.pt);
    switch (msg.message) {
        case WM_MOUSEMOVE:
            hover(t, h);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (h.level >= 0) {
                hover(t, h);
            } else if (h.bar_item >= 0 && h.bar_item == bar_selected(t) && !t.levels.empty()) {
                t.done = true;  // a press on the open item closes it
            } else if (h.bar_item >= 0) {
                close_all_levels(t);
                select_bar_item(t, h.bar_item, true);
                open_bar_popup(t, false);
            } else if (!h.on_bar) {
                t.done = true;  // a press outside every menu ends tracking
            }
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (h.level >= 0 && h.item >= 0) {
                choose(t, std::size_t(h.level), h.item, true);
            } else if (h.bar_item >= 0 && h.bar_item == bar_selected(t) && t.levels.empty()) {
                // A command on the bar itself is chosen where the press started.
                const MenuItem& it = find_menu(t.request.bar)->items[std::size_t(h.bar_item)];
                if (!it.is_popup() && !it.is_disabled()) {
                    t.chosen = UINT(it.id);
                    t.has_choice = t.done = t.chosen_by_mouse = true;
                }
            }
            break;
    }
    return true;
}

}  // namespace win::menus
