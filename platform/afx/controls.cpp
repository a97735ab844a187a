// Wrappers of the standard and common controls: each call is one message.
#include "afx/afx_state.h"
#include "afxcmn.h"

const AFX_MSGMAP* CButton::GetThisMessageMap() {
    static constexpr AFX_MSGMAP map{&CWnd::GetThisMessageMap, nullptr, 0};
    return &map;
}

int CButton::GetCheck() const { return int(SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
void CButton::SetCheck(int check) { SendMessageA(m_hWnd, BM_SETCHECK, WPARAM(check), 0); }
UINT CButton::GetState() const { return UINT(SendMessageA(m_hWnd, BM_GETSTATE, 0, 0)); }
void CButton::SetState(BOOL highlight) { SendMessageA(m_hWnd, BM_SETSTATE, WPARAM(highlight), 0); }
UINT CButton::GetButtonStyle() const { return UINT(GetWindowLongA(m_hWnd, GWL_STYLE)) & 0xff; }
void CButton::SetButtonStyle(UINT style, BOOL redraw) {
    SendMessageA(m_hWnd, BM_SETSTYLE, WPARAM(style), LPARAM(redraw));
}

// A plain button object has nothing to draw; picture buttons do.
void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lp));
        if (result) *result = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(msg, wp, lp, result);
}

HBITMAP CStatic::SetBitmap(HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(
        SendMessageA(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(bitmap)));
}
HBITMAP CStatic::GetBitmap() const {
    return reinterpret_cast<HBITMAP>(SendMessageA(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
}
HICON CStatic::SetIcon(HICON icon) {
    return reinterpret_cast<HICON>(SendMessageA(m_hWnd, STM_SETICON, WPARAM(icon), 0));
}

void CEdit::SetSel(int start, int end, BOOL noScroll) {
    SendMessageA(m_hWnd, EM_SETSEL, WPARAM(start), LPARAM(end));
    if (!noScroll) SendMessageA(m_hWnd, EM_SCROLLCARET, 0, 0);
}
void CEdit::GetSel(int& start, int& end) const {
    DWORD s = 0, e = 0;
    SendMessageA(m_hWnd, EM_GETSEL, WPARAM(&s), LPARAM(&e));
    start = int(s);
    end = int(e);
}
void CEdit::LimitText(int max) { SendMessageA(m_hWnd, EM_LIMITTEXT, WPARAM(max), 0); }
void CEdit::ReplaceSel(LPCSTR text, BOOL canUndo) {
    SendMessageA(m_hWnd, EM_REPLACESEL, WPARAM(canUndo), LPARAM(text));
}

int CSliderCtrl::GetPos() const { return int(SendMessageA(m_hWnd, TBM_GETPOS, 0, 0)); }
void CSliderCtrl::SetPos(int pos) { SendMessageA(m_hWnd, TBM_SETPOS, TRUE, LPARAM(pos)); }
int CSliderCtrl::GetRangeMin() const { return int(SendMessageA(m_hWnd, TBM_GETRANGEMIN, 0, 0)); }
int CSliderCtrl::GetRangeMax() const { return int(SendMessageA(m_hWnd, TBM_GETRANGEMAX, 0, 0)); }
void CSliderCtrl::GetRange(int& min, int& max) const {
    min = GetRangeMin();
    max = GetRangeMax();
}
// Through the two 32-bit messages: the packed form holds only 16 bits a side.
void CSliderCtrl::SetRange(int min, int max, BOOL redraw) {
    SetRangeMin(min, FALSE);
    SetRangeMax(max, redraw);
}
void CSliderCtrl::SetRangeMin(int min, BOOL redraw) {
    SendMessageA(m_hWnd, TBM_SETRANGEMIN, WPARAM(redraw), LPARAM(min));
}
void CSliderCtrl::SetRangeMax(int max, BOOL redraw) {
    SendMessageA(m_hWnd, TBM_SETRANGEMAX, WPARAM(redraw), LPARAM(max));
}
void CSliderCtrl::SetTicFreq(int freq) { SendMessageA(m_hWnd, TBM_SETTICFREQ, WPARAM(freq), 0); }
int CSliderCtrl::SetPageSize(int size) {
    return int(SendMessageA(m_hWnd, TBM_SETPAGESIZE, 0, LPARAM(size)));
}
int CSliderCtrl::SetLineSize(int size) {
    return int(SendMessageA(m_hWnd, TBM_SETLINESIZE, 0, LPARAM(size)));
}

void CProgressCtrl::SetRange(short lower, short upper) {
    SendMessageA(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}
void CProgressCtrl::SetRange32(int lower, int upper) {
    SendMessageA(m_hWnd, PBM_SETRANGE32, WPARAM(lower), LPARAM(upper));
}
int CProgressCtrl::SetPos(int pos) { return int(SendMessageA(m_hWnd, PBM_SETPOS, WPARAM(pos), 0)); }
int CProgressCtrl::GetPos() const { return int(SendMessageA(m_hWnd, PBM_GETPOS, 0, 0)); }
int CProgressCtrl::OffsetPos(int delta) {
    return int(SendMessageA(m_hWnd, PBM_DELTAPOS, WPARAM(delta), 0));
}
int CProgressCtrl::SetStep(int step) {
    return int(SendMessageA(m_hWnd, PBM_SETSTEP, WPARAM(step), 0));
}
int CProgressCtrl::StepIt() { return int(SendMessageA(m_hWnd, PBM_STEPIT, 0, 0)); }
