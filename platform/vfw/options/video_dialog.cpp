#include "vfw/options/video_dialog.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "commctrl.h"
#include "vfw/codec/codec_catalog.h"
#include "vfw/options/dialog_state.h"
#include "vfw/options/preview.h"
#include "vfw/options/template_parts.h"
#include "win/dialogs/dialogs.h"
#include "wingdi.h"

namespace vfw::options {

namespace {

using namespace video_ids;

constexpr int kDefaultQuality = 75;
constexpr UINT kDefaultKeyFrames = 15;
constexpr UINT kDefaultDataRate = 300;  // KB/sec

struct VideoState {
    UINT flags = 0;
    AVICOMPRESSOPTIONS* options = nullptr;
    std::vector<codec::VideoCompressorInfo> compressors;
    std::vector<std::uint8_t> frame;  // 24-bit packed DIB of the previewed frame
    AVISTREAMINFOA info{};
    Preview preview;
};

const codec::VideoCompressorInfo* chosen(HWND dlg, const VideoState& s) {
    LRESULT i = SendDlgItemMessageA(dlg, kCompressor, CB_GETCURSEL, 0, 0);
    if (i < 0 || std::size_t(i) >= s.compressors.size()) return nullptr;
    return &s.compressors[std::size_t(i)];
}

int quality(HWND dlg) { return int(SendDlgItemMessageA(dlg, kQuality, TBM_GETPOS, 0, 0)); }

bool checked_and_enabled(HWND dlg, int id) {
    HWND box = GetDlgItem(dlg, id);
    return box && IsWindowEnabled(box) && IsDlgButtonChecked(dlg, id) == BST_CHECKED;
}

void enable(HWND dlg, int id, bool on) {
    if (HWND w = GetDlgItem(dlg, id)) EnableWindow(w, on ? TRUE : FALSE);
}

void update_preview(HWND dlg, VideoState& s) {
    HWND text = GetDlgItem(dlg, kPreviewText);
    if (!text) return;
    const codec::VideoCompressorInfo* c = chosen(dlg, s);
    s.preview = Preview{};
    if (c && !s.frame.empty()) {
        codec::VideoEncoderSettings set;
        set.fourcc = c->fourcc;
        set.quality = c->quality ? quality(dlg) * 100 : -1;
        if (checked_and_enabled(dlg, kDataRateCheck))
            set.bytes_per_second = GetDlgItemInt(dlg, kDataRateEdit, nullptr, FALSE) * 1024;
        set.rate = s.info.dwRate ? s.info.dwRate : 25;
        set.scale = s.info.dwScale ? s.info.dwScale : 1;
        s.preview = make_preview(*reinterpret_cast<const BITMAPINFOHEADER*>(s.frame.data()), set);
    }
    const std::string label =
        s.preview.header() ? "Frame size: " + std::to_string(s.preview.compressed_bytes) + " bytes"
                           : std::string("No preview");
    SetWindowTextA(text, label.c_str());
    InvalidateRect(GetDlgItem(dlg, kPreview), nullptr, TRUE);
}

// Only what the chosen compressor accepts can be set.
void update_controls(HWND dlg, VideoState& s) {
    const codec::VideoCompressorInfo* c = chosen(dlg, s);
    const bool q = c && c->quality;
    enable(dlg, kQuality, q);
    enable(dlg, kQualityText, q);
    enable(dlg, kQualityLabel, q);
    const bool k = c && c->key_frames;
    enable(dlg, kKeyFrameCheck, k);
    enable(dlg, kKeyFrameEdit, k && IsDlgButtonChecked(dlg, kKeyFrameCheck) == BST_CHECKED);
    const bool r = c && c->data_rate;
    enable(dlg, kDataRateCheck, r);
    enable(dlg, kDataRateEdit, r && IsDlgButtonChecked(dlg, kDataRateCheck) == BST_CHECKED);
    SetDlgItemInt(dlg, kQualityText, UINT(quality(dlg)), FALSE);
}

void init(HWND dlg, VideoState& s) {
    const AVICOMPRESSOPTIONS& o = *s.options;
    const bool valid = (o.dwFlags & AVICOMPRESSF_VALID) != 0;
    const DWORD wanted = valid ? o.fccHandler : s.info.fccHandler;
    LRESULT pick = 0;
    for (std::size_t i = 0; i < s.compressors.size(); ++i) {
        SendDlgItemMessageA(dlg, kCompressor, CB_ADDSTRING, 0,
                            LPARAM(s.compressors[i].name.c_str()));
        if (s.compressors[i].fourcc == wanted) pick = LRESULT(i);
    }
    SendDlgItemMessageA(dlg, kCompressor, CB_SETCURSEL, WPARAM(pick), 0);
    SendDlgItemMessageA(dlg, kQuality, TBM_SETRANGE, FALSE, MAKELONG(0, 100));
    SendDlgItemMessageA(dlg, kQuality, TBM_SETTICFREQ, 10, 0);
    SendDlgItemMessageA(dlg, kQuality, TBM_SETPAGESIZE, 0, 10);
    const int q = valid && o.dwQuality <= ICQUALITY_HIGH ? int(o.dwQuality / 100) : kDefaultQuality;
    SendDlgItemMessageA(dlg, kQuality, TBM_SETPOS, TRUE, q);
    const bool keys = valid && (o.dwFlags & AVICOMPRESSF_KEYFRAMES) && o.dwKeyFrameEvery;
    CheckDlgButton(dlg, kKeyFrameCheck, keys ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(dlg, kKeyFrameEdit, keys ? o.dwKeyFrameEvery : kDefaultKeyFrames, FALSE);
    const bool rate = valid && (o.dwFlags & AVICOMPRESSF_DATARATE) && o.dwBytesPerSecond;
    CheckDlgButton(dlg, kDataRateCheck, rate ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(dlg, kDataRateEdit,
                  rate ? std::max<DWORD>(o.dwBytesPerSecond / 1024, 1) : kDefaultDataRate, FALSE);
    update_controls(dlg, s);
    update_preview(dlg, s);
}

void accept(HWND dlg, VideoState& s) {
    const codec::VideoCompressorInfo* c = chosen(dlg, s);
    AVICOMPRESSOPTIONS& o = *s.options;
    o.fccType = streamtypeVIDEO;
    o.fccHandler = c ? c->fourcc : codec::kFullFramesFourcc;
    o.dwQuality = c && c->quality ? DWORD(quality(dlg) * 100) : DWORD(ICQUALITY_DEFAULT);
    o.dwFlags = AVICOMPRESSF_VALID | (o.dwFlags & AVICOMPRESSF_INTERLEAVE);
    if (checked_and_enabled(dlg, kKeyFrameCheck)) {
        o.dwFlags |= AVICOMPRESSF_KEYFRAMES;
        o.dwKeyFrameEvery = std::max<UINT>(GetDlgItemInt(dlg, kKeyFrameEdit, nullptr, FALSE), 1);
    } else {
        o.dwKeyFrameEvery = 0;
    }
    if (checked_and_enabled(dlg, kDataRateCheck)) {
        o.dwFlags |= AVICOMPRESSF_DATARATE;
        o.dwBytesPerSecond =
            std::max<UINT>(GetDlgItemInt(dlg, kDataRateEdit, nullptr, FALSE), 1) * 1024;
    } else {
        o.dwBytesPerSecond = 0;
    }
}

// The preview keeps the frame's proportions inside the box.
void draw_preview(const DRAWITEMSTRUCT& d, const VideoState& s) {
    FillRect(d.hDC, &d.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(d.hDC, const_cast<RECT*>(&d.rcItem), EDGE_SUNKEN, BF_RECT);
    const BITMAPINFOHEADER* pic = s.preview.header();
    if (!pic) return;
    const int box_w = d.rcItem.right - d.rcItem.left - 4,
              box_h = d.rcItem.bottom - d.rcItem.top - 4;
    const int w = pic->biWidth, h = std::abs(pic->biHeight);
    if (box_w <= 0 || box_h <= 0 || w <= 0 || h <= 0) return;
    int draw_w = box_w, draw_h = int(std::int64_t(box_w) * h / w);
    if (draw_h > box_h) {
        draw_h = box_h;
        draw_w = int(std::int64_t(box_h) * w / h);
    }
    const int x = d.rcItem.left + 2 + (box_w - draw_w) / 2,
              y = d.rcItem.top + 2 + (box_h - draw_h) / 2;
    StretchDIBits(d.hDC, x, y, draw_w, draw_h, 0, 0, w, h, s.preview.dib.data() + pic->biSize,
                  reinterpret_cast<const BITMAPINFO*>(pic), DIB_RGB_COLORS, SRCCOPY);
}

INT_PTR CALLBACK video_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    VideoState* s = dialog_state<VideoState>(dlg, msg, lp);
    if (!s) return FALSE;
    switch (msg) {
        case WM_INITDIALOG:
            init(dlg, *s);
            return TRUE;
        case WM_HSCROLL:
            SetDlgItemInt(dlg, kQualityText, UINT(quality(dlg)), FALSE);
            if (LOWORD(wp) != TB_THUMBTRACK) update_preview(dlg, *s);
            return TRUE;
        case WM_DRAWITEM:
            if (wp != WPARAM(kPreview)) return FALSE;
            draw_preview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp), *s);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case IDOK:
                    accept(dlg, *s);
                    EndDialog(dlg, IDOK);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dlg, IDCANCEL);
                    return TRUE;
                case kCompressor:
                    if (HIWORD(wp) == CBN_SELCHANGE) {
                        update_controls(dlg, *s);
                        update_preview(dlg, *s);
                    }
                    return TRUE;
                case kKeyFrameCheck:
                    update_controls(dlg, *s);
                    return TRUE;
                case kDataRateCheck:
                    update_controls(dlg, *s);
                    update_preview(dlg, *s);
                    return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

// The frame shown in the preview: the middle of the stream.
std::vector<std::uint8_t> preview_frame(PAVISTREAM stream) {
    std::vector<std::uint8_t> out;
    LONG size = 0;
    if (AVIStreamReadFormat(stream, 0, nullptr, &size) != AVIERR_OK ||
        size < LONG(sizeof(BITMAPINFOHEADER)))
        return out;
    std::vector<std::uint8_t> format(static_cast<std::size_t>(size));
    if (AVIStreamReadFormat(stream, 0, format.data(), &size) != AVIERR_OK) return out;
    BITMAPINFOHEADER in;
    std::memcpy(&in, format.data(), sizeof in);
    BITMAPINFOHEADER want{sizeof want, in.biWidth, std::abs(in.biHeight), 1, 24, BI_RGB, 0, 0, 0,
                          0,           0};
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, &want);
    if (!frames) return out;
    const LONG middle = AVIStreamStart(stream) + std::max<LONG>(AVIStreamLength(stream), 0) / 2;
    if (auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, middle))) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(dib);
        out.assign(bytes, bytes + dib->biSize + dib->biSizeImage);
    }
    AVIStreamGetFrameClose(frames);
    return out;
}

}  // namespace

