// IsDialogMessageA: Tab and Shift+Tab, arrows inside a group, Enter for the
// default button, Escape for IDCANCEL and the "&" letters of the controls.
// A control that asks for a key through WM_GETDLGCODE gets it instead.
#include <strings.h>

#include <cctype>
#include <string>
#include <vector>

#include "win/dialogs/control_messages.h"
#include "win/dialogs/dialog_state.h"

namespace win::dialogs {

namespace {

std::string text_of(HWND hwnd) {
    char buf[512] = {};
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

// The letter after a single '&', lower case; 0 for none.
char mnemonic_of(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return char(std::tolower(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

bool class_is(HWND hwnd, const char* name) {
    char buf[32] = {};
    GetClassNameA(hwnd, buf, sizeof buf);
    return strcasecmp(buf, name) == 0;
}

DWORD button_type(HWND hwnd) { return DWORD(GetWindowLongA(hwnd, GWL_STYLE)) & msg::bs_typemask; }

bool takes_prefix(HWND c) {
    if (class_is(c, "STATIC")) return !(GetWindowLongA(c, GWL_STYLE) & 0x80 /* SS_NOPREFIX */);
    return class_is(c, "BUTTON");
}

// A label (static text or group box) hands the focus to the next control
// that can take it.
HWND after_label(HWND dlg, HWND label) {
    for (HWND c = GetWindow(label, GW_HWNDNEXT); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) || !IsWindowEnabled(c)) continue;
        if (class_is(c, "STATIC")) continue;
        if (class_is(c, "BUTTON") && button_type(c) == msg::bs_groupbox) continue;
        return c;
    }
    (void)dlg;
    return nullptr;
}

void activate_control(HWND dlg, HWND c) {
    if (!class_is(c, "BUTTON")) {
        focus_control(dlg, c, true);
        return;
    }
    switch (button_type(c)) {
        case msg::bs_pushbutton:
        case msg::bs_defpushbutton:
        case msg::bs_ownerdraw:
            press_command(dlg, GetDlgCtrlID(c));
            return;
        default:
            focus_control(dlg, c, false);
            SendMessageA(c, msg::bm_click, 0, 0);
            return;
    }
}

bool handle_mnemonic(HWND dlg, char typed) {
    char want = char(std::tolower(static_cast<unsigned char>(typed)));
    if (!want) return false;
    std::vector<HWND> kids;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) kids.push_back(c);
    // Start after the focused control so that a repeated letter moves on.
    size_t start = 0;
    HWND focus = GetFocus();
    for (size_t i = 0; i < kids.size(); ++i)
        if (kids[i] == focus) start = i + 1;
    for (size_t k = 0; k < kids.size(); ++k) {
        HWND c = kids[(start + k) % kids.size()];
        if (!(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) || !takes_prefix(c)) continue;
        if (mnemonic_of(text_of(c)) != want) continue;
        bool label = class_is(c, "STATIC") || button_type(c) == msg::bs_groupbox;
        if (label) {
            if (HWND next = after_label(dlg, c)) focus_control(dlg, next, true);
            return true;
        }
        if (!IsWindowEnabled(c)) continue;
        activate_control(dlg, c);
        return true;
    }
    return false;
}

bool is_radio(HWND c, UINT code) {
    if (code & DLGC_RADIOBUTTON) return true;
    DWORD t = button_type(c);
    return class_is(c, "BUTTON") && (t == msg::bs_radiobutton || t == msg::bs_autoradiobutton);
}

void move_in_group(HWND dlg, HWND from, bool previous) {
    HWND next = GetNextDlgGroupItem(dlg, from, previous ? TRUE : FALSE);
    if (!next || next == from) return;
    UINT code = dialog_code(next);
    focus_control(dlg, next, true);
    // An auto radio button may choose itself on taking the focus.
    if (is_radio(next, code) && SendMessageA(next, msg::bm_getcheck, 0, 0) == 0)
        SendMessageA(next, msg::bm_click, 0, 0);
}

}  // namespace

}  // namespace win::dialogs

using namespace win::dialogs;

extern "C" BOOL IsDialogMessageA(HWND dlg, LPMSG m) {
    if (!m || !IsWindow(dlg)) return FALSE;
    if (m->hwnd != dlg && !IsChild(dlg, m->hwnd)) return FALSE;
    switch (m->message) {
        case WM_KEYDOWN: {
            UINT code = dialog_code(m->hwnd, m);
            if (code & DLGC_WANTMESSAGE) break;
            bool shift = GetKeyState(VK_SHIFT) < 0;
            switch (m->wParam) {
                case VK_TAB:
                    if (code & DLGC_WANTTAB) break;
                    SendMessageA(dlg, WM_NEXTDLGCTL, shift ? 1 : 0, 0);
                    return TRUE;
                case VK_LEFT:
                case VK_UP:
                case VK_RIGHT:
                case VK_DOWN:
                    if (code & DLGC_WANTARROWS) break;
                    if (m->hwnd != dlg)
                        move_in_group(dlg, m->hwnd, m->wParam == VK_LEFT || m->wParam == VK_UP);
                    return TRUE;
                case VK_RETURN:
                    press_command(dlg, enter_button_id(dlg));
                    return TRUE;
                case VK_ESCAPE:
                    press_command(dlg, IDCANCEL);
                    return TRUE;
            }
            break;
        }
        case WM_CHAR: {
            UINT code = dialog_code(m->hwnd, m);
            if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) break;
            if (handle_mnemonic(dlg, char(m->wParam))) return TRUE;
            break;
        }
        case WM_SYSCHAR:
            if (handle_mnemonic(dlg, char(m->wParam))) return TRUE;
            break;
    }
    TranslateMessage(m);
    DispatchMessageA(m);
    return TRUE;
}
