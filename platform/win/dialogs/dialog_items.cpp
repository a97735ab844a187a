// Reading and setting a dialog's controls by id, and dialog units.
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "win/dialogs/control_messages.h"
#include "win/dialogs/dialog_state.h"

using namespace win::dialogs;

extern "C" {

UINT GetDlgItemTextA(HWND dlg, int id, LPSTR out, int max) {
    if (!out || max <= 0) return 0;
    out[0] = 0;
    HWND item = GetDlgItem(dlg, id);
    return item ? UINT(GetWindowTextA(item, out, max)) : 0;
}

BOOL SetDlgItemTextA(HWND dlg, int id, LPCSTR text) {
    HWND item = GetDlgItem(dlg, id);
    return item ? SetWindowTextA(item, text) : FALSE;
}

UINT GetDlgItemInt(HWND dlg, int id, BOOL* translated, BOOL is_signed) {
    if (translated) *translated = FALSE;
    char buf[64] = {};
    if (!GetDlgItemTextA(dlg, id, buf, sizeof buf)) return 0;
    const char* p = buf;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '-' && is_signed) negative = true, ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p))) return 0;
    unsigned long long v = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        v = v * 10 + unsigned(*p - '0');
        if (v > 0xFFFFFFFFull) return 0;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p) return 0;
    if (is_signed && v > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
    if (translated) *translated = TRUE;
    return negative ? UINT(-std::int64_t(v)) : UINT(v);
}

BOOL SetDlgItemInt(HWND dlg, int id, UINT value, BOOL is_signed) {
    char buf[16];
    if (is_signed)
        std::snprintf(buf, sizeof buf, "%d", int(value));
    else
        std::snprintf(buf, sizeof buf, "%u", value);
    return SetDlgItemTextA(dlg, id, buf);
}

BOOL CheckDlgButton(HWND dlg, int id, UINT check) {
    HWND item = GetDlgItem(dlg, id);
    if (!item) return FALSE;
    SendMessageA(item, msg::bm_setcheck, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dlg, int id) {
    HWND item = GetDlgItem(dlg, id);
    return item ? UINT(SendMessageA(item, msg::bm_getcheck, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dlg, int first, int last, int check) {
    if (!IsWindow(dlg)) return FALSE;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(c);
        if (id < first || id > last) continue;
        SendMessageA(c, msg::bm_setcheck, id == check ? 1 : 0, 0);
    }
    return TRUE;
}

LRESULT SendDlgItemMessageA(HWND dlg, int id, UINT m, WPARAM wp, LPARAM lp) {
    HWND item = GetDlgItem(dlg, id);
    return item ? SendMessageA(item, m, wp, lp) : 0;
}

BOOL MapDialogRect(HWND dlg, LPRECT rect) {
    if (!rect || !dialog_state(dlg)) return FALSE;
    rect->left = MulDiv(rect->left, kBaseUnitX, 4);
    rect->right = MulDiv(rect->right, kBaseUnitX, 4);
    rect->top = MulDiv(rect->top, kBaseUnitY, 8);
    rect->bottom = MulDiv(rect->bottom, kBaseUnitY, 8);
    return TRUE;
}

// The system font's units, as the classic platform reports them.
LONG GetDialogBaseUnits(void) { return MAKELONG(8, 16); }

}  // extern "C"
