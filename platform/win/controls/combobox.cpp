// COMBOBOX, drop-down list style: a field showing the chosen item and a
// button; the list drops down in a popup window that holds the items.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "win/controls/control_classes.h"
#include "win/controls/listbox.h"

namespace win::controls::combobox {
namespace {

struct State : ControlBase {
    HWND list = nullptr;
    int drop_height = 100;  // the height the combo was created with
    bool dropped = false;
    int cur_before_drop = -1;
};

// The field holds one item with some air, inside the two-pixel sunken edge.
int field_height(HWND list) { return int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0)) + 6; }

LRESULT to_list(const State& s, UINT msg, WPARAM wp, LPARAM lp) {
    return s.list ? SendMessageA(s.list, msg, wp, lp) : CB_ERR;
}

int cur(const State& s) { return int(to_list(s, LB_GETCURSEL, 0, 0)); }

// The window itself is as tall as its field (inside a two-pixel edge); the
// rest of the height it was created with belongs to the list.
void fit_to_field(HWND hwnd, const State& s) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, field_height(s.list) + 2 * 2,
                 SWP_NOMOVE | SWP_NOZORDER);
}

void create_list(HWND hwnd, State& s, const CREATESTRUCTA* cs) {
    s.drop_height = cs ? cs->cy : 100;
    DWORD list_style = WS_POPUP | WS_BORDER | WS_VSCROLL;
    if (cs && (cs->style & CBS_SORT)) list_style |= LBS_SORT;
    s.list = CreateWindowExA(0, kComboListClass, "", list_style, 0, 0, 10, 10, hwnd, nullptr,
                             nullptr, nullptr);
    if (auto* ls = state_of<listbox::State>(s.list)) ls->combo = hwnd;
    fit_to_field(hwnd, s);
}

