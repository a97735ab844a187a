// FreeType faces at one pixel size, with a glyph cache for the 8-bit
// character set (Windows-1252).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "wingdi.h"

namespace win::gdi {

struct Glyph {
    int left = 0;  // bitmap offset from the pen position
    int top = 0;   // rows above the baseline
    int width = 0, height = 0;
    int advance = 0;
    std::vector<std::uint8_t> coverage;  // width * height, 0..255
};

class FontFace {
  public:
    struct Impl;
    explicit FontFace(std::unique_ptr<Impl> impl);
    ~FontFace();

    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int height() const { return ascent_ + descent_; }
    int internal_leading() const { return internal_leading_; }
    int weight() const { return weight_; }
    int max_advance() const { return max_advance_; }
    const std::string& file() const { return file_; }

    const Glyph& glyph(unsigned char c);
    int advance(unsigned char c) { return glyph(c).advance; }
    int extent(std::string_view text);
    // Extent of "A..Za..z" / 52, rounded: the dialog base unit x.
    int average_width();

  private:
    friend std::shared_ptr<FontFace> open_font_face(const LOGFONTA& lf);
    std::unique_ptr<Impl> impl_;
    std::array<std::unique_ptr<Glyph>, 256> glyphs_;
    int ascent_ = 0, descent_ = 0, internal_leading_ = 0, weight_ = FW_NORMAL, max_advance_ = 0;
    std::string file_;
};

// Null when no usable font file can be found or opened.
std::shared_ptr<FontFace> open_font_face(const LOGFONTA& lf);

}  // namespace win::gdi
