// Creating and destroying windows, and walking the window tree.
#include <algorithm>
#include <cstring>

#include "win/core/window.h"
#include "win/gdi/surface.h"

using namespace win;

namespace {

void unlink(Window& w) {
    WindowSystem& s = system_state();
    if (Window* p = find_window(w.parent)) {
        auto& c = p->children;
        c.erase(std::remove(c.begin(), c.end(), w.handle), c.end());
    }
    auto& t = s.top_levels;
    t.erase(std::remove(t.begin(), t.end(), w.handle), t.end());
}

// WM_DESTROY goes parent first, then down the tree.
void send_destroy(HWND hwnd) {
    Window* w = find_window(hwnd);
    if (!w) return;
    w->destroying = true;
    send(hwnd, WM_DESTROY, 0, 0);
    w = find_window(hwnd);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND c : children) send_destroy(c);
}

// WM_NCDESTROY goes children first; then the handle turns stale.
void send_ncdestroy_and_free(HWND hwnd) {
    Window* w = find_window(hwnd);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND c : children) send_ncdestroy_and_free(c);
    send(hwnd, WM_NCDESTROY, 0, 0);
    WindowSystem& s = system_state();
    w = find_window(hwnd);
    if (!w) return;
    unlink(*w);
    if (s.focus == hwnd) s.focus = nullptr;
    if (s.capture == hwnd) s.capture = nullptr;
    if (s.active == hwnd) s.active = nullptr;
    std::erase_if(s.timers, [&](const Timer& t) { return t.window == hwnd; });
    std::erase_if(s.posted, [&](const MSG& m) { return m.hwnd == hwnd; });
    if (!w->parent) backend().window_destroyed(hwnd);
    if (!w->parent && menu_bar_hooks().window_destroyed)
        menu_bar_hooks().window_destroyed(hwnd, w->menu);
    s.windows.remove(hwnd);
}

}  // namespace

extern "C" {

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE inst,
                     LPVOID param) {
    WindowSystem& s = system_state();
    if (!class_name || IS_INTRESOURCE(class_name)) return nullptr;
    auto cls = s.classes.find(class_name);
    if (cls == s.classes.end()) return nullptr;
    bool child = (style & WS_CHILD) != 0;
    Window* parent_window = find_window(parent);
    if (child && !parent_window) return nullptr;
    if (parent && !parent_window) return nullptr;

    auto owned = std::make_unique<Window>();
    Window* w = owned.get();
    HWND hwnd = to_hwnd(s.windows.add(std::move(owned)));
    w->handle = hwnd;
    w->window_class = cls->second;
    w->proc = cls->second->info.lpfnWndProc;
    w->style = style & ~WS_VISIBLE;
    w->ex_style = ex_style;
    w->instance = inst;
    w->text = window_name && !IS_INTRESOURCE(window_name) ? window_name : "";
    w->extra.assign((cls->second->info.cbWndExtra + 7) / 8, 0);
    if (child) {
        w->parent = parent;
        w->id = LONG_PTR(menu);
        parent_window->children.push_back(hwnd);
    } else {
        w->owner = parent ? top_level_of(parent) : nullptr;
        w->menu = menu;
        s.top_levels.push_back(hwnd);
        SIZE screen = backend().screen_size();
        if (x == CW_USEDEFAULT) x = 40, y = 40;
        if (width == CW_USEDEFAULT) width = screen.cx / 2, height = screen.cy / 2;
    }
    w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};

    CREATESTRUCTA cs{param, inst, menu,        parent,      height,     width,
                     y,     x,    LONG(style), window_name, class_name, ex_style};
    if (!child) {
        MINMAXINFO mmi{};
        send(hwnd, WM_GETMINMAXINFO, 0, LPARAM(&mmi));
        w = find_window(hwnd);
        if (!w) return nullptr;
        w->surface = std::make_shared<gdi::Surface>(width, height, 0);
        backend().window_created(hwnd);
    }
    if (!send(hwnd, WM_NCCREATE, 0, LPARAM(&cs)) || !find_window(hwnd)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    w = find_window(hwnd);
    recalc_nonclient(*w);
    if (send(hwnd, WM_CREATE, 0, LPARAM(&cs)) == -1 || !find_window(hwnd)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    w = find_window(hwnd);
    w->created = true;
    RECT rc;
    GetClientRect(hwnd, &rc);
    send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    send(hwnd, WM_MOVE, 0, MAKELPARAM(w->rect.left + w->insets.left, w->rect.top + w->insets.top));
    if (child && !(ex_style & WS_EX_NOPARENTNOTIFY))
        send(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, LOWORD(w->id)), LPARAM(hwnd));
    if (!find_window(hwnd)) return nullptr;
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    if (w->destroying) return TRUE;
    WindowSystem& s = system_state();
    // Owned top-level windows go before their owner.
    if (!w->parent) {
        std::vector<HWND> owned;
        for (HWND t : s.top_levels)
            if (Window* o = find_window(t); o && o->owner == hwnd) owned.push_back(t);
        for (HWND o : owned) DestroyWindow(o);
    }
    w = find_window(hwnd);
    if (!w) return TRUE;
    if (w->style & WS_VISIBLE) ShowWindow(hwnd, SW_HIDE);
    w = find_window(hwnd);
    if (w && w->parent && !(w->ex_style & WS_EX_NOPARENTNOTIFY))
        send(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, LOWORD(w->id)), LPARAM(hwnd));
    if (s.capture == hwnd) ReleaseCapture();
    send_destroy(hwnd);
    send_ncdestroy_and_free(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) { return find_window(hwnd) ? TRUE : FALSE; }

