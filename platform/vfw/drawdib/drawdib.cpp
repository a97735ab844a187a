// DrawDib: packed DIBs drawn into a device context, scaled with the GDI's
// smooth area-averaging stretch. Instances hold only the last Begin's
// parameters; they are cheap to open per frame.
#include <memory>

#include "vfw.h"
#include "win/base/handle_table.h"
#include "wingdi.h"

namespace {

struct Instance {
    HDC dc = nullptr;
    bool begun = false;
};

win::HandleTable<Instance>& instances() {
    static win::HandleTable<Instance> table(win::HandleKind::DrawDib);
    return table;
}

}  // namespace

extern "C" {

HDRAWDIB WINAPI DrawDibOpen(void) {
    return reinterpret_cast<HDRAWDIB>(instances().add(std::make_unique<Instance>()));
}

BOOL WINAPI DrawDibClose(HDRAWDIB hdd) { return instances().remove(hdd) ? TRUE : FALSE; }

BOOL WINAPI DrawDibBegin(HDRAWDIB hdd, HDC hdc, int, int, LPBITMAPINFOHEADER lpbi, int, int, UINT) {
    Instance* in = instances().get(hdd);
    if (!in || !lpbi || lpbi->biSize < sizeof(BITMAPINFOHEADER)) return FALSE;
    in->dc = hdc;
    in->begun = true;
    return TRUE;
}

BOOL WINAPI DrawDibEnd(HDRAWDIB hdd) {
    Instance* in = instances().get(hdd);
    if (!in) return FALSE;
    in->begun = false;
    return TRUE;
}

BOOL WINAPI DrawDibDraw(HDRAWDIB hdd, HDC hdc, int xDst, int yDst, int dxDst, int dyDst,
                        LPBITMAPINFOHEADER lpbi, LPVOID lpBits, int xSrc, int ySrc, int dxSrc,
                        int dySrc, UINT wFlags) {
    Instance* in = instances().get(hdd);
    if (!in || !hdc || !lpbi || !lpBits) return FALSE;
    if (wFlags & DDF_DONTDRAW) return TRUE;
    int height = lpbi->biHeight < 0 ? -lpbi->biHeight : lpbi->biHeight;
    // -1 sizes mean "as the source"; a missing source size means the whole DIB.
    if (dxSrc <= 0) dxSrc = lpbi->biWidth;
    if (dySrc <= 0) dySrc = height;
    if (dxDst < 0) dxDst = dxSrc;
    if (dyDst < 0) dyDst = dySrc;
    int old = SetStretchBltMode(hdc, HALFTONE);
    int lines = StretchDIBits(hdc, xDst, yDst, dxDst, dyDst, xSrc, ySrc, dxSrc, dySrc, lpBits,
                              reinterpret_cast<const BITMAPINFO*>(lpbi), DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(hdc, old);
    return lines > 0 ? TRUE : FALSE;
}

}  // extern "C"
