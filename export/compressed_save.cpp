// One stream saved re-compressed into a new AVI file by the platform.
#include "afxdlgs.h"
#include "commctrl.h"
#include "export/export_messages.h"
#include "ui/korvane_dlg.h"
#include "ui/select_stream_dlg.h"

namespace {

void save_compressed(HWND owner, HWND bar, PAVISTREAM* stream, const char* path, const char* done) {
    AVICOMPRESSOPTIONS options{};
    LPAVICOMPRESSOPTIONS list[1] = {&options};
    if (!AVISaveOptions(owner, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE | ICMF_CHOOSE_PREVIEW, 1,
                        stream, list))
        return;
    PAVISTREAM compressed = nullptr;
    if (AVIMakeCompressedStream(&compressed, *stream, &options, nullptr) != 0) {
        korvane::export_error(owner, "Error Creating Compressed Stream");
        AVISaveOptionsFree(1, list);
        return;
    }
    ::SendMessageA(bar, PBM_SETSTEP, 1, 0);
    ::SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 10));
    ::SendMessageA(bar, PBM_SETPOS, 5, 0);
    HRESULT saved = AVISaveA(path, nullptr, nullptr, 1, compressed, &options);
    ::SendMessageA(bar, PBM_SETPOS, 0, 0);
    if (saved == AVIERR_OK)
        korvane::export_notice(owner, done);
    else
        korvane::export_error(owner, "Error Saving AVI File.");
    AVIStreamRelease(compressed);
    AVISaveOptionsFree(1, list);
}

}  // namespace

void CKorvaneDlg::OnSaveButton() {
    CFileDialog dialog(FALSE, "*.avi", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "AVI Video File (*.avi)|*.avi|");
    CSelectStreamDlg select;
    if (select.DoModal() != IDOK) return;
    if (dialog.DoModal() != IDOK) return;
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CString path = dialog.GetPathName();
    if (select.saveVideo == 1) {
        if (state.videoStream)
            SaveVideoCompressed(path);
        else
            korvane::export_error(m_hWnd, "No Video Stream Available");
    }
    if (select.saveAudio == 1) {
        if (state.audioStream)
            SaveAudioCompressed(path);
        else
            korvane::export_error(m_hWnd, "No Audio Stream Available");
    }
}

void CKorvaneDlg::SaveVideoCompressed(CString path) {
    save_compressed(m_hWnd, progressBar.m_hWnd, &state.videoStream, path, "Video Saved !");
}

void CKorvaneDlg::SaveAudioCompressed(CString path) {
    save_compressed(m_hWnd, progressBar.m_hWnd, &state.audioStream, path, "Audio Saved !");
}
