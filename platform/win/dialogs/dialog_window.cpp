// The dialog class "#32770": its per-window records and DefDlgProcA, which
// asks the dialog procedure first and does the dialog manager's part after.
#include <map>

#include "win/dialogs/control_messages.h"
#include "win/dialogs/dialog_state.h"

namespace win::dialogs {

namespace {

std::map<HWND, std::unique_ptr<DialogState>>& states() {
    static std::map<HWND, std::unique_ptr<DialogState>> table;
    return table;
}

// Messages whose result is the dialog procedure's return value itself rather
// than DWLP_MSGRESULT.
bool returns_directly(UINT msg) {
    switch (msg) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
        case 0x0039:  // WM_COMPAREITEM
        case 0x002E:  // WM_VKEYTOITEM
        case 0x002F:  // WM_CHARTOITEM
            return true;
    }
    return false;
}

void set_default_id(HWND dlg, DialogState& st, int id) {
    int old = st.default_id;
    st.default_id = id;
    if (old && old != id)
        if (HWND b = GetDlgItem(dlg, old); b && is_push_button(b))
            SendMessageA(b, msg::bm_setstyle, msg::bs_pushbutton, TRUE);
    if (HWND b = GetDlgItem(dlg, id); b && is_push_button(b))
        SendMessageA(b, msg::bm_setstyle, msg::bs_defpushbutton, TRUE);
}

void on_activate(HWND dlg, DialogState& st, bool active) {
    HWND focus = GetFocus();
    if (!active) {
        if (focus && IsChild(dlg, focus)) st.saved_focus = focus;
        return;
    }
    // Only a dialog that lost the focus gets it back here; first activation
    // leaves the focus to WM_INITDIALOG's rules.
    if (st.saved_focus && IsWindow(st.saved_focus) && IsChild(dlg, st.saved_focus) &&
        !(focus && IsChild(dlg, focus)))
        focus_control(dlg, st.saved_focus, false);
}

LRESULT manager_default(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    DialogState* st = dialog_state(dlg);
    switch (msg) {
        case WM_ERASEBKGND: {
            auto brush =
                reinterpret_cast<HBRUSH>(SendMessageA(dlg, WM_CTLCOLORDLG, wp, LPARAM(dlg)));
            if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);
            RECT rc;
            GetClientRect(dlg, &rc);
            FillRect(reinterpret_cast<HDC>(wp), &rc, brush);
            return 1;
        }
        case WM_ACTIVATE:
            if (st) on_activate(dlg, *st, LOWORD(wp) != 0);
            return 0;
        case WM_SETFOCUS: {
            HWND target = st && st->saved_focus && IsChild(dlg, st->saved_focus)
                              ? st->saved_focus
                              : first_tab_stop(dlg);
            if (target) focus_control(dlg, target, false);
            return 0;
        }
        case WM_CLOSE: {
            HWND cancel = GetDlgItem(dlg, IDCANCEL);
            if (cancel && !IsWindowEnabled(cancel)) {
                MessageBeep(0);
                return 0;
            }
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, msg::bn_clicked), LPARAM(cancel));
            return 0;
        }
        case WM_NEXTDLGCTL: {
            HWND target;
            if (LOWORD(lp)) {
                target = reinterpret_cast<HWND>(wp);
            } else {
                HWND focus = GetFocus();
                if (focus && !IsChild(dlg, focus)) focus = nullptr;
                target = GetNextDlgTabItem(dlg, focus, wp ? TRUE : FALSE);
            }
            if (target && IsChild(dlg, target)) focus_control(dlg, target, LOWORD(lp) == 0);
            return 0;
        }
        case DM_GETDEFID:
            if (st && st->default_id) return MAKELRESULT(st->default_id, DC_HASDEFID);
            return 0;
        case DM_SETDEFID:
            if (st) set_default_id(dlg, *st, int(wp));
            return TRUE;
        case DM_REPOSITION:
            return 0;
        case WM_GETFONT:
            return st ? LRESULT(st->font) : 0;
        case WM_NCDESTROY:
            detach_dialog_state(dlg);
            break;
    }
    return DefWindowProcA(dlg, msg, wp, lp);
}

}  // namespace

DialogState* dialog_state(HWND dialog) {
    auto& t = states();
    auto it = t.find(dialog);
    if (it == t.end()) return nullptr;
    if (!IsWindow(dialog)) {
        t.erase(it);
        return nullptr;
    }
    return it->second.get();
}

DialogState& attach_dialog_state(HWND dialog) {
    auto& slot = states()[dialog];
    slot = std::make_unique<DialogState>();
    return *slot;
}

void detach_dialog_state(HWND dialog) { states().erase(dialog); }

void register_dialog_class() {
    WNDCLASSA existing;
    if (GetClassInfoA(nullptr, WC_DIALOG, &existing)) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefDlgProcA;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.lpszClassName = WC_DIALOG;
    wc.style = CS_SAVEBITS | CS_DBLCLKS;
    RegisterClassA(&wc);
}

bool dialog_ended(HWND dialog, INT_PTR* result) {
    DialogState* st = dialog_state(dialog);
    if (!st) return true;
    if (result) *result = st->result;
    return st->ended;
}

HFONT dialog_font(HWND dialog) {
    DialogState* st = dialog_state(dialog);
    return st ? st->font : nullptr;
}

}  // namespace win::dialogs

using namespace win::dialogs;

extern "C" LRESULT DefDlgProcA(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    if (!IsWindow(dlg)) return 0;
    SetWindowLongPtrA(dlg, DWLP_MSGRESULT, 0);
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(dlg, DWLP_DLGPROC));
    INT_PTR handled = proc ? proc(dlg, msg, wp, lp) : FALSE;
    if (!IsWindow(dlg)) return handled;
    if (handled) {
        if (msg == WM_NCDESTROY) detach_dialog_state(dlg);
        return returns_directly(msg) ? handled : GetWindowLongPtrA(dlg, DWLP_MSGRESULT);
    }
    return manager_default(dlg, msg, wp, lp);
}
