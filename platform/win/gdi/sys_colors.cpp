// System colours (the Windows 2000 standard scheme) and system metrics.
#include "win/gdi/sys_colors.h"

#include <array>

#include "win/gdi/objects.h"
#include "winuser.h"

namespace win::gdi {
namespace {

constexpr int kColorCount = COLOR_MENUBAR + 1;

constexpr std::array<COLORREF, kColorCount> kColors = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25: unused
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};
static_assert(kColors.size() == COLOR_MENUBAR + 1, "one colour per COLOR_ index");

struct Screen {
    int width = 1024, height = 768;
};

Screen& screen() {
    static Screen s;
    return s;
}

}  // namespace

COLORREF sys_color(int index) {
    return index >= 0 && index < kColorCount ? kColors[std::size_t(index)] : 0;
}

void set_screen_size(int width, int height) {
    if (width > 0 && height > 0) screen() = {width, height};
}

}  // namespace win::gdi

DWORD GetSysColor(int index) { return win::gdi::sys_color(index); }

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index > COLOR_MENUBAR) return nullptr;
    return win::gdi::tables().sys_color_brush(index);
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
            return win::gdi::screen().width;
        case SM_CYSCREEN:
            return win::gdi::screen().height;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case 9:   // SM_CYVTHUMB
        case 10:  // SM_CXHTHUMB
        case 20:  // SM_CYVSCROLL
        case 21:  // SM_CXHSCROLL
            return 16;
        case SM_CYCAPTION:
            return 18;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return 3;
        case 32:  // SM_CXFRAME
        case 33:  // SM_CYFRAME
            return 4;
        case 30:  // SM_CXSIZE
        case 31:  // SM_CYSIZE
            return 18;
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        case SM_CYMENU:
            return 19;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return 2;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CXMENUCHECK:
        case SM_CYMENUCHECK:
            return 13;
        default:
            return 0;
    }
}
