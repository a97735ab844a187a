// The video or audio stream copied unchanged into a new one-stream AVI file.
#include <algorithm>

#include "afxcoll.h"
#include "afxdlgs.h"
#include "commctrl.h"
#include "export/export_messages.h"
#include "export/new_avi_file.h"
#include "ui/korvane_dlg.h"

namespace {

enum class CopyEnd { Done, ReadFailed, WriteFailed };

// Reads samples at pos into the buffer, growing it (never shrinking) when a
// read reports that it needs more.
HRESULT read_samples(PAVISTREAM source, LONG pos, LONG count, CByteArray& buffer, LONG& bytes,
                     LONG& samples) {
    bytes = samples = 0;
    HRESULT hr = AVIStreamRead(source, pos, count, buffer.GetData(), LONG(buffer.GetSize()), &bytes,
                               &samples);
    if (bytes > buffer.GetSize()) {
        if (!buffer.SetSize(bytes, INT_PTR(bytes) + 1)) return AVIERR_MEMORY;
        hr = AVIStreamRead(source, pos, count, buffer.GetData(), LONG(buffer.GetSize()), &bytes,
                           &samples);
    }
    return hr;
}

LONG key_flag(PAVISTREAM source, LONG pos) {
    return AVIStreamFindSample(source, pos, FIND_KEY | FIND_PREV) == pos ? AVIIF_KEYFRAME : 0;
}

// The header fields that every copy takes from its source.
AVISTREAMINFOA header_from(const AVISTREAMINFOA& source) {
    AVISTREAMINFOA h{};
    h.fccType = source.fccType;
    h.fccHandler = source.fccHandler;
    h.dwFlags = source.dwFlags;
    h.dwCaps = source.dwCaps;
    h.wPriority = source.wPriority;
    h.wLanguage = source.wLanguage;
    h.dwScale = source.dwScale;
    h.dwRate = source.dwRate;
    h.dwStart = source.dwStart;
    h.dwLength = source.dwLength;
    h.dwInitialFrames = source.dwInitialFrames;
    h.dwQuality = source.dwQuality;
    h.dwEditCount = source.dwEditCount;
    h.dwFormatChangeCount = source.dwFormatChangeCount;
    return h;
}

// Ends a copy: the file completed and the outcome shown.
void report(HWND owner, CopyEnd end, korvane::NewAviFile& file, const char* done) {
    if (end == CopyEnd::Done && !file.complete()) end = CopyEnd::WriteFailed;
    if (end == CopyEnd::Done)
        korvane::export_notice(owner, done);
    else
        korvane::export_error(owner, end == CopyEnd::ReadFailed ? "Error Reading AVI Stream."
                                                                : "Error Writing AVI File.");
}

void step(HWND bar) { ::SendMessageA(bar, PBM_STEPIT, 0, 0); }

}  // namespace

void CKorvaneDlg::OnVideoButton() {
    CFileDialog dialog(FALSE, "*.avi", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "AVI Video File (*.avi)|*.avi|");
    if (dialog.DoModal() != IDOK) return;
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ExtractVideoStream(dialog.GetPathName());
}

void CKorvaneDlg::OnAudioButton() {
    CFileDialog dialog(FALSE, "*.avi", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "AVI Audio File (*.avi)|*.avi|");
    if (dialog.DoModal() != IDOK) return;
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ExtractAudioStream(dialog.GetPathName());
}

