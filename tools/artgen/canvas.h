// A small raster for drawing the artwork pixel by pixel. Colours are
// 0x00RRGGBB; `none` marks pixels a glyph leaves untouched.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace art {

using Colour = std::uint32_t;
inline constexpr Colour none = 0xff000000;

constexpr Colour rgb(int r, int g, int b) { return Colour(r) << 16 | Colour(g) << 8 | Colour(b); }

// The classic grey 3-D scheme the pictures are drawn for.
inline constexpr Colour face = rgb(212, 208, 200);
inline constexpr Colour light = rgb(212, 208, 200);
inline constexpr Colour highlight = rgb(255, 255, 255);
inline constexpr Colour shadow = rgb(128, 128, 128);
inline constexpr Colour dark_shadow = rgb(64, 64, 64);
inline constexpr Colour black = rgb(0, 0, 0);
inline constexpr Colour white = rgb(255, 255, 255);

class Canvas {
  public:
    Canvas(int width, int height, Colour fill = none);

    int width() const { return width_; }
    int height() const { return height_; }
    Colour at(int x, int y) const { return pixels_[std::size_t(y * width_ + x)]; }
    const std::vector<Colour>& pixels() const { return pixels_; }

    // Every drawing call clips to the canvas.
    void set(int x, int y, Colour c);
    void fill(int x, int y, int w, int h, Colour c);
    void frame(int x, int y, int w, int h, Colour c);
    void hline(int x, int y, int length, Colour c) { fill(x, y, length, 1, c); }
    void vline(int x, int y, int length, Colour c) { fill(x, y, 1, length, c); }
    void line(int x0, int y0, int x1, int y1, Colour c);
    // Triangles pointing right or left: the tip row is 1 pixel, each row
    // away from it one pixel shorter; `half` rows above and below the middle.
    void triangle_right(int base_x, int mid_y, int half, Colour c);
    void triangle_left(int tip_x, int mid_y, int half, Colour c);
    // Filled ellipse inside the box, tested at pixel centres.
    void ellipse(int x, int y, int w, int h, Colour c);
    // Copies the pixels of `src` that are not `none`.
    void draw(const Canvas& src, int x, int y);
    // Paints `c` wherever `src` has a pixel.
    void silhouette(const Canvas& src, int x, int y, Colour c);
    // Rows of text, '#' a pixel; each row string is one pixel row.
    void pattern(int x, int y, std::initializer_list<std::string_view> rows, Colour c);
    // Pixel art: each character of a row is one pixel, coloured by the key
    // of the same character; characters without a key are left alone.
    struct Ink {
        char key;
        Colour colour;
    };
    void paint(int x, int y, std::initializer_list<std::string_view> rows,
               std::initializer_list<Ink> inks);
    void vertical_gradient(Colour top, Colour bottom);

  private:
    int width_, height_;
    std::vector<Colour> pixels_;
};

}  // namespace art
