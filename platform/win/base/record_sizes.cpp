// The platform's records keep their exact sizes and offsets on LP64.
#include <cstddef>

#include "mmreg.h"
#include "winuser.h"

static_assert(sizeof(BOOL) == 4 && sizeof(LONG) == 4 && sizeof(DWORD) == 4 && sizeof(WORD) == 2);
static_assert(sizeof(WPARAM) == 8 && sizeof(LPARAM) == 8 && sizeof(LRESULT) == 8);
static_assert(sizeof(HRESULT) == 4 && sizeof(COLORREF) == 4);
static_assert(sizeof(RECT) == 16 && offsetof(RECT, right) == 8);
static_assert(sizeof(POINT) == 8 && sizeof(SIZE) == 8);
static_assert(sizeof(BITMAPFILEHEADER) == 14 && offsetof(BITMAPFILEHEADER, bfOffBits) == 10);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(offsetof(BITMAPINFOHEADER, biPlanes) == 12 &&
              offsetof(BITMAPINFOHEADER, biBitCount) == 14);
static_assert(offsetof(BITMAPINFOHEADER, biCompression) == 16 &&
              offsetof(BITMAPINFOHEADER, biClrImportant) == 36);
static_assert(sizeof(RGBQUAD) == 4 && sizeof(BITMAPINFO) == 44);
static_assert(sizeof(WAVEFORMATEX) == 18 && offsetof(WAVEFORMATEX, nBlockAlign) == 12);
static_assert(offsetof(WAVEFORMATEX, cbSize) == 16 && sizeof(PCMWAVEFORMAT) == 16);
static_assert(sizeof(MSG) == 48 && offsetof(MSG, pt) == 36);
static_assert(sizeof(PAINTSTRUCT) == 72 && offsetof(PAINTSTRUCT, rcPaint) == 12);
static_assert(sizeof(NMHDR) == 24 && offsetof(NMHDR, code) == 16);
static_assert(sizeof(DRAWITEMSTRUCT) == 64 && offsetof(DRAWITEMSTRUCT, hwndItem) == 24);
static_assert(offsetof(DRAWITEMSTRUCT, rcItem) == 40 && offsetof(DRAWITEMSTRUCT, itemData) == 56);
static_assert(sizeof(MEASUREITEMSTRUCT) == 32 && offsetof(MEASUREITEMSTRUCT, itemData) == 24);
static_assert(sizeof(CREATESTRUCTA) == 80 && offsetof(CREATESTRUCTA, style) == 48);
static_assert(sizeof(WNDCLASSA) == 72);
static_assert(sizeof(TEXTMETRICA) == 53 + 3 && sizeof(LOGFONTA) == 60);
