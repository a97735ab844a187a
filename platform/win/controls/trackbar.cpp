// msctls_trackbar32: range, position, page and line sizes; the thumb dragged
// with the mouse, page clicks on the channel, and the keyboard. Horizontal.
#include "win/controls/trackbar.h"

#include <algorithm>

#include "commctrl.h"
#include "win/controls/control_classes.h"

namespace win::controls::trackbar {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeatMs = 400;
constexpr UINT kRepeatMs = 100;

DWORD style_of(HWND hwnd) { return DWORD(GetWindowLongA(hwnd, GWL_STYLE)); }

Geometry geometry(HWND hwnd, const State& s) {
    return layout(s, style_of(hwnd), client_rect(hwnd));
}

LONG clamped(const State& s, long long v) {
    // The range is stored as given; an inverted one pins the position to min.
    if (s.max < s.min) return s.min;
    return LONG(std::clamp<long long>(v, s.min, s.max));
}

void default_page(State& s) {
    if (s.page_set) return;
    s.page = std::max<LONG>(1, LONG(((long long)s.max - s.min) / 5));
}

void scroll_notify(HWND hwnd, WORD code, LONG pos = 0) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    UINT msg = (style_of(hwnd) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    SendMessageA(parent, msg, MAKEWPARAM(code, WORD(pos)), LPARAM(hwnd));
}

// Moves the thumb for the user and tells the parent; false when nothing moved.
bool user_move(HWND hwnd, State& s, long long to, WORD code) {
    LONG next = clamped(s, to);
    if (next == s.pos) return false;
    s.pos = next;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    scroll_notify(hwnd, code, code == TB_THUMBTRACK || code == TB_THUMBPOSITION ? next : 0);
    return true;
}

// One page toward the held pointer; stops once the thumb has reached it.
void page_step(HWND hwnd, State& s) {
    Geometry g = geometry(hwnd, s);
    int x = s.page_target.x;
    if (s.drag == Drag::PageUp && x < g.thumb.left)
        user_move(hwnd, s, (long long)s.pos - s.page, TB_PAGEUP);
    else if (s.drag == Drag::PageDown && x >= g.thumb.right)
        user_move(hwnd, s, (long long)s.pos + s.page, TB_PAGEDOWN);
}

// Ends a drag or a held page click. Called with the capture still held or
// just lost; the parent hears the end of the action and then the release.
void finish(HWND hwnd, State& s, bool released_by_us) {
    Drag was = s.drag;
    if (was == Drag::None) return;
    s.drag = Drag::None;
    KillTimer(hwnd, kRepeatTimer);
    if (was == Drag::Thumb) scroll_notify(hwnd, TB_THUMBPOSITION, s.pos);
    scroll_notify(hwnd, TB_ENDTRACK);
    if (released_by_us && GetCapture() == hwnd) ReleaseCapture();
    notify_parent_nmhdr(hwnd, NM_RELEASEDCAPTURE);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void mouse_down(HWND hwnd, State& s, POINT pt) {
    if (GetFocus() != hwnd) SetFocus(hwnd);
    if (!IsWindow(hwnd) || s.drag != Drag::None) return;
    Geometry g = geometry(hwnd, s);
    if (PtInRect(&g.thumb, pt)) {
        s.drag = Drag::Thumb;
        s.grab_offset = pt.x - g.thumb.left;
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        return;
    }
    s.drag = pt.x < g.thumb.left ? Drag::PageUp : Drag::PageDown;
    s.page_target = pt;
    SetCapture(hwnd);
    page_step(hwnd, s);
    SetTimer(hwnd, kRepeatTimer, kFirstRepeatMs, nullptr);
}

void mouse_move(HWND hwnd, State& s, POINT pt) {
    if (s.drag == Drag::Thumb) {
        Geometry g = geometry(hwnd, s);
        user_move(hwnd, s, pos_for_thumb_left(s, g.channel, pt.x - s.grab_offset), TB_THUMBTRACK);
    } else if (s.drag != Drag::None) {
        s.page_target = pt;
    }
}

bool key_down(HWND hwnd, State& s, WPARAM vk) {
    switch (vk) {
        case VK_LEFT:
        case VK_UP:
            user_move(hwnd, s, (long long)s.pos - s.line, TB_LINEUP);
            return true;
        case VK_RIGHT:
        case VK_DOWN:
            user_move(hwnd, s, (long long)s.pos + s.line, TB_LINEDOWN);
            return true;
        case VK_PRIOR:
            user_move(hwnd, s, (long long)s.pos - s.page, TB_PAGEUP);
            return true;
        case VK_NEXT:
            user_move(hwnd, s, (long long)s.pos + s.page, TB_PAGEDOWN);
            return true;
        case VK_HOME:
            user_move(hwnd, s, s.min, TB_TOP);
            return true;
        case VK_END:
            user_move(hwnd, s, s.max, TB_BOTTOM);
            return true;
    }
    return false;
}

bool is_move_key(WPARAM vk) {
    return vk == VK_LEFT || vk == VK_UP || vk == VK_RIGHT || vk == VK_DOWN || vk == VK_PRIOR ||
           vk == VK_NEXT || vk == VK_HOME || vk == VK_END;
}

void set_range(HWND hwnd, State& s, LONG min, LONG max, bool redraw) {
    s.min = min;
    s.max = max;
    s.pos = clamped(s, s.pos);
    default_page(s);
    if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
}

LRESULT handle(HWND hwnd, State& s, UINT msg, WPARAM wp, LPARAM lp) {
    const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
        case WM_PAINT:
            paint(hwnd, s);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
            mouse_down(hwnd, s, pt);
            return 0;
        case WM_MOUSEMOVE:
            mouse_move(hwnd, s, pt);
            return 0;
        case WM_LBUTTONUP:
            if (s.drag != Drag::None) finish(hwnd, s, true);
            return 0;
        case WM_CAPTURECHANGED:
            // Someone else took the mouse: the action ends where it is.
            if (HWND(lp) != hwnd) finish(hwnd, s, false);
            return 0;
        case WM_TIMER:
            if (wp == kRepeatTimer && s.drag != Drag::None && s.drag != Drag::Thumb) {
                SetTimer(hwnd, kRepeatTimer, kRepeatMs, nullptr);
                page_step(hwnd, s);
            }
            return 0;
        case WM_KEYDOWN:
            return key_down(hwnd, s, wp) ? 0 : DefWindowProcA(hwnd, msg, wp, lp);
        case WM_KEYUP:
            if (is_move_key(wp)) scroll_notify(hwnd, TB_ENDTRACK);
            return 0;

        case TBM_GETPOS:
            return s.pos;
        case TBM_GETRANGEMIN:
            return s.min;
        case TBM_GETRANGEMAX:
            return s.max;
        case TBM_SETPOS:
            s.pos = clamped(s, LONG(lp));
            if (wp) InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case TBM_SETRANGE:
            set_range(hwnd, s, SHORT(LOWORD(lp)), SHORT(HIWORD(lp)), wp);
            return 0;
        case TBM_SETRANGEMIN:
            set_range(hwnd, s, LONG(lp), s.max, wp);
            return 0;
        case TBM_SETRANGEMAX:
            set_range(hwnd, s, s.min, LONG(lp), wp);
            return 0;
        case TBM_SETPAGESIZE: {
            LONG old = s.page;
            s.page = LONG(lp);
            s.page_set = true;
            return old;
        }
        case TBM_GETPAGESIZE:
            return s.page;
        case TBM_SETLINESIZE: {
            LONG old = s.line;
            s.line = LONG(lp);
            return old;
        }
        case TBM_GETLINESIZE:
            return s.line;
        case TBM_SETTICFREQ:
            s.tic_freq = LONG(wp);
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case TBM_SETTIC:
            if (LONG(lp) < s.min || LONG(lp) > s.max) return FALSE;
            s.tics.push_back(LONG(lp));
            InvalidateRect(hwnd, nullptr, FALSE);
            return TRUE;
        case TBM_GETTIC: {
            std::vector<LONG> extra = s.tics;
            std::sort(extra.begin(), extra.end());
            return wp < extra.size() ? extra[wp] : -1;
        }
        case TBM_CLEARTICS:
            s.tics.clear();
            if (wp) InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case TBM_GETNUMTICS:
            return LRESULT(tick_positions(s, style_of(hwnd)).size());
        case TBM_GETTHUMBRECT:
            if (auto* r = reinterpret_cast<RECT*>(lp)) *r = geometry(hwnd, s).thumb;
            return 0;
        case TBM_GETCHANNELRECT:
            if (auto* r = reinterpret_cast<RECT*>(lp)) *r = geometry(hwnd, s).channel;
            return 0;
        case TBM_SETTHUMBLENGTH:
            s.thumb_length = int(wp);
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case TBM_GETTHUMBLENGTH: {
            RECT t = geometry(hwnd, s).thumb;
            return t.bottom - t.top;
        }
        case TBM_SETSEL:
        case TBM_SETSELSTART:
        case TBM_SETSELEND:
        case TBM_CLEARSEL:
        case TBM_GETSELSTART:
        case TBM_GETSELEND:
        case TBM_SETBUDDY:
        case TBM_GETBUDDY:
            return 0;  // no selection range or buddies here
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

}  // namespace win::controls::trackbar

namespace win::controls {

LRESULT CALLBACK trackbar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<trackbar::State, trackbar::handle>(hwnd, msg, wp, lp);
}

}  // namespace win::controls
