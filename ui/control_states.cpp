// Which controls the user can reach with no file, with video and with audio.
#include "commctrl.h"
#include "ui/korvane_dlg.h"
#include "ui/resource_ids.h"

namespace {

void enable(HWND dialog, int id, BOOL on) { ::EnableWindow(::GetDlgItem(dialog, id), on); }

}  // namespace

void CKorvaneDlg::enableVideoControls() {
    for (int id : {IDC_START, IDC_PREV, IDC_PLAY, IDC_PAUSE, IDC_NEXT, IDC_END, IDC_FRAME,
                   IDC_VIDEO, IDC_SAVE, IDC_SEEKBAR})
        enable(m_hWnd, id, TRUE);
}

void CKorvaneDlg::enableAudioControls() {
    for (int id : {IDC_AUDIO, IDC_SAVE}) enable(m_hWnd, id, TRUE);
}

void CKorvaneDlg::disableFileControls() {
    for (int id : {IDC_START, IDC_PREV, IDC_PLAY, IDC_PAUSE, IDC_NEXT, IDC_END, IDC_FRAME,
                   IDC_VIDEO, IDC_AUDIO, IDC_SAVE})
        enable(m_hWnd, id, FALSE);
    ::SendMessageA(::GetDlgItem(m_hWnd, IDC_SEEKBAR), TBM_SETPOS, 1, 0);
    enable(m_hWnd, IDC_SEEKBAR, FALSE);
}
