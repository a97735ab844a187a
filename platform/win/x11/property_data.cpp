#include "win/x11/property_data.h"

#include <cstdint>

#include "win/gdi/objects.h"

namespace win::x11 {

namespace {

// Windows-1252 0x80..0x9F; 0 marks the five unused codes.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void append_utf8(std::string& out, char16_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string utf8_from_ansi(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        auto b = static_cast<unsigned char>(ch);
        char16_t c = b;
        if (b >= 0x80 && b < 0xA0) c = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : u'?';
        append_utf8(out, c);
    }
    return out;
}

std::vector<unsigned long> net_wm_icon_data(const std::vector<HICON>& icons) {
    std::vector<unsigned long> out;
    for (HICON h : icons) {
        const gdi::Icon* icon = gdi::find_icon(h);
        if (!icon) continue;
        const gdi::Surface& im = icon->image;
        out.push_back(static_cast<unsigned long>(im.width));
        out.push_back(static_cast<unsigned long>(im.height));
        for (std::size_t i = 0; i < im.pixels.size(); ++i) {
            std::uint32_t alpha = i < icon->alpha.size() ? icon->alpha[i] : 255;
            out.push_back((alpha << 24) | (im.pixels[i] & 0xFFFFFF));
        }
    }
    return out;
}

}  // namespace win::x11
