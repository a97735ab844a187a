// STATIC: text labels, frames and filled rectangles, etched lines, bitmaps
// and icons. Colours come from the parent through WM_CTLCOLORSTATIC.
#include "win/controls/control_classes.h"
#include "win/controls/control_common.h"

namespace win::controls {
namespace {

struct Static : ControlBase {
    HBITMAP bitmap = nullptr;
    HICON icon = nullptr;
    HBITMAP own_bitmap = nullptr;  // loaded from the creation text; ours to delete
};

// A picture static names its picture in its creation text: a resource
// number or name of the module that creates it.
void load_named_image(HWND hwnd, Static& s, const CREATESTRUCTA* cs) {
    if (!cs || !cs->lpszName) return;
    if (!IS_INTRESOURCE(cs->lpszName) && !cs->lpszName[0]) return;
    UINT k = UINT(cs->style) & SS_TYPEMASK;
    if (k == SS_BITMAP) {
        s.own_bitmap = s.bitmap = LoadBitmapA(cs->hInstance, cs->lpszName);
    } else if (k == SS_ICON) {
        s.icon = LoadIconA(cs->hInstance, cs->lpszName);
    }
    (void)hwnd;
}

UINT kind(HWND hwnd) { return UINT(GetWindowLongA(hwnd, GWL_STYLE)) & SS_TYPEMASK; }

bool is_text_kind(UINT k) {
    return k == SS_LEFT || k == SS_CENTER || k == SS_RIGHT || k == SS_SIMPLE ||
           k == SS_LEFTNOWORDWRAP;
}

void draw_text_kind(HWND hwnd, const Static& s, HDC dc, const RECT& rc, HBRUSH bg, UINT k) {
    FillRect(dc, &rc, bg);
    const DWORD style = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
    UINT flags = DT_EXPANDTABS;
    if (k == SS_CENTER)
        flags |= DT_CENTER | DT_WORDBREAK;
    else if (k == SS_RIGHT)
        flags |= DT_RIGHT | DT_WORDBREAK;
    else if (k == SS_LEFT)
        flags |= DT_WORDBREAK;
    else
        flags |= DT_SINGLELINE;
    if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
    if (style & SS_CENTERIMAGE) flags |= DT_VCENTER | DT_SINGLELINE;
    HGDIOBJ old = SelectObject(dc, control_font(s));
    draw_label(dc, window_text_view(hwnd), rc, flags, is_enabled(hwnd));
    SelectObject(dc, old);
}

void draw_bitmap(HDC dc, HBITMAP bitmap, const RECT& rc) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(dc, rc.left, rc.top, info.bmWidth, info.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void paint(HWND hwnd, const Static& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    const RECT rc = client_rect(hwnd);
    const UINT k = kind(hwnd);
    HBRUSH bg = parent_color(hwnd, dc, WM_CTLCOLORSTATIC);
    RECT r = rc;
    switch (k) {
        case SS_BLACKFRAME:
            FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
            break;
        case SS_GRAYFRAME:
            FrameRect(dc, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
            break;
        case SS_WHITEFRAME:
            FrameRect(dc, &rc, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
            break;
        case SS_BLACKRECT:
            fill(dc, rc, COLOR_WINDOWFRAME);
            break;
        case SS_GRAYRECT:
            fill(dc, rc, COLOR_BTNSHADOW);
            break;
        case SS_WHITERECT:
            fill(dc, rc, COLOR_BTNHIGHLIGHT);
            break;
        case SS_ETCHEDHORZ:
            DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
            break;
        case SS_ETCHEDVERT:
            DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT);
            break;
        case SS_ETCHEDFRAME:
            DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
            break;
        case SS_BITMAP:
            FillRect(dc, &rc, bg);
            draw_bitmap(dc, s.bitmap, rc);
            break;
        case SS_ICON:
            FillRect(dc, &rc, bg);
            if (s.icon) DrawIconEx(dc, 0, 0, s.icon, 0, 0, 0, nullptr, DI_NORMAL);
            break;
        case SS_OWNERDRAW: {
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_STATIC;
            dis.CtlID = UINT(GetDlgCtrlID(hwnd));
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = is_enabled(hwnd) ? 0 : ODS_DISABLED;
            dis.hwndItem = hwnd;
            dis.hDC = dc;
            dis.rcItem = rc;
            if (HWND parent = GetParent(hwnd))
                SendMessageA(parent, WM_DRAWITEM, WPARAM(dis.CtlID), LPARAM(&dis));
            break;
        }
        default:
            if (is_text_kind(k)) draw_text_kind(hwnd, s, dc, rc, bg, k);
            break;
    }
    EndPaint(hwnd, &ps);
}

template <class Handle>
LRESULT swap_image(HWND hwnd, Handle& slot, Handle next) {
    Handle old = slot;
    slot = next;
    InvalidateRect(hwnd, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
}

LRESULT handle(HWND hwnd, Static& s, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCCREATE: {
            // A sunken static wears the thin sunken edge outside its client area.
            LONG style = GetWindowLongA(hwnd, GWL_STYLE);
            if (style & SS_SUNKEN)
                SetWindowLongA(hwnd, GWL_EXSTYLE,
                               GetWindowLongA(hwnd, GWL_EXSTYLE) | WS_EX_STATICEDGE);
            load_named_image(hwnd, s, reinterpret_cast<const CREATESTRUCTA*>(lp));
            return DefWindowProcA(hwnd, msg, wp, lp);
        }
        case WM_NCDESTROY: {
            if (s.own_bitmap) DeleteObject(s.own_bitmap);
            s.own_bitmap = nullptr;
            return DefWindowProcA(hwnd, msg, wp, lp);
        }
        case WM_NCHITTEST:
            return (GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
        case WM_PAINT:
            paint(hwnd, s);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcA(hwnd, msg, wp, lp);
            InvalidateRect(hwnd, nullptr, TRUE);
            return r;
        }
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, TRUE);
            if (GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY)
                notify_parent(hwnd, wp ? STN_ENABLE : STN_DISABLE);
            return 0;
        case WM_LBUTTONDOWN:
            if (GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY) notify_parent(hwnd, STN_CLICKED);
            return 0;
        case WM_LBUTTONDBLCLK:
            if (GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY) notify_parent(hwnd, STN_DBLCLK);
            return 0;
        case STM_SETIMAGE:
            if (wp == IMAGE_BITMAP)
                return swap_image(hwnd, s.bitmap, reinterpret_cast<HBITMAP>(lp));
            if (wp == IMAGE_ICON) return swap_image(hwnd, s.icon, reinterpret_cast<HICON>(lp));
            return 0;
        case STM_GETIMAGE:
            if (wp == IMAGE_BITMAP) return reinterpret_cast<LRESULT>(s.bitmap);
            if (wp == IMAGE_ICON) return reinterpret_cast<LRESULT>(s.icon);
            return 0;
        case STM_SETICON:
            return swap_image(hwnd, s.icon, reinterpret_cast<HICON>(wp));
        case STM_GETICON:
            return reinterpret_cast<LRESULT>(s.icon);
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK static_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<Static, handle>(hwnd, msg, wp, lp);
}

}  // namespace win::controls
