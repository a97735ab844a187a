// Device contexts: creation over window surfaces and memory bitmaps, object
// selection, saved states, viewport origin and clipping.
#include "win/gdi/device_context.h"

#include <algorithm>

#include "win/gdi/canvas.h"
#include "win/gdi/font.h"
#include "win/gdi/objects.h"

namespace win::gdi {
namespace {

DcState default_state() {
    DcState s;
    s.brush = static_cast<HBRUSH>(tables().stock(WHITE_BRUSH));
    s.pen = static_cast<HPEN>(tables().stock(BLACK_PEN));
    s.font = default_gui_font();
    s.text_color = RGB(0, 0, 0);
    s.bk_color = RGB(255, 255, 255);
    s.bk_mode = OPAQUE;
    return s;
}

bool state_uses(const DeviceContext& dc, HBITMAP bm) {
    if (dc.state.bitmap == bm) return true;
    return std::any_of(dc.saved.begin(), dc.saved.end(),
                       [bm](const DcState& s) { return s.bitmap == bm; });
}

void release_if_unused(DeviceContext& dc, HBITMAP bm) {
    Bitmap* b = find_bitmap(bm);
    if (b && !b->stock && !state_uses(dc, bm)) b->selected_in = nullptr;
}

// Points a memory DC at its current bitmap's surface.
void attach_bitmap_surface(DeviceContext& dc) {
    Bitmap* b = find_bitmap(dc.state.bitmap);
    dc.surface = b ? b->surface : std::make_shared<Surface>(1, 1, 0);
    dc.base_clip = {0, 0, dc.surface->width, dc.surface->height};
    dc.state.clip = dc.base_clip;
}

HDC add_dc(std::unique_ptr<DeviceContext> dc) {
    return to_handle<HDC>(tables().dcs.add(std::move(dc)));
}

}  // namespace

HDC create_surface_dc(std::shared_ptr<Surface> surface, POINT origin, RECT clip, HWND window) {
    if (!surface) return nullptr;
    auto dc = std::make_unique<DeviceContext>();
    dc->surface = std::move(surface);
    dc->origin = origin;
    dc->base_clip = intersect(clip, RECT{0, 0, dc->surface->width, dc->surface->height});
    dc->window = window;
    dc->state = default_state();
    dc->state.clip = dc->base_clip;
    return add_dc(std::move(dc));
}

bool delete_surface_dc(HDC hdc) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || dc->memory) return false;
    tables().dcs.remove(hdc);
    return true;
}

HWND dc_window(HDC hdc) {
    DeviceContext* dc = find_dc(hdc);
    return dc ? dc->window : nullptr;
}

bool set_surface_dc_geometry(HDC hdc, POINT origin, RECT clip) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || dc->memory) return false;
    dc->origin = origin;
    dc->base_clip = intersect(clip, RECT{0, 0, dc->surface->width, dc->surface->height});
    dc->state.clip = dc->base_clip;
    for (DcState& s : dc->saved) s.clip = dc->base_clip;
    return true;
}

}  // namespace win::gdi

using namespace win::gdi;

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc && !find_dc(hdc)) return nullptr;
    auto dc = std::make_unique<DeviceContext>();
    dc->memory = true;
    dc->state = default_state();
    dc->default_bitmap = static_cast<HBITMAP>(tables().stock(kDefaultBitmap));
    dc->state.bitmap = dc->default_bitmap;
    attach_bitmap_surface(*dc);
    return win::to_handle<HDC>(tables().dcs.add(std::move(dc)));
}

