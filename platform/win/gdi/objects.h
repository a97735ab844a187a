// The GDI's own tables: every brush, pen, bitmap, font, icon and device
// context lives here and is reached only through its handle.
#pragma once

#include <memory>
#include <vector>

#include "win/base/handle_table.h"
#include "win/gdi/surface.h"
#include "wingdi.h"

namespace win::gdi {

class FontFace;

struct Brush {
    COLORREF color = 0;
    bool hollow = false;
    bool stock = false;
};

struct Pen {
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
    bool stock = false;
};

// DIB sections in a layout other than top-down 32-bit keep their own bits
// in that layout; the surface is brought in step before and after drawing.
struct DibBits {
    BITMAPINFOHEADER header{};
    std::vector<RGBQUAD> colors;  // palette or bit masks as given
    std::vector<std::uint8_t> bits;
};

struct Bitmap {
    std::shared_ptr<Surface> surface;
    HDC selected_in = nullptr;
    bool stock = false;
    int bits_pixel = 32;  // as reported by GetObjectA
    bool dib = false;
    std::unique_ptr<DibBits> dib_bits;  // null when the surface is the DIB's memory
};

struct Font {
    LOGFONTA logfont{};
    std::shared_ptr<FontFace> face;
    bool stock = false;
};

struct Icon {
    Surface image;
    std::vector<std::uint8_t> alpha;
};

struct DcState {
    POINT viewport{0, 0};
    RECT clip{0, 0, 0, 0};  // surface coordinates; already within the base clip
    HBRUSH brush = nullptr;
    HPEN pen = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;  // memory DCs only
    COLORREF text_color = 0;
    COLORREF bk_color = 0xffffff;
    int bk_mode = OPAQUE;
    int stretch_mode = COLORONCOLOR;
    POINT position{0, 0};
};

struct DeviceContext {
    std::shared_ptr<Surface> surface;
    POINT origin{0, 0};
    RECT base_clip{0, 0, 0, 0};
    HWND window = nullptr;
    bool memory = false;
    HBITMAP default_bitmap = nullptr;  // memory DCs: the 1x1 bitmap they start with
    DcState state;
    std::vector<DcState> saved;
};

// The 1x1 bitmap every memory DC starts with; not reachable through GetStockObject.
inline constexpr int kDefaultBitmap = DEFAULT_GUI_FONT + 1;

class Tables {
  public:
    HandleTable<DeviceContext> dcs{HandleKind::DeviceContext};
    HandleTable<Brush> brushes{HandleKind::Brush};
    HandleTable<Pen> pens{HandleKind::Pen};
    HandleTable<Bitmap> bitmaps{HandleKind::Bitmap};
    HandleTable<Font> fonts{HandleKind::Font};
    HandleTable<Icon> icons{HandleKind::Icon};

    // Stock objects by GetStockObject index (plus kDefaultBitmap); made on
    // first use, never freed.
    HGDIOBJ stock(int index);
    HBRUSH sys_color_brush(int index);

  private:
    HGDIOBJ stock_[DEFAULT_GUI_FONT + 2] = {};
    HBRUSH sys_brushes_[31] = {};
};

Tables& tables();

inline DeviceContext* find_dc(HDC h) { return tables().dcs.get(h); }
inline Brush* find_brush(HBRUSH h) { return tables().brushes.get(h); }
inline Pen* find_pen(HPEN h) { return tables().pens.get(h); }
inline Bitmap* find_bitmap(HBITMAP h) { return tables().bitmaps.get(h); }
inline Font* find_font(HFONT h) { return tables().fonts.get(h); }
inline Icon* find_icon(HICON h) { return tables().icons.get(h); }

HBITMAP make_bitmap(int width, int height, int bits_pixel);
HFONT make_font(const LOGFONTA& lf, bool stock);

}  // namespace win::gdi
