// Drawing frames into the frame view: halved until they fit, centred.
#include <cstring>
#include <vector>

#include "commctrl.h"
#include "ui/korvane_dlg.h"
#include "ui/resource_ids.h"

void CKorvaneDlg::DrawFrame(HDC hdc, LPBITMAPINFOHEADER frame) {
    if (!frame) return;
    const BITMAPINFOHEADER& format = *state.frameFormat.head();
    int W = viewRect.right, H = viewRect.bottom;
    int w = format.biWidth, h = format.biHeight;
    while ((w > W || h > H) && (w > 0 || h > 0)) {
        w /= 2;
        h /= 2;
    }
    int x = W / 2 - w / 2;
    int y = H / 2 - h / 2;

    // The pixels follow the frame's own colour table, when it has one; the
    // colour table goes to the drawing with the requested header.
    DWORD colours = 0;
    if (frame->biBitCount <= 8)
        colours = frame->biClrUsed ? frame->biClrUsed : (1u << frame->biBitCount);
    auto* bits =
        reinterpret_cast<BYTE*>(frame) + sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD);
    std::vector<BYTE> header(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    std::memcpy(header.data(), &format, sizeof(BITMAPINFOHEADER));
    std::memcpy(header.data() + sizeof(BITMAPINFOHEADER), frame + 1, colours * sizeof(RGBQUAD));
    auto* source = reinterpret_cast<LPBITMAPINFOHEADER>(header.data());
    if (colours) source->biClrUsed = colours;

    HDRAWDIB hdd = DrawDibOpen();
    DrawDibBegin(hdd, hdc, 0, 0, source, 0, 0, 0x00CC0020);
    DrawDibDraw(hdd, hdc, x, y, w, h, source, bits, 0, 0, format.biWidth, format.biHeight,
                0x00CC0020);
    DrawDibEnd(hdd);
    DrawDibClose(hdd);
}

void CKorvaneDlg::ShowCurrentFrame() {
    HDC dc = ::GetDC(m_hWnd);
    int position = int(::SendMessageA(seekBar.m_hWnd, TBM_GETPOS, 0, 0));
    if (state.getFrame)
        DrawFrame(dc, static_cast<LPBITMAPINFOHEADER>(AVIStreamGetFrame(state.getFrame, position)));
    ::ReleaseDC(m_hWnd, dc);
}

void CKorvaneDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, WPARAM(dc.m_hDC), 0);
        int cx = GetSystemMetrics(SM_CXICON);
        int cy = GetSystemMetrics(SM_CYICON);
        RECT rc;
        GetClientRect(&rc);
        dc.DrawIcon((rc.right - rc.left - cx + 1) / 2, (rc.bottom - rc.top - cy + 1) / 2, icon);
        return;
    }
    CPaintDC dc(this);
    CBrush black(RGB(0, 0, 0));
    dc.FillRect(&viewRect, &black);
    if (state.aviFile && state.videoStream && state.getFrame) {
        int position = int(::SendMessageA(seekBar.m_hWnd, TBM_GETPOS, 0, 0));
        DrawFrame(dc.m_hDC,
                  static_cast<LPBITMAPINFOHEADER>(AVIStreamGetFrame(state.getFrame, position)));
    }
    Default();
}
