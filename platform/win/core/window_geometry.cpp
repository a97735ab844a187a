// Positions and sizes: window and client rectangles, non-client insets, and
// mapping points between windows and the screen.
#include <algorithm>

#include "win/core/window.h"
#include "win/gdi/surface.h"

namespace win {

void recalc_nonclient(Window& w) {
    RECT in{};
    int border = 0;
    if (w.parent) {
        if (w.ex_style & WS_EX_CLIENTEDGE) border += 2;
        if (w.ex_style & WS_EX_STATICEDGE) border += 1;
        if (w.style & WS_BORDER) border += 1;
        if (w.ex_style & WS_EX_DLGMODALFRAME) border += 3;
    }
    in = RECT{border, border, border, border};
    if (!w.parent && w.menu && menu_bar_hooks().bar_height)
        in.top += menu_bar_hooks().bar_height(w.handle, w.menu, w.rect.right - w.rect.left);
    w.insets = in;
}

POINT client_origin_on_surface(const Window& w) {
    POINT p{w.insets.left, w.insets.top};
    if (Window* parent = find_window(w.parent)) {
        POINT po = client_origin_on_surface(*parent);
        p.x += po.x + w.rect.left;
        p.y += po.y + w.rect.top;
    }
    return p;
}

RECT client_rect_on_surface(const Window& w) {
    POINT o = client_origin_on_surface(w);
    int cw = std::max(0, int(w.rect.right - w.rect.left - w.insets.left - w.insets.right));
    int ch = std::max(0, int(w.rect.bottom - w.rect.top - w.insets.top - w.insets.bottom));
    return RECT{o.x, o.y, o.x + cw, o.y + ch};
}

RECT visible_client_on_surface(const Window& w) {
    RECT r = client_rect_on_surface(w);
    for (Window* p = find_window(w.parent); p; p = find_window(p->parent)) {
        RECT pr = client_rect_on_surface(*p);
        IntersectRect(&r, &r, &pr);
    }
    return r;
}

bool is_visible_chain(const Window& w) {
    for (const Window* p = &w; p; p = find_window(p->parent))
        if (!(p->style & WS_VISIBLE) || p->iconic) return false;
    return true;
}

bool is_enabled_chain(const Window& w) {
    for (const Window* p = &w; p; p = find_window(p->parent))
        if (p->style & WS_DISABLED) return false;
    return true;
}

}  // namespace win

using namespace win;

namespace {

// Screen position of a window's client origin.
POINT client_origin_on_screen(const Window& w) {
    HWND top = top_level_of(w.handle);
    Window* t = find_window(top);
    POINT o = client_origin_on_surface(w);
    if (t) o.x += t->rect.left, o.y += t->rect.top;
    return o;
}

}  // namespace

extern "C" {

BOOL GetClientRect(HWND hwnd, LPRECT out) {
    Window* w = find_window(hwnd);
    if (!w || !out) return FALSE;
    RECT r = client_rect_on_surface(*w);
    *out = RECT{0, 0, r.right - r.left, r.bottom - r.top};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT out) {
    Window* w = find_window(hwnd);
    if (!w || !out) return FALSE;
    if (!w->parent) {
        *out = w->rect;
        return TRUE;
    }
    Window* p = find_window(w->parent);
    POINT o = client_origin_on_screen(*p);
    *out = w->rect;
    OffsetRect(out, o.x, o.y);
    return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    RECT old = w->rect;
    if (flags & SWP_NOMOVE) x = old.left, y = old.top;
    if (flags & SWP_NOSIZE) cx = old.right - old.left, cy = old.bottom - old.top;
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    bool moved = x != old.left || y != old.top;
    bool sized = cx != old.right - old.left || cy != old.bottom - old.top;
    if (moved || sized) {
        if (w->parent && !(flags & SWP_NOREDRAW)) {
            // Uncover what the window leaves behind.
            RECT was = old;
            InvalidateRect(w->parent, &was, TRUE);
        }
        w->rect = RECT{x, y, x + cx, y + cy};
        recalc_nonclient(*w);
        if (!w->parent) {
            if (sized) w->surface->resize(cx, cy, 0);
            backend().window_moved(hwnd, w->rect);
        }
        if (sized) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
        }
        if (moved) send(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
        if (!(flags & SWP_NOREDRAW))
            RedrawWindow(hwnd, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    if (flags & SWP_FRAMECHANGED) {
        if ((w = find_window(hwnd))) {
            recalc_nonclient(*w);
            RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        }
    }
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int w, int h, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, w, h, SWP_NOZORDER | (repaint ? 0 : SWP_NOREDRAW));
}

int MapWindowPoints(HWND from, HWND to, LPPOINT pts, UINT count) {
    POINT a{}, b{};
    if (from) {
        Window* w = find_window(from);
        if (!w) return 0;
        a = client_origin_on_screen(*w);
    }
    if (to) {
        Window* w = find_window(to);
        if (!w) return 0;
        b = client_origin_on_screen(*w);
    }
    int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; pts && i < count; ++i) pts[i].x += dx, pts[i].y += dy;
    return MAKELONG(WORD(dx), WORD(dy));
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt) {
    if (!find_window(hwnd) || !pt) return FALSE;
    MapWindowPoints(hwnd, nullptr, pt, 1);
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt) {
    if (!find_window(hwnd) || !pt) return FALSE;
    MapWindowPoints(nullptr, hwnd, pt, 1);
    return TRUE;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) {
    Window* w = find_window(parent);
    if (!w) return nullptr;
    for (HWND c : w->children) {
        Window* cw = find_window(c);
        if (cw && (cw->style & WS_VISIBLE) && PtInRect(&cw->rect, pt)) return c;
    }
    RECT rc;
    GetClientRect(parent, &rc);
    return PtInRect(&rc, pt) ? parent : nullptr;
}

HWND WindowFromPoint(POINT pt) {
    auto& tops = system_state().top_levels;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        Window* w = find_window(*it);
        if (!w || !is_visible_chain(*w) || !PtInRect(&w->rect, pt)) continue;
        HWND cur = *it;
        for (;;) {
            POINT local = pt;
            ScreenToClient(cur, &local);
            HWND child = ChildWindowFromPoint(cur, local);
            if (!child || child == cur) return cur;
            cur = child;
        }
    }
    return nullptr;
}

}  // extern "C"
