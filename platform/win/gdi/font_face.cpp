// Font files found by fontconfig, opened and rendered with FreeType.
#include "win/gdi/font_face.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <string_view>

namespace win::gdi {
namespace {

constexpr const char* kFallbackSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kFallbackSansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct Library {
    FT_Library ft = nullptr;
    Library() {
        if (FT_Init_FreeType(&ft)) ft = nullptr;
    }
    ~Library() {
        if (ft) FT_Done_FreeType(ft);
    }
};

// Faces keep the library alive: they may outlive this file's statics at exit.
std::shared_ptr<Library> library() {
    static auto lib = std::make_shared<Library>();
    return lib;
}

struct FcPatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

std::string fontconfig_match(const std::string& family, bool bold) {
    FcPatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str())));
    if (!pattern) return {};
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result;
    FcPatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match) return {};
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file) return {};
    return reinterpret_cast<const char*>(file);
}

bool is_dialog_face(std::string_view face) {
    return face.empty() || face == "MS Shell Dlg" || face == "MS Shell Dlg 2" ||
           face == "MS Sans Serif" || face == "System";
}

// The classic dialog faces have no Linux files; the dialog face is DejaVu
// Sans Condensed, whose widths at 11 pixels give the classic base units 6 x 13.
std::string font_file(std::string_view face, bool bold) {
    const bool dialog = is_dialog_face(face);
    std::string file = fontconfig_match(dialog ? "DejaVu Sans Condensed" : std::string(face), bold);
    std::error_code ec;
    if (dialog && file.find("DejaVuSansCondensed") == std::string::npos) file.clear();
    if (file.empty() || !std::filesystem::exists(file, ec))
        file = bold ? kFallbackSansBold : kFallbackSans;
    return file;
}

// Windows-1252 code points for 0x80..0x9f; the rest of the byte range is Latin-1.
constexpr std::uint16_t kHighControls[32] = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};

FT_ULong code_point(unsigned char c) { return c >= 0x80 && c < 0xa0 ? kHighControls[c - 0x80] : c; }

}  // namespace

struct FontFace::Impl {
    std::shared_ptr<Library> library;
    FT_Face face = nullptr;
    bool synthetic_bold = false;
    ~Impl() {
        if (face) FT_Done_Face(face);
    }
};

FontFace::FontFace(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FontFace::~FontFace() = default;

std::shared_ptr<FontFace> open_font_face(const LOGFONTA& lf) {
    auto lib = library();
    if (!lib->ft) return nullptr;
    FT_Library ft = lib->ft;
    char name[LF_FACESIZE + 1] = {};
    std::memcpy(name, lf.lfFaceName, LF_FACESIZE);
    const bool bold = lf.lfWeight >= 600;
    std::string file = font_file(name, bold);
    auto impl = std::make_unique<FontFace::Impl>();
    impl->library = lib;
    if (FT_New_Face(ft, file.c_str(), 0, &impl->face) || !FT_IS_SCALABLE(impl->face)) {
        if (impl->face) FT_Done_Face(impl->face), impl->face = nullptr;
        if (FT_New_Face(ft, kFallbackSans, 0, &impl->face)) return nullptr;
        file = kFallbackSans;
    }
    FT_Face f = impl->face;
    const double units = f->units_per_EM;
    const double ascender = f->ascender / units, descender = -f->descender / units;
    // A negative height is the em size; a positive one the whole cell.
    double em = lf.lfHeight < 0   ? -lf.lfHeight
                : lf.lfHeight > 0 ? lf.lfHeight / (ascender + descender)
                                  : 11.0;
    em = std::clamp(em, 1.0, 512.0);
    // Without the condensed face, plain DejaVu Sans narrowed by a tenth keeps
    // the dialog widths.
    const double x_scale =
        is_dialog_face(name) && file.find("Condensed") == std::string::npos ? 0.9 : 1.0;
    if (FT_Set_Char_Size(f, FT_F26Dot6(std::lround(em * x_scale * 64)),
                         FT_F26Dot6(std::lround(em * 64)), 72, 72))
        return nullptr;
    impl->synthetic_bold = bold && !(f->style_flags & FT_STYLE_FLAG_BOLD);

    auto face = std::make_shared<FontFace>(std::move(impl));
    face->file_ = file;
    face->ascent_ = int(std::lround(ascender * em));
    face->descent_ = int(std::lround(descender * em));
    face->internal_leading_ = std::max(0, face->height() - int(std::lround(em)));
    face->weight_ = bold ? FW_BOLD : FW_NORMAL;
    face->max_advance_ = int(std::lround(f->max_advance_width / units * em * x_scale));
    return face;
}

const Glyph& FontFace::glyph(unsigned char c) {
    auto& slot = glyphs_[c];
    if (slot) return *slot;
    slot = std::make_unique<Glyph>();
    FT_Face f = impl_->face;
    FT_UInt index = FT_Get_Char_Index(f, code_point(c));
    if (FT_Load_Glyph(f, index, FT_LOAD_TARGET_NORMAL) == 0) {
        if (impl_->synthetic_bold && f->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
            FT_Outline_Embolden(&f->glyph->outline, 48);
        if (FT_Render_Glyph(f->glyph, FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& b = f->glyph->bitmap;
            Glyph& g = *slot;
            g.left = f->glyph->bitmap_left;
            g.top = f->glyph->bitmap_top;
            g.width = int(b.width);
            g.height = int(b.rows);
            g.advance = int((f->glyph->advance.x + 32) >> 6) + (impl_->synthetic_bold ? 1 : 0);
            g.coverage.resize(std::size_t(g.width) * std::size_t(g.height));
            for (int y = 0; y < g.height; ++y)
                std::memcpy(g.coverage.data() + std::size_t(y) * g.width,
                            b.buffer + std::ptrdiff_t(y) * b.pitch, std::size_t(g.width));
        }
    }
    return *slot;
}

int FontFace::extent(std::string_view text) {
    int width = 0;
    for (char ch : text) width += advance(static_cast<unsigned char>(ch));
    return width;
}

int FontFace::average_width() {
    int total = extent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (total / 26 + 1) / 2;
}

}  // namespace win::gdi

// Fontconfig loses a few bytes while parsing its XML configuration, once per
// process. LeakSanitizer asks this hook (when it is present) what to ignore;
// in other builds nothing calls it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
