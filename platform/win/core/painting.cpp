// Update regions, WM_PAINT and device contexts for windows. A window's
// update region is kept as one bounding rectangle. Our device contexts clip
// to one rectangle and cannot leave children out, so invalidating a parent
// always invalidates the children it covers: they paint after it.
#include <algorithm>

#include "win/core/window.h"
#include "win/gdi/device_context.h"
#include "win/gdi/surface.h"

namespace win {

namespace {

void invalidate(Window& w, const RECT* client_rect, UINT flags) {
    if (!is_visible_chain(w)) return;
    RECT rc{};
    GetClientRect(w.handle, &rc);
    RECT r = rc;
    if (client_rect) IntersectRect(&r, client_rect, &rc);
    if (flags & RDW_FRAME) w.nc_pending = true;
    if (!IsRectEmpty(&r)) {
        UnionRect(&w.update, &w.update, &r);
        if (flags & RDW_ERASE) w.erase_pending = true;
    }
    if (flags & RDW_NOCHILDREN) return;
    for (HWND c : w.children) {
        Window* cw = find_window(c);
        if (!cw) continue;
        RECT cr;
        if (!IntersectRect(&cr, &r, &cw->rect)) continue;
        // Into the child's client coordinates.
        OffsetRect(&cr, -cw->rect.left - cw->insets.left, -cw->rect.top - cw->insets.top);
        invalidate(*cw, &cr, (flags | RDW_FRAME) & ~RDW_NOCHILDREN);
    }
}

void validate(Window& w, const RECT* client_rect, bool children) {
    RECT rc{};
    GetClientRect(w.handle, &rc);
    if (!client_rect ||
        (client_rect->left <= w.update.left && client_rect->top <= w.update.top &&
         client_rect->right >= w.update.right && client_rect->bottom >= w.update.bottom)) {
        w.update = RECT{};
        w.erase_pending = false;
    }
    if (!children) return;
    for (HWND c : w.children)
        if (Window* cw = find_window(c)) validate(*cw, nullptr, true);
}

bool needs_paint(const Window& w) {
    return is_visible_chain(w) && (!IsRectEmpty(&w.update) || w.nc_pending);
}

Window* first_needing_paint(Window& w) {
    if (!(w.style & WS_VISIBLE) || w.iconic) return nullptr;
    if (needs_paint(w)) return &w;
    for (HWND c : w.children)
        if (Window* cw = find_window(c))
            if (Window* found = first_needing_paint(*cw)) return found;
    return nullptr;
}

void update_now(HWND hwnd, bool children) {
    Window* w = find_window(hwnd);
    if (!w) return;
    if (needs_paint(*w)) send(hwnd, WM_PAINT, 0, 0);
    if (!children || !(w = find_window(hwnd))) return;
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) update_now(c, true);
}

}  // namespace

bool find_paint_message(HWND filter, MSG* out) {
    for (HWND t : system_state().top_levels) {
        Window* w = find_window(t);
        if (!w) continue;
        Window* found = first_needing_paint(*w);
        if (!found) continue;
        if (filter && found->handle != filter && !IsChild(filter, found->handle)) continue;
        *out = MSG{found->handle, WM_PAINT, 0, 0, 0, {}};
        return true;
    }
    return false;
}

void mark_surface_dirty(HWND top, const RECT& r) {
    Window* t = find_window(top);
    if (!t || IsRectEmpty(&r)) return;
    UnionRect(&t->dirty, &t->dirty, &r);
}

void flush_dirty_surfaces() {
    for (HWND h : system_state().top_levels) {
        Window* t = find_window(h);
        if (!t || IsRectEmpty(&t->dirty)) continue;
        RECT d = t->dirty;
        t->dirty = RECT{};
        RECT all{0, 0, t->surface->width, t->surface->height};
        IntersectRect(&d, &d, &all);
        if (!IsRectEmpty(&d) && (t->style & WS_VISIBLE)) backend().present(h, *t->surface, d);
    }
}

}  // namespace win

