// Tab order, groups, the default push button and moving the focus between a
// dialog's controls. The order is the order of the children (template order).
#include <strings.h>

#include <vector>

#include "win/dialogs/control_messages.h"
#include "win/dialogs/dialog_state.h"

namespace win::dialogs {

namespace {

std::vector<HWND> children_of(HWND dlg) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
}

DWORD style_of(HWND hwnd) { return DWORD(GetWindowLongA(hwnd, GWL_STYLE)); }

// The control's own bits count, so that a dialog still hidden during
// WM_INITDIALOG has its tab stops.
bool reachable(HWND c) {
    DWORD s = style_of(c);
    return (s & WS_VISIBLE) && !(s & WS_DISABLED);
}

bool is_tab_stop(HWND c) { return reachable(c) && (style_of(c) & WS_TABSTOP); }

bool is_button_class(HWND c) {
    char name[16] = {};
    GetClassNameA(c, name, sizeof name);
    return strcasecmp(name, "BUTTON") == 0;
}

int index_of(const std::vector<HWND>& v, HWND c) {
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i] == c) return int(i);
    return -1;
}

}  // namespace

UINT dialog_code(HWND control, const MSG* m) {
    WPARAM vk = m ? m->wParam : 0;
    return UINT(SendMessageA(control, WM_GETDLGCODE, vk, LPARAM(m)));
}

bool is_push_button(HWND control) {
    if (!is_button_class(control)) return false;
    DWORD type = style_of(control) & msg::bs_typemask;
    return type == msg::bs_pushbutton || type == msg::bs_defpushbutton;
}

HWND first_tab_stop(HWND dialog) {
    for (HWND c : children_of(dialog))
        if (is_tab_stop(c)) return c;
    return nullptr;
}

void update_default_look(HWND dialog, HWND new_focus) {
    HWND chosen = nullptr;
    if (new_focus && IsChild(dialog, new_focus) && is_push_button(new_focus)) {
        chosen = new_focus;
    } else {
        LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        if (HIWORD(def) == DC_HASDEFID) chosen = GetDlgItem(dialog, LOWORD(def));
    }
    for (HWND c : children_of(dialog)) {
        if (!is_push_button(c)) continue;
        DWORD want = c == chosen ? msg::bs_defpushbutton : msg::bs_pushbutton;
        if ((style_of(c) & msg::bs_typemask) != want) SendMessageA(c, msg::bm_setstyle, want, TRUE);
    }
}

void focus_control(HWND dialog, HWND control, bool select_text) {
    if (!control) return;
    update_default_look(dialog, control);
    SetFocus(control);
    if (select_text && (dialog_code(control) & DLGC_HASSETSEL))
        SendMessageA(control, msg::em_setsel, 0, -1);
}

int enter_button_id(HWND dialog) {
    HWND focus = GetFocus();
    if (focus && IsChild(dialog, focus) && is_push_button(focus)) return GetDlgCtrlID(focus);
    LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    if (HIWORD(def) == DC_HASDEFID) return LOWORD(def);
    return IDOK;
}

void press_command(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, msg::bn_clicked), LPARAM(button));
}

}  // namespace win::dialogs

using namespace win::dialogs;

extern "C" {

HWND GetNextDlgTabItem(HWND dlg, HWND ctl, BOOL previous) {
    if (!IsWindow(dlg)) return nullptr;
    std::vector<HWND> kids = children_of(dlg);
    if (kids.empty()) return nullptr;
    int n = int(kids.size());
    int start = ctl ? index_of(kids, ctl) : -1;
    if (ctl && start < 0) return nullptr;
    if (start < 0) start = previous ? 0 : n - 1;
    for (int step = 1; step <= n; ++step) {
        int i = ((previous ? start - step : start + step) % n + n) % n;
        if (is_tab_stop(kids[size_t(i)])) return kids[size_t(i)];
    }
    return ctl;
}

HWND GetNextDlgGroupItem(HWND dlg, HWND ctl, BOOL previous) {
    if (!IsWindow(dlg)) return nullptr;
    std::vector<HWND> kids = children_of(dlg);
    int at = index_of(kids, ctl);
    if (at < 0) return ctl ? nullptr : first_tab_stop(dlg);
    // The group runs from the nearest WS_GROUP item at or before the control
    // up to the next WS_GROUP item.
    int first = at;
    while (first > 0 && !(style_of(kids[size_t(first)]) & WS_GROUP)) --first;
    int last = at;
    while (last + 1 < int(kids.size()) && !(style_of(kids[size_t(last + 1)]) & WS_GROUP)) ++last;
    int n = last - first + 1;
    for (int step = 1; step < n; ++step) {
        int off = ((at - first + (previous ? -step : step)) % n + n) % n;
        HWND c = kids[size_t(first + off)];
        if (reachable(c)) return c;
    }
    return ctl;
}

}  // extern "C"
