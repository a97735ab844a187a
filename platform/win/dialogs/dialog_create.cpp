// Building a dialog from a template: the window at its client size in
// dialog units, centred over its owner, the controls in template order with
// the dialog font, then WM_INITDIALOG and the first focus.
#include <strings.h>

#include <algorithm>

#include "commctrl.h"
#include "win/dialogs/control_messages.h"
#include "win/dialogs/dialog_state.h"
#include "win/gdi/font.h"
#include "win/resources/templates.h"
#include "winuser_menus.h"

namespace win::dialogs {

namespace {

HMENU load_template_menu(const res::DialogTemplate& tmpl, HINSTANCE instance) {
    if (tmpl.menu.empty()) return nullptr;
    if (tmpl.menu.is_number()) return LoadMenuA(instance, MAKEINTRESOURCEA(tmpl.menu.id()));
    return LoadMenuA(instance, tmpl.menu.name().c_str());
}

// Grows or shrinks the window so that its client area has the wanted size
// (a menu bar takes room from the client area otherwise).
void fit_client(HWND dlg, int cx, int cy) {
    RECT wr, cr;
    GetWindowRect(dlg, &wr);
    GetClientRect(dlg, &cr);
    int w = (wr.right - wr.left) + (cx - cr.right);
    int h = (wr.bottom - wr.top) + (cy - cr.bottom);
    if (w != wr.right - wr.left || h != wr.bottom - wr.top)
        SetWindowPos(dlg, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
}

bool create_controls(HWND dlg, const res::DialogTemplate& tmpl, HINSTANCE instance, HFONT font) {
    for (const res::DialogControl& c : tmpl.controls) {
        RECT r = dialog_units_to_pixels(c.x, c.y, c.cx, c.cy);
        // A picture static names its bitmap or icon by number.
        LPCSTR text = c.text_id ? MAKEINTRESOURCEA(c.text_id) : c.text.c_str();
        HWND hwnd = CreateWindowExA(c.exstyle | WS_EX_NOPARENTNOTIFY, c.class_name.c_str(), text,
                                    (c.style | WS_CHILD) & ~WS_POPUP, r.left, r.top,
                                    r.right - r.left, r.bottom - r.top, dlg,
                                    reinterpret_cast<HMENU>(INT_PTR(c.id)), instance, nullptr);
        if (!hwnd) {
            if (tmpl.style & DS_NOFAILCREATE) continue;
            return false;
        }
        if (font) SendMessageA(hwnd, WM_SETFONT, WPARAM(font), FALSE);
    }
    return true;
}

int template_default_id(const res::DialogTemplate& tmpl) {
    for (const res::DialogControl& c : tmpl.controls) {
        bool button = c.class_name.size() == 6 && strcasecmp(c.class_name.c_str(), "BUTTON") == 0;
        if (button && (c.style & msg::bs_typemask) == msg::bs_defpushbutton) return c.id;
    }
    return 0;
}

}  // namespace

static RECT work_area() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

POINT centred_position(HWND owner, int width, int height) {
    RECT area = work_area();
    RECT over = area;
    if (owner && IsWindow(owner) && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &over);
    int x = over.left + ((over.right - over.left) - width) / 2;
    int y = over.top + ((over.bottom - over.top) - height) / 2;
    x = std::max(int(area.left), std::min(x, int(area.right) - width));
    y = std::max(int(area.top), std::min(y, int(area.bottom) - height));
    return POINT{x, y};
}

RECT dialog_units_to_pixels(int x, int y, int cx, int cy) {
    int px = MulDiv(x, kBaseUnitX, 4);
    int py = MulDiv(y, kBaseUnitY, 8);
    return RECT{px, py, px + MulDiv(cx, kBaseUnitX, 4), py + MulDiv(cy, kBaseUnitY, 8)};
}

HWND create_dialog(const res::DialogTemplate& tmpl, HINSTANCE instance, HWND owner, DLGPROC proc,
                   LPARAM param) {
    register_dialog_class();
    InitCommonControls();
    bool child = (tmpl.style & WS_CHILD) != 0;
    if (child && !IsWindow(owner)) return nullptr;
    // Dialogs are owned by top-level windows.
    while (!child && owner && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD))
        owner = GetParent(owner);
    const char* cls = tmpl.class_name.empty() ? WC_DIALOG : tmpl.class_name.c_str();
    DWORD ex = tmpl.exstyle;
    if (tmpl.style & DS_MODALFRAME) ex |= WS_EX_DLGMODALFRAME;
    DWORD style = tmpl.style & ~WS_VISIBLE;
    HMENU menu = child ? nullptr : load_template_menu(tmpl, instance);
    RECT size = dialog_units_to_pixels(tmpl.x, tmpl.y, tmpl.cx, tmpl.cy);
    int cx = size.right - size.left, cy = size.bottom - size.top;

    HWND dlg = CreateWindowExA(ex, cls, tmpl.caption.c_str(), style, size.left, size.top, cx, cy,
                               owner, menu, instance, nullptr);
    if (!dlg) return nullptr;
    DialogState& st = attach_dialog_state(dlg);
    st.owner = child ? nullptr : owner;
    // The template's face may not exist here; the GUI font stands in for it
    // (and for the system font of templates without DS_SETFONT).
    st.font = gdi::default_gui_font();
    st.default_id = template_default_id(tmpl);
    SetWindowLongPtrA(dlg, DWLP_DLGPROC, LONG_PTR(proc));

    fit_client(dlg, cx, cy);
    if (!child) {
        RECT wr;
        GetWindowRect(dlg, &wr);
        POINT at = centred_position(st.owner, wr.right - wr.left, wr.bottom - wr.top);
        SetWindowPos(dlg, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
    }
    SendMessageA(dlg, WM_SETFONT, WPARAM(st.font), FALSE);
    if (!create_controls(dlg, tmpl, instance, st.font)) {
        DestroyWindow(dlg);
        return nullptr;
    }

    HWND first = first_tab_stop(dlg);
    INT_PTR focus_first = proc ? SendMessageA(dlg, WM_INITDIALOG, WPARAM(first), param) : TRUE;
    if (!IsWindow(dlg)) return nullptr;
    if (focus_first) {
        // The procedure may have removed or disabled the first tab stop.
        if (!first || !IsWindow(first) || !IsWindowEnabled(first) || !IsWindowVisible(first))
            first = first_tab_stop(dlg);
        if (first) focus_control(dlg, first, true);
    }
    DialogState* now = dialog_state(dlg);
    if ((tmpl.style & WS_VISIBLE) && now && !now->ended) ShowWindow(dlg, SW_SHOWNORMAL);
    return dlg;
}

}  // namespace win::dialogs