BOOL DeleteDC(HDC hdc) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc) return FALSE;
    std::vector<HBITMAP> held{dc->state.bitmap};
    for (const DcState& s : dc->saved) held.push_back(s.bitmap);
    auto owned = tables().dcs.remove(hdc);
    for (HBITMAP bm : held)
        if (Bitmap* b = find_bitmap(bm); b && b->selected_in == hdc) b->selected_in = nullptr;
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || !obj) return nullptr;
    DcState& s = dc->state;
    switch (win::handle_kind(obj)) {
        case win::HandleKind::Brush: {
            if (!tables().brushes.get(obj)) return nullptr;
            HBRUSH old = s.brush;
            s.brush = static_cast<HBRUSH>(obj);
            return old;
        }
        case win::HandleKind::Pen: {
            if (!tables().pens.get(obj)) return nullptr;
            HPEN old = s.pen;
            s.pen = static_cast<HPEN>(obj);
            return old;
        }
        case win::HandleKind::Font: {
            if (!tables().fonts.get(obj)) return nullptr;
            HFONT old = s.font;
            s.font = static_cast<HFONT>(obj);
            return old;
        }
        case win::HandleKind::Bitmap: {
            auto bm = static_cast<HBITMAP>(obj);
            Bitmap* b = find_bitmap(bm);
            if (!b || !dc->memory) return nullptr;
            if (b->selected_in && b->selected_in != hdc) return nullptr;
            HBITMAP old = s.bitmap;
            if (old == bm) return old;
            s.bitmap = bm;
            if (!b->stock) b->selected_in = hdc;
            release_if_unused(*dc, old);
            attach_bitmap_surface(*dc);
            return old;
        }
        default:
            return nullptr;
    }
}

int SaveDC(HDC hdc) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc) return 0;
    dc->saved.push_back(dc->state);
    return int(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int saved) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc) return FALSE;
    int level = saved < 0 ? int(dc->saved.size()) + 1 + saved : saved;
    if (level < 1 || level > int(dc->saved.size())) return FALSE;
    HBITMAP before = dc->state.bitmap;
    dc->state = dc->saved[std::size_t(level - 1)];
    dc->saved.resize(std::size_t(level - 1));
    if (dc->memory && dc->state.bitmap != before) {
        // The restored bitmap may have been deleted meanwhile; fall back to the default one.
        if (!find_bitmap(dc->state.bitmap)) dc->state.bitmap = dc->default_bitmap;
        RECT clip = dc->state.clip;
        attach_bitmap_surface(*dc);
        dc->state.clip = intersect(clip, dc->base_clip);
        release_if_unused(*dc, before);
    }
    return TRUE;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->state.viewport;
    dc->state.viewport = {x, y};
    return TRUE;
}

BOOL GetViewportOrgEx(HDC hdc, LPPOINT out) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || !out) return FALSE;
    *out = dc->state.viewport;
    return TRUE;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    Canvas c(hdc);
    if (!c.ok()) return 0;
    RECT r = c.to_surface(RECT{left, top, right, bottom});
    DcState& s = c.dc().state;
    s.clip = intersect(s.clip, r);
    return empty(s.clip) ? NULLREGION : SIMPLEREGION;
}

int GetClipBox(HDC hdc, LPRECT out) {
    Canvas c(hdc);
    if (!c.ok() || !out) return 0;
    RECT r = c.clip();
    if (empty(r)) {
        *out = {0, 0, 0, 0};
        return NULLREGION;
    }
    POINT o = c.offset();
    *out = {r.left - o.x, r.top - o.y, r.right - o.x, r.bottom - o.y};
    return SIMPLEREGION;
}

int SetStretchBltMode(HDC hdc, int mode) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return std::exchange(dc->state.stretch_mode, mode);
}

int SetBkMode(HDC hdc, int mode) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->state.bk_mode, mode);
}

int GetBkMode(HDC hdc) {
    DeviceContext* dc = find_dc(hdc);
    return dc ? dc->state.bk_mode : 0;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    DeviceContext* dc = find_dc(hdc);
    return dc ? std::exchange(dc->state.bk_color, color & 0xffffff) : CLR_INVALID;
}

COLORREF GetBkColor(HDC hdc) {
    DeviceContext* dc = find_dc(hdc);
    return dc ? dc->state.bk_color : CLR_INVALID;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    DeviceContext* dc = find_dc(hdc);
    return dc ? std::exchange(dc->state.text_color, color & 0xffffff) : CLR_INVALID;
}

COLORREF GetTextColor(HDC hdc) {
    DeviceContext* dc = find_dc(hdc);
    return dc ? dc->state.text_color : CLR_INVALID;
}