using namespace win;

namespace {

HDC make_client_dc(Window& w, const RECT* limit_client) {
    HWND top = top_level_of(w.handle);
    Window* t = find_window(top);
    if (!t) return nullptr;
    RECT clip = visible_client_on_surface(w);
    POINT origin = client_origin_on_surface(w);
    if (limit_client) {
        RECT lim = *limit_client;
        OffsetRect(&lim, origin.x, origin.y);
        IntersectRect(&clip, &clip, &lim);
    }
    return gdi::create_surface_dc(t->surface, origin, clip, w.handle);
}

void finish_dc(HDC dc) {
    HWND hwnd = gdi::dc_window(dc);
    if (Window* w = find_window(hwnd)) {
        // The whole window, frame included: drawing may have gone anywhere in it.
        RECT r = w->rect;
        POINT o{0, 0};
        if (Window* p = find_window(w->parent))
            o = client_origin_on_surface(*p);
        else
            OffsetRect(&r, -r.left, -r.top);
        OffsetRect(&r, o.x, o.y);
        mark_surface_dirty(top_level_of(hwnd), r);
    }
    gdi::delete_surface_dc(dc);
}

}  // namespace

extern "C" {

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN, UINT flags) {
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    if (flags & RDW_INVALIDATE) {
        invalidate(*w, rect, flags);
    } else if (flags & RDW_VALIDATE) {
        validate(*w, rect, !(flags & RDW_NOCHILDREN));
    }
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) update_now(hwnd, !(flags & RDW_NOCHILDREN));
    return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    if (!hwnd) {
        for (HWND t : std::vector<HWND>(system_state().top_levels))
            RedrawWindow(t, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return TRUE;
    }
    return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL UpdateWindow(HWND hwnd) {
    return RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    if (rect) *rect = w->update;
    return IsRectEmpty(&w->update) ? FALSE : TRUE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
    Window* w = find_window(hwnd);
    if (!w || !ps) return nullptr;
    *ps = PAINTSTRUCT{};
    if (w->nc_pending) {
        w->nc_pending = false;
        send(hwnd, WM_NCPAINT, 1, 0);
        if (!(w = find_window(hwnd))) return nullptr;
    }
    RECT update = w->update;
    bool erase = w->erase_pending;
    w->update = RECT{};
    w->erase_pending = false;
    HDC dc = make_client_dc(*w, &update);
    if (!dc) return nullptr;
    ps->hdc = dc;
    ps->rcPaint = update;
    ps->fErase = erase && !send(hwnd, WM_ERASEBKGND, WPARAM(dc), 0) ? TRUE : FALSE;
    return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* ps) {
    if (!ps || !ps->hdc) return FALSE;
    finish_dc(ps->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    Window* w = find_window(hwnd);
    if (!w) return nullptr;
    return make_client_dc(*w, nullptr);
}

HDC GetWindowDC(HWND hwnd) {
    Window* w = find_window(hwnd);
    if (!w) return nullptr;
    HWND top = top_level_of(hwnd);
    Window* t = find_window(top);
    POINT origin{0, 0};
    RECT clip{0, 0, t->surface->width, t->surface->height};
    if (w->parent) {
        Window* p = find_window(w->parent);
        POINT po = client_origin_on_surface(*p);
        origin = POINT{po.x + w->rect.left, po.y + w->rect.top};
        RECT wr = w->rect;
        OffsetRect(&wr, po.x, po.y);
        RECT pv = visible_client_on_surface(*p);
        IntersectRect(&clip, &wr, &pv);
    }
    return gdi::create_surface_dc(t->surface, origin, clip, hwnd);
}

int ReleaseDC(HWND, HDC dc) {
    if (!gdi::dc_window(dc)) return 0;
    finish_dc(dc);
    return 1;
}

HWND WindowFromDC(HDC dc) { return gdi::dc_window(dc); }

}  // extern "C"