void CKorvaneDlg::ExtractVideoStream(CString path) {
    PAVISTREAM source = state.videoStream;
    std::vector<BYTE> format = korvane::read_whole_format(source);
    state.formatSize = LONG(format.size());
    std::copy(format.begin(), format.end(), state.videoFormat.reserve(state.formatSize));
    const BITMAPINFOHEADER& f = *state.videoFormat.head();

    AVISTREAMINFOA header = header_from(state.videoInfo);
    header.fccType = streamtypeVIDEO;
    header.dwSuggestedBufferSize = f.biSizeImage;
    header.dwSampleSize = 0;
    header.rcFrame = {0, 0, LONG(f.biWidth), LONG(f.biHeight)};

    korvane::NewAviFile file;
    if (!file.create(m_hWnd, path, header, format)) return;
    HWND bar = progressBar.m_hWnd;
    ::SendMessageA(bar, PBM_SETSTEP, 1, 0);
    ::SendMessageA(bar, PBM_SETRANGE32, 0, state.frameCount);

    LONG length = AVIStreamLength(source);
    CByteArray buffer;
    CopyEnd end = CopyEnd::Done;
    for (LONG pos = 0;; ++pos) {
        LONG bytes = 0, samples = 0;
        if (read_samples(source, pos, 1, buffer, bytes, samples) != 0) {
            if (pos < length) end = CopyEnd::ReadFailed;
            break;
        }
        // An empty (dropped) sample is stored too, so later frames keep their places.
        if (AVIStreamWrite(file.stream(), pos, 1, buffer.GetData(), bytes,
                           DWORD(key_flag(source, pos)), nullptr, nullptr) != 0) {
            end = CopyEnd::WriteFailed;
            break;
        }
        step(bar);
    }
    ::SendMessageA(bar, PBM_SETPOS, 0, 0);
    report(m_hWnd, end, file, "Video Extracted !");
}

void CKorvaneDlg::ExtractAudioStream(CString path) {
    PAVISTREAM source = state.audioStream;
    const AVISTREAMINFOA& in = state.audioInfo;
    std::vector<BYTE> format = korvane::read_whole_format(source);
    WAVEFORMATEX wave{};
    std::copy_n(format.begin(), std::min(format.size(), sizeof wave),
                reinterpret_cast<BYTE*>(&wave));

    AVISTREAMINFOA header = header_from(in);
    header.fccType = streamtypeAUDIO;
    // Scale, rate and sample size as the format gives them, unless they
    // describe another speed or sample than the source's header does
    // (variable-size samples, ADPCM whose byte rate is not its true rate):
    // the source's own values then keep the copy playing as the source does.
    bool agree = in.dwSampleSize == wave.nBlockAlign && wave.nBlockAlign != 0 &&
                 std::uint64_t(wave.nAvgBytesPerSec) * in.dwScale ==
                     std::uint64_t(in.dwRate) * wave.nBlockAlign;
    header.dwScale = agree ? wave.nBlockAlign : in.dwScale;
    header.dwRate = agree ? wave.nAvgBytesPerSec : in.dwRate;
    header.dwSampleSize = agree ? wave.nBlockAlign : in.dwSampleSize;
    header.dwSuggestedBufferSize = wave.nAvgBytesPerSec;

    LONG length = AVIStreamLength(source);
    DWORD file_length = state.fileInfo.dwLength;
    DWORD per_block = file_length ? DWORD(std::max<LONG>(length, 0)) / file_length : 0;
    if (per_block == 0) {
        // About a second of audio when the file's length gives no block size.
        DWORD per_second = in.dwScale ? in.dwRate / in.dwScale : 0;
        per_block = std::max<DWORD>(per_second, 1);
    }
    per_block = std::min<DWORD>(per_block, 0x7FFFFFFF);

    korvane::NewAviFile file;
    if (!file.create(m_hWnd, path, header, format)) return;
    HWND bar = progressBar.m_hWnd;
    LONG blocks = LONG((std::int64_t(std::max<LONG>(length, 0)) + per_block - 1) / per_block);
    ::SendMessageA(bar, PBM_SETSTEP, 1, 0);
    ::SendMessageA(bar, PBM_SETRANGE32, 0, blocks);

    CByteArray buffer;
    CopyEnd end = CopyEnd::Done;
    LONG pos = 0;
    LONG steps = 0;
    while (pos < length) {
        LONG bytes = 0, samples = 0;
        HRESULT hr = read_samples(source, pos, LONG(per_block), buffer, bytes, samples);
        if (hr != 0 || samples <= 0) {
            end = CopyEnd::ReadFailed;
            break;
        }
        if (AVIStreamWrite(file.stream(), pos, samples, buffer.GetData(), bytes,
                           DWORD(key_flag(source, pos)), nullptr, nullptr) != 0) {
            end = CopyEnd::WriteFailed;
            break;
        }
        pos += samples;
        // One step per block of the whole copy, however many reads a block takes.
        for (LONG done = LONG((std::int64_t(pos) + per_block - 1) / per_block); steps < done;
             ++steps)
            step(bar);
    }
    ::SendMessageA(bar, PBM_SETPOS, 0, 0);
    report(m_hWnd, end, file, "Audio Extracted !");
}
