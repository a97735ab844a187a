// The current frame to a .bmp file, written by the program itself.
#include <cstdlib>
#include <cstring>

#include "afxdlgs.h"
#include "commctrl.h"
#include "export/export_messages.h"
#include "export/output_file.h"
#include "ui/korvane_dlg.h"

static_assert(sizeof(CKorvaneDlg::bitmapFileHeader) == 16);

namespace {

// What a delivered frame holds after its 40-byte header, known from that
// header, so the frame is never read past its end.
struct FrameLayout {
    DWORD colours = 0;  // colour table entries
    DWORD image = 0;    // image bytes, rows padded to 4 bytes
};

FrameLayout layout_of(const BITMAPINFOHEADER& h) {
    FrameLayout out;
    if (h.biBitCount <= 8) out.colours = h.biClrUsed ? h.biClrUsed : (1u << h.biBitCount);
    DWORD stride = ((DWORD(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    LONG rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    out.image = stride * DWORD(rows);
    return out;
}

void put_u32(FILE* f, DWORD v) {
    for (int i = 0; i < 4; ++i) std::fputc(int((v >> (8 * i)) & 0xFF), f);
}

}  // namespace

void CKorvaneDlg::OnFrameButton() {
    CFileDialog dialog(FALSE, "*.bmp", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "Bitmap File (*.bmp)|*.bmp|");
    if (dialog.DoModal() == IDOK) WriteFrameBitmap(dialog.GetPathName());
}

void CKorvaneDlg::WriteFrameBitmap(CString path) {
    LONG frame_number = LONG(::SendMessageA(seekBar.m_hWnd, TBM_GETPOS, 0, 0));
    auto* frame =
        state.getFrame
            ? static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(state.getFrame, frame_number))
            : nullptr;
    if (!frame) {
        korvane::export_error(m_hWnd, "Error Creating Bitmap Image");
        return;
    }
    FrameLayout layout = layout_of(*frame);
    DWORD table_bytes = layout.colours * sizeof(RGBQUAD);
    DWORD copied = DWORD(sizeof(BITMAPINFOHEADER)) + table_bytes + layout.image;
    // The work buffer: the frame's bytes taken out of the decompressor's
    // hands before the file is touched.
    auto* work = static_cast<BYTE*>(std::malloc(copied));
    if (!work) {
        korvane::export_error(m_hWnd, "Error Creating Bitmap Image");
        return;
    }
    std::memcpy(work, frame, copied);

    BITMAPINFOHEADER info = *state.frameFormat.head();
    info.biSizeImage = layout.image;
    info.biClrUsed = layout.colours;
    DWORD offset = 14 + DWORD(sizeof(BITMAPINFOHEADER)) + table_bytes;
    bitmapFileHeader = {0x4D42, offset + layout.image, 0, offset};

    bool written = false;
    {
        korvane::OutputFile out{std::string(path)};
        if (FILE* f = out.stream()) {
            std::fputc(int(bitmapFileHeader.bfType & 0xFF), f);
            std::fputc(int((bitmapFileHeader.bfType >> 8) & 0xFF), f);
            put_u32(f, bitmapFileHeader.bfSize);
            put_u32(f, bitmapFileHeader.bfReserved);
            put_u32(f, bitmapFileHeader.bfOffBits);
            std::fwrite(&info, 1, sizeof info, f);
            for (DWORD i = sizeof(BITMAPINFOHEADER); i < copied; ++i) std::fputc(work[i], f);
            written = out.commit();
        }
    }
    std::free(work);
    if (written)
        korvane::export_notice(m_hWnd, "Bitmap Image Created.");
    else
        korvane::export_error(m_hWnd, "Error Creating Bitmap Image");
}
