// Opening and closing an AVI file.
#include "afxdlgs.h"
#include "commctrl.h"
#include "ui/korvane_dlg.h"
#include "ui/resource_ids.h"

namespace {

void error_box(HWND owner, const char* text) {
    ::MessageBoxA(owner, text, "Error", MB_OK | MB_ICONHAND);
}

// Frames can be asked for in these depths only; others (12-bit YUV, say) get 24.
WORD requestable_bit_count(WORD bits) {
    return (bits == 8 || bits == 16 || bits == 24 || bits == 32) ? bits : 24;
}

}  // namespace

void CKorvaneDlg::OnOpenFile() {
    CFileDialog dialog(TRUE, "*.avi", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "AVI Files (*.avi)|*.avi|");
    if (dialog.DoModal() != IDOK) return;
    CloseAviFile();
    ResetAviHandles();
    disableFileControls();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    OpenAviFile(dialog.GetPathName());
}

void CKorvaneDlg::OpenAviFile(CString path) {
    state.lastResult = AVIFileOpenA(&state.aviFile, path, 0, nullptr);
    if (state.lastResult != 0) {
        state.aviFile = nullptr;
        error_box(m_hWnd, "Error Opening AVI File.");
        return;
    }
    state.lastResult = AVIFileGetStream(state.aviFile, &state.videoStream, streamtypeVIDEO, 0);
    state.audioResult = AVIFileGetStream(state.aviFile, &state.audioStream, streamtypeAUDIO, 0);
    if (state.lastResult != 0 && state.audioResult != 0) {
        error_box(m_hWnd, "Error Getting Stream.");
        releaseUnmarked();
        return;
    }
    state.lastResult = AVIFileInfoA(state.aviFile, &state.fileInfo, sizeof(AVIFILEINFOA));
    if (state.lastResult != 0) {
        error_box(m_hWnd, "Error Getting File Information");
        releaseUnmarked();
        return;
    }

    if (state.videoStream) {
        state.lastResult =
            AVIStreamInfoA(state.videoStream, &state.videoInfo, sizeof(AVISTREAMINFOA));
        if (state.lastResult != 0) {
            error_box(m_hWnd, "Error Getting Video Stream Information");
        } else {
            state.firstFrame = AVIStreamStart(state.videoStream);
            state.frameCount = AVIStreamLength(state.videoStream);
            AVIStreamReadFormat(state.videoStream, 0, nullptr, &state.formatSize);
            AVIStreamReadFormat(state.videoStream, 0, state.frameFormat.reserve(state.formatSize),
                                &state.formatSize);
            BITMAPINFOHEADER& f = *state.frameFormat.head();
            const RECT& frame = state.videoInfo.rcFrame;
            f.biSize = sizeof(BITMAPINFOHEADER);
            f.biWidth = frame.right - frame.left;
            f.biHeight = frame.bottom - frame.top;
            f.biPlanes = 1;
            f.biBitCount = requestable_bit_count(f.biBitCount);
            f.biCompression = BI_RGB;
            f.biSizeImage = DWORD(f.biBitCount / 8) * DWORD(f.biWidth) * DWORD(f.biHeight) + 55;
            f.biXPelsPerMeter = f.biYPelsPerMeter = 0;
            f.biClrUsed = f.biClrImportant = 0;
            state.getFrame = AVIStreamGetFrameOpen(state.videoStream, state.frameFormat.head());
            if (!state.getFrame) {
                error_box(m_hWnd, "Error Getting Frame Open");
            } else {
                HDC dc = ::GetDC(m_hWnd);
                DrawFrame(dc,
                          static_cast<LPBITMAPINFOHEADER>(AVIStreamGetFrame(state.getFrame, 0)));
                state.isOpen = 1;
                enableVideoControls();
                seekBar.SetRange(state.firstFrame, state.frameCount - 1, TRUE);
                ::SendMessageA(seekBar.m_hWnd, TBM_SETPOS, TRUE, 0);
                ::ReleaseDC(m_hWnd, dc);
            }
        }
    }

    if (state.audioStream) {
        state.lastResult =
            AVIStreamInfoA(state.audioStream, &state.audioInfo, sizeof(AVISTREAMINFOA));
        if (state.lastResult != 0) {
            error_box(m_hWnd, "Error Getting Audio Stream Information");
        } else {
            AVIStreamReadFormat(state.audioStream, 0, nullptr, &state.formatSize);
            AVIStreamReadFormat(state.audioStream, 0, state.audioFormat.reserve(state.formatSize),
                                &state.formatSize);
            enableAudioControls();
            state.audioOpen = 1;
        }
    }
    releaseUnmarked();
}

void CKorvaneDlg::releaseUnmarked() {
    if (!state.isOpen && state.videoStream) {
        AVIStreamRelease(state.videoStream);
        state.videoStream = nullptr;
    }
    if (!state.audioOpen && state.audioStream) {
        AVIStreamRelease(state.audioStream);
        state.audioStream = nullptr;
    }
    if (!state.isOpen && !state.audioOpen && state.aviFile) {
        AVIFileRelease(state.aviFile);
        state.aviFile = nullptr;
    }
}

void CKorvaneDlg::CloseAviFile() {
    bool held = state.isOpen || state.audioOpen;
    if (state.isOpen) {
        AVIStreamGetFrameClose(state.getFrame);
        AVIStreamRelease(state.videoStream);
        state.isOpen = 0;
    }
    if (state.audioOpen) {
        AVIStreamRelease(state.audioStream);
        state.audioOpen = 0;
    }
    if (held) AVIFileRelease(state.aviFile);
}

void CKorvaneDlg::ResetAviHandles() {
    state.aviFile = nullptr;
    state.videoStream = nullptr;
    state.audioStream = nullptr;
    state.getFrame = nullptr;
}