void close_up(HWND hwnd, State& s, bool chosen) {
    if (!s.dropped) return;
    s.dropped = false;
    if (GetCapture() == s.list) ReleaseCapture();
    ShowWindow(s.list, SW_HIDE);
    const int now = cur(s);
    if (!chosen && now != s.cur_before_drop)
        SendMessageA(s.list, LB_SETCURSEL, WPARAM(s.cur_before_drop), 0);
    notify_parent(hwnd, chosen ? CBN_SELENDOK : CBN_SELENDCANCEL);
    notify_parent(hwnd, CBN_CLOSEUP);
    if (chosen && now != s.cur_before_drop) notify_parent(hwnd, CBN_SELCHANGE);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void drop_down(HWND hwnd, State& s) {
    if (s.dropped || !s.list) return;
    notify_parent(hwnd, CBN_DROPDOWN);
    if (!IsWindow(hwnd)) return;
    RECT r{};
    GetWindowRect(hwnd, &r);
    const int item = int(SendMessageA(s.list, LB_GETITEMHEIGHT, 0, 0));
    const int items = std::max(1, int(SendMessageA(s.list, LB_GETCOUNT, 0, 0)));
    const int room = std::max(item, s.drop_height - (r.bottom - r.top));
    const int height = std::min(room / item, items) * item + 2;
    SetWindowPos(s.list, nullptr, r.left, r.bottom, r.right - r.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    s.cur_before_drop = cur(s);
    s.dropped = true;
    SendMessageA(s.list, LB_SETCURSEL, WPARAM(s.cur_before_drop), 0);
    ShowWindow(s.list, SW_SHOWNOACTIVATE);
    UpdateWindow(s.list);
    SetCapture(s.list);
    InvalidateRect(hwnd, nullptr, FALSE);
}

// Keys move the selection in place while closed, and the highlight while open.
bool key_down(HWND hwnd, State& s, WPARAM vk, bool alt) {
    if (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
        if (s.dropped)
            close_up(hwnd, s, true);
        else
            drop_down(hwnd, s);
        return true;
    }
    if (s.dropped && (vk == VK_RETURN || vk == VK_ESCAPE)) {
        close_up(hwnd, s, vk == VK_RETURN);
        return true;
    }
    if (vk != VK_UP && vk != VK_DOWN && vk != VK_HOME && vk != VK_END && vk != VK_PRIOR &&
        vk != VK_NEXT)
        return false;
    const int before = cur(s);
    SendMessageA(s.list, WM_KEYDOWN, vk, 0);
    if (!s.dropped && cur(s) != before) {
        InvalidateRect(hwnd, nullptr, FALSE);
        notify_parent(hwnd, CBN_SELCHANGE);
    }
    return true;
}

void typed(HWND hwnd, State& s, WPARAM ch) {
    const int before = cur(s);
    SendMessageA(s.list, WM_CHAR, ch, 0);
    if (!s.dropped && cur(s) != before) {
        InvalidateRect(hwnd, nullptr, FALSE);
        notify_parent(hwnd, CBN_SELCHANGE);
    }
}

void paint(HWND hwnd, const State& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    RECT rc = client_rect(hwnd);
    const bool enabled = is_enabled(hwnd);
    HBRUSH bg = parent_color(hwnd, dc, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
    FillRect(dc, &rc, bg);
    DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    RECT button = rc;
    button.left = button.right - GetSystemMetrics(SM_CXVSCROLL);
    fill(dc, button, COLOR_BTNFACE);
    if (s.dropped)
        bevel(dc, button, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
    else
        raised_frame(dc, button);
    static const char* const arrow[] = {"xxxxxxx", ".xxxxx.", "..xxx..", "...x..."};
    const int ax = (button.left + button.right - 7) / 2 + (s.dropped ? 1 : 0);
    const int ay = (button.top + button.bottom - 4) / 2 + (s.dropped ? 1 : 0);
    draw_picture(dc, ax, ay, arrow, 4, {{'x', enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT}});
    RECT field{rc.left + 1, rc.top + 1, button.left - 1, rc.bottom - 1};
    const int i = cur(s);
    HGDIOBJ old_font = SelectObject(dc, control_font(s));
    SetBkMode(dc, TRANSPARENT);
    const bool focused = has_focus(hwnd) && !s.dropped;
    if (focused) fill(dc, field, COLOR_HIGHLIGHT);
    if (i >= 0) {
        int n = int(SendMessageA(s.list, LB_GETTEXTLEN, WPARAM(i), 0));
        std::string text(size_t(std::max(n, 0)) + 1, '\0');
        SendMessageA(s.list, LB_GETTEXT, WPARAM(i), LPARAM(text.data()));
        RECT label = field;
        label.left += 2;
        SetTextColor(dc, GetSysColor(focused   ? COLOR_HIGHLIGHTTEXT
                                     : enabled ? COLOR_WINDOWTEXT
                                               : COLOR_GRAYTEXT));
        DrawTextA(dc, text.c_str(), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (focused) DrawFocusRect(dc, &field);
    SelectObject(dc, old_font);
    EndPaint(hwnd, &ps);
}

// CB_ messages that are LB_ messages of the list under another number.
UINT list_message(UINT msg) {
    switch (msg) {
        case CB_ADDSTRING:
            return LB_ADDSTRING;
        case CB_INSERTSTRING:
            return LB_INSERTSTRING;
        case CB_DELETESTRING:
            return LB_DELETESTRING;
        case CB_GETCOUNT:
            return LB_GETCOUNT;
        case CB_GETCURSEL:
            return LB_GETCURSEL;
        case CB_GETLBTEXT:
            return LB_GETTEXT;
        case CB_GETLBTEXTLEN:
            return LB_GETTEXTLEN;
        case CB_GETITEMDATA:
            return LB_GETITEMDATA;
        case CB_SETITEMDATA:
            return LB_SETITEMDATA;
        case CB_FINDSTRING:
            return LB_FINDSTRING;
        case CB_FINDSTRINGEXACT:
            return LB_FINDSTRINGEXACT;
        case CB_GETITEMHEIGHT:
            return LB_GETITEMHEIGHT;
    }
    return 0;
}

LRESULT handle(HWND hwnd, State& s, UINT msg, WPARAM wp, LPARAM lp) {
    if (UINT lm = list_message(msg)) {
        LRESULT r = to_list(s, lm, wp, lp);
        if (msg == CB_ADDSTRING || msg == CB_INSERTSTRING || msg == CB_DELETESTRING)
            InvalidateRect(hwnd, nullptr, FALSE);
        return r;
    }
    switch (msg) {
        case WM_CREATE:
            create_list(hwnd, s, reinterpret_cast<const CREATESTRUCTA*>(lp));
            return s.list ? 0 : -1;
        case WM_DESTROY:
            if (s.list) DestroyWindow(s.list);
            s.list = nullptr;
            return 0;
        case WM_SETFONT:
            if (s.list) SendMessageA(s.list, WM_SETFONT, wp, lp);
            if (s.list) fit_to_field(hwnd, s);
            return 0;
        case WM_PAINT:
            paint(hwnd, s);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS | (s.dropped ? DLGC_WANTALLKEYS : 0);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (msg == WM_KILLFOCUS) close_up(hwnd, s, false);
            InvalidateRect(hwnd, nullptr, FALSE);
            notify_parent(hwnd, msg == WM_SETFOCUS ? CBN_SETFOCUS : CBN_KILLFOCUS);
            return 0;
        case WM_ENABLE:
            if (!wp) close_up(hwnd, s, false);
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (GetFocus() != hwnd) SetFocus(hwnd);
            if (s.dropped)
                close_up(hwnd, s, false);
            else
                drop_down(hwnd, s);
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return key_down(hwnd, s, wp, lp & (LPARAM(1) << 29))
                       ? 0
                       : DefWindowProcA(hwnd, msg, wp, lp);
        case WM_CHAR:
            typed(hwnd, s, wp);
            return 0;
        case listbox::kListChose:
            close_up(hwnd, s, wp != 0);
            return 0;
        case WM_GETTEXT: {
            char* out = reinterpret_cast<char*>(lp);
            const int i = cur(s);
            if (!out || wp == 0) return 0;
            out[0] = 0;
            if (i < 0) return 0;
            std::string buf(
                size_t(std::max<LRESULT>(to_list(s, LB_GETTEXTLEN, WPARAM(i), 0), 0)) + 1, '\0');
            to_list(s, LB_GETTEXT, WPARAM(i), LPARAM(buf.data()));
            size_t n = std::min(std::strlen(buf.c_str()), size_t(wp) - 1);
            std::memcpy(out, buf.data(), n);
            out[n] = 0;
            return LRESULT(n);
        }
        case WM_GETTEXTLENGTH: {
            const int i = cur(s);
            return i < 0 ? 0 : to_list(s, LB_GETTEXTLEN, WPARAM(i), 0);
        }
        case WM_SETTEXT: {
            int i = int(to_list(s, LB_FINDSTRINGEXACT, WPARAM(-1), lp));
            if (i == CB_ERR) return CB_ERR;
            to_list(s, LB_SETCURSEL, WPARAM(i), 0);
            InvalidateRect(hwnd, nullptr, FALSE);
            return TRUE;
        }
        case CB_SETCURSEL: {
            LRESULT r = to_list(s, LB_SETCURSEL, wp, lp);
            InvalidateRect(hwnd, nullptr, FALSE);
            return r;
        }
        case CB_SELECTSTRING: {
            LRESULT r = to_list(s, LB_SELECTSTRING, wp, lp);
            InvalidateRect(hwnd, nullptr, FALSE);
            return r;
        }
        case CB_RESETCONTENT:
            to_list(s, LB_RESETCONTENT, 0, 0);
            InvalidateRect(hwnd, nullptr, FALSE);
            return CB_OKAY;
        case CB_SHOWDROPDOWN:
            if (wp)
                drop_down(hwnd, s);
            else
                close_up(hwnd, s, false);
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return s.dropped;
        case CB_GETDROPPEDCONTROLRECT: {
            auto* r = reinterpret_cast<RECT*>(lp);
            if (!r) return CB_ERR;
            GetWindowRect(hwnd, r);
            r->bottom = r->top + s.drop_height;
            return CB_OKAY;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace
}  // namespace win::controls::combobox

namespace win::controls {

LRESULT CALLBACK combobox_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<combobox::State, combobox::handle>(hwnd, msg, wp, lp);
}

}  // namespace win::controls