HWND GetParent(HWND hwnd) {
    Window* w = find_window(hwnd);
    if (!w) return nullptr;
    return w->parent ? w->parent : w->owner;
}

HWND SetParent(HWND child, HWND parent) {
    Window* w = find_window(child);
    Window* p = find_window(parent);
    if (!w || !p || !w->parent) return nullptr;
    HWND old = w->parent;
    unlink(*w);
    w->parent = parent;
    p->children.push_back(child);
    return old;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    Window* w = find_window(hwnd);
    if (!w) return nullptr;
    if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (cmd == GW_OWNER) return w->owner;
    const std::vector<HWND>* siblings = &system_state().top_levels;
    if (Window* p = find_window(w->parent)) siblings = &p->children;
    auto it = std::find(siblings->begin(), siblings->end(), hwnd);
    if (it == siblings->end()) return nullptr;
    switch (cmd) {
        case GW_HWNDFIRST:
            return siblings->front();
        case GW_HWNDLAST:
            return siblings->back();
        case GW_HWNDNEXT:
            return it + 1 == siblings->end() ? nullptr : *(it + 1);
        case GW_HWNDPREV:
            return it == siblings->begin() ? nullptr : *(it - 1);
    }
    return nullptr;
}

HWND GetTopWindow(HWND hwnd) {
    if (!hwnd) {
        auto& t = system_state().top_levels;
        return t.empty() ? nullptr : t.back();
    }
    return GetWindow(hwnd, GW_CHILD);
}

HWND GetDesktopWindow(void) { return nullptr; }

BOOL IsChild(HWND parent, HWND hwnd) {
    Window* w = find_window(hwnd);
    while (w && w->parent) {
        if (w->parent == parent) return TRUE;
        w = find_window(w->parent);
    }
    return FALSE;
}

int GetDlgCtrlID(HWND hwnd) {
    Window* w = find_window(hwnd);
    return w && w->parent ? int(w->id) : 0;
}

HWND GetDlgItem(HWND dlg, int id) {
    Window* w = find_window(dlg);
    if (!w) return nullptr;
    for (HWND c : w->children)
        if (Window* cw = find_window(c); cw && int(cw->id) == id) return c;
    return nullptr;
}

HWND FindWindowA(LPCSTR class_name, LPCSTR window_name) {
    for (HWND t : system_state().top_levels) {
        Window* w = find_window(t);
        if (!w) continue;
        if (class_name && !IS_INTRESOURCE(class_name) &&
            !CaseBlindLess{}.operator()(w->window_class->name, class_name) &&
            !CaseBlindLess{}.operator()(class_name, w->window_class->name)) {
            if (!window_name || w->text == window_name) return t;
        } else if (!class_name && window_name && w->text == window_name) {
            return t;
        }
    }
    return nullptr;
}

}  // extern "C"
