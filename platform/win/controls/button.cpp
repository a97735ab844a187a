// BUTTON: push, default push, owner-drawn, check box, radio button and group
// box. Pressed while the mouse or Space holds it; BN_CLICKED on release inside.
#include "win/controls/button.h"

#include <strings.h>

#include <cstring>

#include "win/controls/control_classes.h"

namespace win::controls::button {
namespace {

bool is_radio(UINT type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }
bool is_check(UINT type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE;
}
bool checkable(UINT type) { return is_radio(type) || is_check(type); }

bool is_button_window(HWND hwnd) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return strcasecmp(name, "Button") == 0;
}

// Redraws at once so that a press shows while the mouse is still down.
void redraw(HWND hwnd, const State& s, UINT owner_action) {
    if (type_of(hwnd) == BS_OWNERDRAW) {
        if (!IsWindowVisible(hwnd)) return;
        HDC dc = GetDC(hwnd);
        draw_owner(hwnd, s, dc, owner_action);
        ReleaseDC(hwnd, dc);
        return;
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void set_pushed(HWND hwnd, State& s, bool pushed) {
    if (s.pushed == pushed) return;
    s.pushed = pushed;
    redraw(hwnd, s, ODA_SELECT);
}

void set_check(HWND hwnd, State& s, UINT check) {
    const UINT type = type_of(hwnd);
    if (!checkable(type)) return;
    if (check > BST_INDETERMINATE ||
        (check == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE))
        check = check ? BST_CHECKED : BST_UNCHECKED;
    // The checked radio button is the tab stop of its group.
    if (is_radio(type)) {
        LONG style = GetWindowLongA(hwnd, GWL_STYLE);
        SetWindowLongA(hwnd, GWL_STYLE, check ? style | WS_TABSTOP : style & ~LONG(WS_TABSTOP));
    }
    if (s.check == check) return;
    s.check = check;
    InvalidateRect(hwnd, nullptr, FALSE);
}

// The auto radio buttons of hwnd's group: from the sibling that starts the
// group (WS_GROUP) up to the next one that starts another.
void uncheck_group_siblings(HWND hwnd) {
    HWND first = hwnd;
    while (!(GetWindowLongA(first, GWL_STYLE) & WS_GROUP)) {
        HWND prev = GetWindow(first, GW_HWNDPREV);
        if (!prev) break;
        first = prev;
    }
    for (HWND h = first; h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (h != first && (GetWindowLongA(h, GWL_STYLE) & WS_GROUP)) break;
        if (h == hwnd || !is_button_window(h) || type_of(h) != BS_AUTORADIOBUTTON) continue;
        if (SendMessageA(h, BM_GETCHECK, 0, 0) != BST_UNCHECKED)
            SendMessageA(h, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

// What a completed press does before the parent hears of it.
void click(HWND hwnd, State& s) {
    switch (type_of(hwnd)) {
        case BS_AUTOCHECKBOX:
            set_check(hwnd, s, s.check ? BST_UNCHECKED : BST_CHECKED);
            break;
        case BS_AUTO3STATE:
            set_check(hwnd, s, (s.check + 1) % 3);
            break;
        case BS_AUTORADIOBUTTON:
            set_check(hwnd, s, BST_CHECKED);
            uncheck_group_siblings(hwnd);
            break;
    }
    UpdateWindow(hwnd);
    notify_parent(hwnd, BN_CLICKED);
}

void mouse_down(HWND hwnd, State& s) {
    s.tracking = true;
    SetCapture(hwnd);
    if (GetFocus() != hwnd) SetFocus(hwnd);
    if (!IsWindow(hwnd) || !s.tracking) return;
    set_pushed(hwnd, s, true);
}

void mouse_up(HWND hwnd, State& s, POINT pt) {
    if (!s.tracking) return;
    s.tracking = false;
    RECT rc = client_rect(hwnd);
    const bool inside = PtInRect(&rc, pt);
    if (GetCapture() == hwnd) ReleaseCapture();
    if (!IsWindow(hwnd)) return;
    set_pushed(hwnd, s, false);
    if (inside) click(hwnd, s);
}

LRESULT dialog_code(UINT type) {
    switch (type) {
        case BS_PUSHBUTTON:
        case BS_PUSHBOX:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
    }
    return DLGC_BUTTON;
}

void focus_changed(HWND hwnd, State& s, bool gained) {
    const UINT type = type_of(hwnd);
    if (!gained) {
        if (s.space) {
            s.space = false;
            set_pushed(hwnd, s, false);
        }
        if (s.tracking && GetCapture() == hwnd) ReleaseCapture();
    }
    redraw(hwnd, s, ODA_FOCUS);
    if (GetWindowLongA(hwnd, GWL_STYLE) & BS_NOTIFY)
        notify_parent(hwnd, gained ? BN_SETFOCUS : BN_KILLFOCUS);
    // Moving onto an unchecked auto radio button from the keyboard chooses it.
    if (gained && type == BS_AUTORADIOBUTTON && !s.tracking && s.check == BST_UNCHECKED)
        click(hwnd, s);
}

LRESULT handle(HWND hwnd, State& s, UINT msg, WPARAM wp, LPARAM lp) {
    const UINT type = type_of(hwnd);
    switch (msg) {
        case WM_CREATE:
            // A group box lets clicks through to the controls drawn inside it.
            if (type == BS_GROUPBOX)
                SetWindowLongA(hwnd, GWL_EXSTYLE,
                               GetWindowLongA(hwnd, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
            return 0;
        case WM_NCHITTEST:
            return type == BS_GROUPBOX ? HTTRANSPARENT : HTCLIENT;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc) paint(hwnd, s, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_GETDLGCODE:
            return dialog_code(type);
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcA(hwnd, msg, wp, lp);
            InvalidateRect(hwnd, nullptr, TRUE);
            return r;
        }
        case WM_ENABLE:
            if (!wp) {
                s.space = false;
                s.pushed = false;
            }
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_SETFOCUS:
            focus_changed(hwnd, s, true);
            return 0;
        case WM_KILLFOCUS:
            focus_changed(hwnd, s, false);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (type != BS_GROUPBOX) mouse_down(hwnd, s);
            return 0;
        case WM_MOUSEMOVE:
            if (s.tracking) {
                RECT rc = client_rect(hwnd);
                set_pushed(hwnd, s,
                           PtInRect(&rc, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}) != FALSE);
            }
            return 0;
        case WM_LBUTTONUP:
            mouse_up(hwnd, s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return 0;
        case WM_CAPTURECHANGED:
            if (s.tracking && HWND(lp) != hwnd) {
                s.tracking = false;
                set_pushed(hwnd, s, false);
            }
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_SPACE && type != BS_GROUPBOX) {
                if (!s.space && !s.tracking) {
                    s.space = true;
                    set_pushed(hwnd, s, true);
                }
                return 0;
            }
            return DefWindowProcA(hwnd, msg, wp, lp);
        case WM_KEYUP:
            if (wp == VK_SPACE && s.space) {
                s.space = false;
                set_pushed(hwnd, s, false);
                click(hwnd, s);
                return 0;
            }
            return DefWindowProcA(hwnd, msg, wp, lp);
        case BM_GETCHECK:
            return checkable(type) ? s.check : BST_UNCHECKED;
        case BM_SETCHECK:
            set_check(hwnd, s, UINT(wp));
            return 0;
        case BM_GETSTATE:
            return (checkable(type) ? s.check : 0) | (s.pushed ? BST_PUSHED : 0) |
                   (has_focus(hwnd) ? BST_FOCUS : 0);
        case BM_SETSTATE:
            set_pushed(hwnd, s, wp != 0);
            return 0;
        case BM_SETSTYLE: {
            LONG style = GetWindowLongA(hwnd, GWL_STYLE);
            SetWindowLongA(hwnd, GWL_STYLE, (style & ~LONG(BS_TYPEMASK)) | LONG(wp & BS_TYPEMASK));
            if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        case BM_CLICK:
            if (!is_enabled(hwnd) || type == BS_GROUPBOX) return 0;
            SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageA(hwnd, WM_LBUTTONUP, 0, 0);
            return 0;
        case BM_GETIMAGE:
            return reinterpret_cast<LRESULT>(s.image);
        case BM_SETIMAGE: {
            HANDLE old = s.image;
            s.image = reinterpret_cast<HANDLE>(lp);
            InvalidateRect(hwnd, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(old);
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace
}  // namespace win::controls::button

namespace win::controls {

LRESULT CALLBACK button_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return control_proc<button::State, button::handle>(hwnd, msg, wp, lp);
}

}  // namespace win::controls