win::res::DialogTemplate video_dialog_template(UINT flags) {
    const bool keys = flags & ICMF_CHOOSE_KEYFRAME, rate = flags & ICMF_CHOOSE_DATARATE;
    const bool preview = flags & ICMF_CHOOSE_PREVIEW;
    int height = 68;
    if (keys || rate) height = keys && rate ? 98 : 82;
    auto t = classic_dialog("Video Compression", preview ? 296 : 186,
                            std::max(height, preview ? 106 : 0));
    auto& c = t.controls;
    c.push_back(control("STATIC", "&Compressor:", -1, SS_LEFT, 6, 6, 110, 8));
    c.push_back(control("COMBOBOX", "", kCompressor, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 6,
                        16, 112, 110));
    c.push_back(control("STATIC", "Compression &Quality:", kQualityLabel, SS_LEFT, 6, 36, 110, 8));
    c.push_back(control(TRACKBAR_CLASSA, "", kQuality, TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP, 4, 46,
                        94, 16));
    c.push_back(control("STATIC", "", kQualityText, SS_LEFT, 101, 49, 18, 8));
    int y = 68;
    if (keys) {
        c.push_back(control("BUTTON", "&Key Frame Every", kKeyFrameCheck,
                            BS_AUTOCHECKBOX | WS_TABSTOP, 6, y, 70, 10));
        c.push_back(control("EDIT", "", kKeyFrameEdit,
                            WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, 78, y - 1, 22,
                            12));
        c.push_back(control("STATIC", "frames", -1, SS_LEFT, 103, y + 1, 24, 8));
        y += 16;
    }
    if (rate) {
        c.push_back(control("BUTTON", "&Data Rate", kDataRateCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 6,
                            y, 70, 10));
        c.push_back(control("EDIT", "", kDataRateEdit,
                            WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, 78, y - 1, 22,
                            12));
        c.push_back(control("STATIC", "KB/sec", -1, SS_LEFT, 103, y + 1, 24, 8));
    }
    c.push_back(control("BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 128, 6, 52, 14));
    c.push_back(control("BUTTON", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 128, 23, 52, 14));
    // This layer's compressors have no settings dialogs of their own.
    c.push_back(control("BUTTON", "Con&figure...", kConfigure, BS_PUSHBUTTON | WS_DISABLED, 128, 44,
                        52, 14));
    c.push_back(control("BUTTON", "&About", kAbout, BS_PUSHBUTTON | WS_DISABLED, 128, 61, 52, 14));
    if (preview) {
        c.push_back(control("STATIC", "Preview:", -1, SS_LEFT, 190, 6, 100, 8));
        c.push_back(control("STATIC", "", kPreview, SS_OWNERDRAW, 190, 16, 100, 76));
        c.push_back(control("STATIC", "", kPreviewText, SS_LEFT, 190, 94, 100, 8));
    }
    return t;
}

bool run_video_dialog(HWND owner, UINT flags, PAVISTREAM stream, AVICOMPRESSOPTIONS& options) {
    VideoState s;
    s.flags = flags;
    s.compressors = codec::video_compressors();
    if (AVIStreamInfoA(stream, &s.info, sizeof s.info) != AVIERR_OK) return false;
    if (flags & ICMF_CHOOSE_PREVIEW) s.frame = preview_frame(stream);
    AVICOMPRESSOPTIONS work = options;
    s.options = &work;
    const INT_PTR result = win::dialogs::dialog_box(video_dialog_template(flags), nullptr, owner,
                                                    video_proc, LPARAM(&s));
    if (result != IDOK) return false;
    options = work;
    return true;
}

}  // namespace vfw::options
