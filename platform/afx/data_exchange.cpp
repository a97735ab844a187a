// Data exchange between dialog controls and member values, with the
// framework's integer validation.
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "afx/afx_state.h"

CDataExchange::CDataExchange(CWnd* dlg, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlg) {}

HWND CDataExchange::PrepareCtrl(int id) {
    HWND h = GetDlgItem(m_pDlgWnd->m_hWnd, id);
    m_hWndLastControl = h;
    m_bEditLastControl = FALSE;
    return h;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND h = PrepareCtrl(id);
    m_bEditLastControl = TRUE;
    return h;
}

void CDataExchange::Fail() {
    if (!m_bFailed && m_bSaveAndValidate && m_hWndLastControl) {
        // Back to the field at fault, its text selected for retyping.
        SetFocus(m_hWndLastControl);
        if (m_bEditLastControl) SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    m_bFailed = TRUE;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx->m_bFailed || control.m_hWnd) return;
    HWND h = dx->PrepareCtrl(id);
    if (!h || !control.SubclassWindow(h)) dx->Fail();
}

namespace {

// Whole text of a control; empty when it is missing.
CString control_text(HWND h) {
    CString s;
    int n = GetWindowTextLengthA(h);
    GetWindowTextA(h, s.GetBuffer(n), n + 1);
    s.ReleaseBuffer();
    return s;
}

bool parse_long(const char* text, long& out) {
    while (*text == ' ' || *text == '\t') ++text;
    if (!*text) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    while (*end == ' ' || *end == '\t') ++end;
    if (*end || errno == ERANGE) return false;
    out = v;
    return true;
}

template <typename T>
void exchange_integer(CDataExchange* dx, int id, T& value, long min, long max) {
    if (dx->m_bFailed) return;
    HWND h = dx->PrepareEditCtrl(id);
    if (!h) {
        dx->Fail();
        return;
    }
    if (!dx->m_bSaveAndValidate) {
        CString s;
        s.Format("%ld", long(value));
        SetWindowTextA(h, s);
        return;
    }
    long v = 0;
    if (!parse_long(control_text(h), v) || v < min || v > max) {
        AfxMessageBox(AFX_IDP_PARSE_INT, MB_OK);
        dx->Fail();
        return;
    }
    value = T(v);
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, int& value) {
    exchange_integer(dx, id, value, INT_MIN, INT_MAX);
}
void DDX_Text(CDataExchange* dx, int id, UINT& value) {
    exchange_integer(dx, id, value, 0, long(UINT_MAX));
}
void DDX_Text(CDataExchange* dx, int id, long& value) {
    exchange_integer(dx, id, value, LONG_MIN, LONG_MAX);
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    if (dx->m_bFailed) return;
    HWND h = dx->PrepareEditCtrl(id);
    if (!h) {
        dx->Fail();
        return;
    }
    if (dx->m_bSaveAndValidate)
        value = control_text(h);
    else
        SetWindowTextA(h, value);
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max) {
    if (dx->m_bFailed || !dx->m_bSaveAndValidate || (value >= min && value <= max)) return;
    CString s;
    s.Format("Please enter an integer between %d and %d.", min, max);
    AfxMessageBox(s, MB_OK);
    dx->Fail();
}
