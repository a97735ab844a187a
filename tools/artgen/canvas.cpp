#include "canvas.h"

#include <algorithm>
#include <cstdlib>

namespace art {

Canvas::Canvas(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(std::size_t(width * height), fill) {}

void Canvas::set(int x, int y, Colour c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[std::size_t(y * width_ + x)] = c;
}

void Canvas::fill(int x, int y, int w, int h, Colour c) {
    for (int j = std::max(y, 0); j < std::min(y + h, height_); ++j)
        for (int i = std::max(x, 0); i < std::min(x + w, width_); ++i)
            pixels_[std::size_t(j * width_ + i)] = c;
}

void Canvas::frame(int x, int y, int w, int h, Colour c) {
    hline(x, y, w, c);
    hline(x, y + h - 1, w, c);
    vline(x, y, h, c);
    vline(x + w - 1, y, h, c);
}

void Canvas::line(int x0, int y0, int x1, int y1, Colour c) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (true) {
        set(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

void Canvas::triangle_right(int base_x, int mid_y, int half, Colour c) {
    for (int d = -half; d <= half; ++d) hline(base_x, mid_y + d, half - std::abs(d) + 1, c);
}

void Canvas::triangle_left(int tip_x, int mid_y, int half, Colour c) {
    for (int d = -half; d <= half; ++d) {
        int len = half - std::abs(d) + 1;
        hline(tip_x + half + 1 - len, mid_y + d, len, c);
    }
}

void Canvas::ellipse(int x, int y, int w, int h, Colour c) {
    double cx = x + w / 2.0, cy = y + h / 2.0, rx = w / 2.0, ry = h / 2.0;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) {
            double u = (i + 0.5 - cx) / rx, v = (j + 0.5 - cy) / ry;
            if (u * u + v * v <= 1.0) set(i, j, c);
        }
}

void Canvas::draw(const Canvas& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i)
            if (src.at(i, j) != none) set(x + i, y + j, src.at(i, j));
}

void Canvas::silhouette(const Canvas& src, int x, int y, Colour c) {
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i)
            if (src.at(i, j) != none) set(x + i, y + j, c);
}

void Canvas::pattern(int x, int y, std::initializer_list<std::string_view> rows, Colour c) {
    int j = 0;
    for (std::string_view row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            if (row[i] == '#') set(x + int(i), y + j, c);
        ++j;
    }
}

void Canvas::paint(int x, int y, std::initializer_list<std::string_view> rows,
                   std::initializer_list<Ink> inks) {
    int j = 0;
    for (std::string_view row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            for (const Ink& ink : inks)
                if (ink.key == row[i]) set(x + int(i), y + j, ink.colour);
        ++j;
    }
}

void Canvas::vertical_gradient(Colour top, Colour bottom) {
    auto channel = [](Colour c, int shift) { return int((c >> shift) & 0xff); };
    for (int y = 0; y < height_; ++y) {
        int t = height_ > 1 ? y * 255 / (height_ - 1) : 0;
        auto mix = [&](int shift) {
            return (channel(top, shift) * (255 - t) + channel(bottom, shift) * t) / 255;
        };
        hline(0, y, width_, rgb(mix(16), mix(8), mix(0)));
    }
}

}  // namespace art
