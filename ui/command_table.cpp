// The main window's command table and the checks its menu commands make.
#include "commctrl.h"
#include "ui/audio_info_dlg.h"
#include "ui/korvane_dlg.h"
#include "ui/resource_ids.h"
#include "ui/video_info_dlg.h"

const AFX_MSGMAP* CKorvaneDlg::GetThisMessageMap() {
    using D = CKorvaneDlg;
    static constexpr AFX_MSGMAP_ENTRY entries[] = {
        afx::OnSysCommand<&D::OnSysCommand>(),
        afx::OnPaint<&D::OnPaint>(),
        afx::OnQueryDragIcon<&D::OnQueryDragIcon>(),
        afx::OnCommand<&D::OnOpenFile>(IDC_OPEN),
        afx::OnDestroy<&D::OnDestroy>(),
        afx::OnNotify<&D::OnSeekReleased>(NM_RELEASEDCAPTURE, IDC_SEEKBAR),
        afx::OnCommand<&D::OnStart>(IDC_START),
        afx::OnCommand<&D::OnEnd>(IDC_END),
        afx::OnCommand<&D::OnPrev>(IDC_PREV),
        afx::OnCommand<&D::OnNext>(IDC_NEXT),
        afx::OnCommand<&D::OnPlay>(IDC_PLAY),
        afx::OnTimer<&D::OnTimer>(),
        afx::OnCommand<&D::OnPause>(IDC_PAUSE),
        afx::OnCommand<&D::OnFrameButton>(IDC_FRAME),
        afx::OnCommand<&D::OnVideoButton>(IDC_VIDEO),
        afx::OnCommand<&D::OnAudioButton>(IDC_AUDIO),
        afx::OnCommand<&D::OnSaveButton>(IDC_SAVE),
        afx::OnCommand<&D::OnFileOpen>(ID_FILE_OPENAVI),
        afx::OnCommand<&D::OnFileClose>(ID_FILE_CLOSE),
        afx::OnCommand<&D::OnFileSaveAs>(ID_FILE_SAVEAS),
        afx::OnCommand<&D::OnFileExit>(ID_FILE_EXIT),
        afx::OnCommand<&D::OnExtractFrame>(ID_EXTRACT_FRAME),
        afx::OnCommand<&D::OnExtractVideo>(ID_EXTRACT_VIDEO),
        afx::OnCommand<&D::OnExtractAudio>(ID_EXTRACT_AUDIO),
        afx::OnCommand<&D::OnVideoStreamInfo>(ID_VIDEO_STREAM_INFO),
        afx::OnCommand<&D::OnAudioStreamInfo>(ID_AUDIO_STREAM_INFO),
        afx::OnCommand<&D::OnAbout>(ID_HELP_ABOUT),
        afx::OnCommand<&D::OnVisitWebPage>(ID_HELP_WEBPAGE),
        afx::OnCommand<&D::OnHelpTopics>(ID_HELP_TOPICS),
        afx::OnHScroll<&D::OnSeekScroll>(),
        afx::OnMessage<&D::OnOpenStartFile>(WM_KORVANE_OPENSTART),
        afx::OnMessage<&D::OnDropFiles>(WM_DROPFILES),
    };
    static_assert(afx::UniqueKeys(entries));
    static constexpr AFX_MSGMAP map{&CDialog::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

bool CKorvaneDlg::checkFile() {
    if (state.aviFile) return true;
    MessageBox("No AVI File Opened !", "Error", MB_OK | MB_ICONHAND);
    return false;
}

bool CKorvaneDlg::checkVideo() {
    if (state.videoStream) return true;
    MessageBox("No Video Stream Available !", "Korvane", MB_OK | MB_ICONASTERISK);
    return false;
}

bool CKorvaneDlg::checkAudio() {
    if (state.audioStream) return true;
    MessageBox("No Audio Stream Available !", "Korvane", MB_OK | MB_ICONASTERISK);
    return false;
}

void CKorvaneDlg::OnFileOpen() { OnOpenFile(); }

void CKorvaneDlg::OnFileClose() {
    if (!state.aviFile) return;
    CloseAviFile();
    ResetAviHandles();
    disableFileControls();
    InvalidateRect(nullptr, TRUE);
}

void CKorvaneDlg::OnFileSaveAs() {
    if (checkFile()) OnSaveButton();
}

void CKorvaneDlg::OnFileExit() { OnCancel(); }

void CKorvaneDlg::OnExtractFrame() {
    if (checkFile() && checkVideo()) OnFrameButton();
}

void CKorvaneDlg::OnExtractVideo() {
    if (checkFile() && checkVideo()) OnVideoButton();
}

void CKorvaneDlg::OnExtractAudio() {
    if (checkFile() && checkAudio()) OnAudioButton();
}

// What the user types there is never read back: the file is opened read-only.
void CKorvaneDlg::OnVideoStreamInfo() {
    if (!checkFile() || !checkVideo()) return;
    CVideoInfoDlg dlg;
    dlg.Fill(state.videoInfo);
    dlg.DoModal();
}

void CKorvaneDlg::OnAudioStreamInfo() {
    if (!checkFile() || !checkAudio()) return;
    CAudioInfoDlg dlg;
    dlg.Fill(state.audioInfo);
    dlg.DoModal();
}
