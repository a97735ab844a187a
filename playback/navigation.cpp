// Stepping, seeking and timed playback; the seek bar's position is the
// current frame.
#include "commctrl.h"
#include "ui/korvane_dlg.h"
#include "ui/resource_ids.h"

namespace {

int position_of(HWND seek) { return int(::SendMessageA(seek, TBM_GETPOS, 0, 0)); }
void move_to(HWND seek, int position) { ::SendMessageA(seek, TBM_SETPOS, TRUE, LPARAM(position)); }

}  // namespace

void CKorvaneDlg::OnStart() {
    move_to(seekBar.m_hWnd, state.firstFrame);
    ShowCurrentFrame();
}

void CKorvaneDlg::OnEnd() {
    move_to(seekBar.m_hWnd, state.frameCount - 1);
    ShowCurrentFrame();
}

void CKorvaneDlg::OnPrev() {
    int p = position_of(seekBar.m_hWnd);
    if (p <= state.firstFrame) return;
    move_to(seekBar.m_hWnd, p - 1);
    ShowCurrentFrame();
}

void CKorvaneDlg::OnNext() {
    int p = position_of(seekBar.m_hWnd);
    if (p >= state.frameCount - 1) return;
    move_to(seekBar.m_hWnd, p + 1);
    ShowCurrentFrame();
}

void CKorvaneDlg::OnSeekReleased(NMHDR*, LRESULT* result) {
    ShowCurrentFrame();
    *result = 0;
}

// A keyboard move shows its frame at once, so that the view and a Frame export
// agree with the seek bar. Mouse actions hold the capture until the release,
// which draws once.
void CKorvaneDlg::OnSeekScroll(UINT code, UINT, CWnd* control) {
    if (!control || control->m_hWnd != seekBar.m_hWnd || ::GetCapture() == seekBar.m_hWnd) return;
    switch (code) {
        case TB_LINEUP:
        case TB_LINEDOWN:
        case TB_PAGEUP:
        case TB_PAGEDOWN:
        case TB_TOP:
        case TB_BOTTOM:
            ShowCurrentFrame();
            break;
        default:
            break;
    }
}

void CKorvaneDlg::OnPlay() {
    if (state.videoInfo.dwRate == 0) return;
    UINT interval = UINT(1000ull * state.videoInfo.dwScale / state.videoInfo.dwRate);
    ::SetTimer(m_hWnd, kPlaybackTimer, interval, nullptr);
}

void CKorvaneDlg::OnPause() { ::KillTimer(m_hWnd, kPlaybackTimer); }

void CKorvaneDlg::OnTimer(UINT_PTR id) {
    if (id == kPlaybackTimer) {
        move_to(seekBar.m_hWnd, position_of(seekBar.m_hWnd) + 1);
        ShowCurrentFrame();
        if (position_of(seekBar.m_hWnd) >= state.frameCount - 1)
            ::KillTimer(m_hWnd, kPlaybackTimer);
    }
    Default();
}
