// The four message-box icons, drawn by code at 32 x 32: a red circle with a
// white X, a speech bubble with an "i" or a "?", a yellow triangle with a
// "!". Shapes are sampled 4 x 4 per pixel so their edges blend into any
// background through the icon's alpha.
#include <array>
#include <cmath>
#include <vector>

#include "win/dialogs/dialogs.h"
#include "win/gdi/icon.h"

namespace win::dialogs {

namespace {

constexpr int kSize = 32;
constexpr int kSub = 4;
constexpr int kGrid = kSize * kSub;

struct P {
    double x, y;
};

double segment_distance(P p, P a, P b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

bool on_stroke(P p, const std::vector<P>& line, double half_width) {
    for (size_t i = 0; i + 1 < line.size(); ++i)
        if (segment_distance(p, line[i], line[i + 1]) <= half_width) return true;
    return false;
}

bool in_circle(P p, P c, double r) {
    return (p.x - c.x) * (p.x - c.x) + (p.y - c.y) * (p.y - c.y) <= r * r;
}

bool in_triangle(P p, P a, P b, P c) {
    auto side = [](P p1, P p2, P p3) {
        return (p1.x - p3.x) * (p2.y - p3.y) - (p2.x - p3.x) * (p1.y - p3.y);
    };
    double d1 = side(p, a, b), d2 = side(p, b, c), d3 = side(p, c, a);
    bool neg = d1 < 0 || d2 < 0 || d3<0, pos = d1> 0 || d2 > 0 || d3 > 0;
    return !(neg && pos);
}

bool in_bubble(P p) {
    double ex = (p.x - 16) / 14.5, ey = (p.y - 13.5) / 12.0;
    return ex * ex + ey * ey <= 1.0 || in_triangle(p, P{7, 20}, P{15, 24}, P{4, 31});
}

// The "?" as a stroke: an arc over the top, a bend into the stem, and a dot.
const std::vector<P>& question_stroke() {
    static const std::vector<P> line = [] {
        std::vector<P> l;
        const double pi = 3.14159265358979;
        for (int i = 0; i <= 12; ++i) {
            double a =
                (200.0 - 260.0 * i / 12.0) * pi / 180.0;  // counter-clockwise from lower left
            l.push_back(P{16 + 5.5 * std::cos(a), 10.5 - 5.5 * std::sin(a)});
        }
        l.push_back(P{16.2, 17.5});
        l.push_back(P{16.2, 19.5});
        return l;
    }();
    return line;
}

struct Look {
    std::uint32_t fill, outline, glyph;
};

struct Sample {
    bool shape = false;
    bool glyph = false;
};

Sample sample(IconKind kind, P p) {
    Sample s;
    switch (kind) {
        case IconKind::Stop:
            s.shape = in_circle(p, P{16, 16}, 15);
            s.glyph = on_stroke(p, {P{10.5, 10.5}, P{21.5, 21.5}}, 2.0) ||
                      on_stroke(p, {P{21.5, 10.5}, P{10.5, 21.5}}, 2.0);
            break;
        case IconKind::Information:
            s.shape = in_bubble(p);
            s.glyph = in_circle(p, P{16, 6.5}, 2.0) || on_stroke(p, {P{16, 11}, P{16, 20}}, 1.8);
            break;
        case IconKind::Question:
            s.shape = in_bubble(p);
            s.glyph = on_stroke(p, question_stroke(), 1.7) || in_circle(p, P{16.2, 22.5}, 1.9);
            break;
        case IconKind::Warning:
            s.shape = in_triangle(p, P{16, 1}, P{31, 29.5}, P{1, 29.5});
            s.glyph = on_stroke(p, {P{16, 10}, P{16, 20}}, 1.8) || in_circle(p, P{16, 24.5}, 1.9);
            break;
        case IconKind::None:
            break;
    }
    return s;
}

Look look_of(IconKind kind) {
    switch (kind) {
        case IconKind::Stop:
            return {0xFF0000, 0x800000, 0xFFFFFF};
        case IconKind::Information:
            return {0xFFFFFF, 0x404040, 0x0000FF};
        case IconKind::Question:
            return {0xFFFFFF, 0x404040, 0x0000FF};
        case IconKind::Warning:
            return {0xFFFF00, 0x000000, 0x000000};
        case IconKind::None:
            break;
    }
    return {};
}

HICON draw_icon(IconKind kind) {
    // Membership of each sample, then an outline where the shape meets the
    // outside within one pixel.
    std::vector<Sample> grid(size_t(kGrid) * kGrid);
    for (int y = 0; y < kGrid; ++y)
        for (int x = 0; x < kGrid; ++x)
            grid[size_t(y) * kGrid + size_t(x)] =
                sample(kind, P{(x + 0.5) / kSub, (y + 0.5) / kSub});
    auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < kGrid && y < kGrid &&
               grid[size_t(y) * kGrid + size_t(x)].shape;
    };
    Look look = look_of(kind);
    gdi::Surface image(kSize, kSize, 0);
    std::vector<std::uint8_t> alpha(size_t(kSize) * kSize, 0);
    for (int py = 0; py < kSize; ++py) {
        for (int px = 0; px < kSize; ++px) {
            unsigned r = 0, g = 0, b = 0, n = 0;
            for (int sy = 0; sy < kSub; ++sy) {
                for (int sx = 0; sx < kSub; ++sx) {
                    int x = px * kSub + sx, y = py * kSub + sy;
                    if (!inside(x, y)) continue;
                    bool edge = !inside(x - kSub, y) || !inside(x + kSub, y) ||
                                !inside(x, y - kSub) || !inside(x, y + kSub);
                    std::uint32_t c = edge                                        ? look.outline
                                      : grid[size_t(y) * kGrid + size_t(x)].glyph ? look.glyph
                                                                                  : look.fill;
                    r += (c >> 16) & 0xFF, g += (c >> 8) & 0xFF, b += c & 0xFF, ++n;
                }
            }
            if (!n) continue;
            image.row(py)[px] = ((r / n) << 16) | ((g / n) << 8) | (b / n);
            alpha[size_t(py) * kSize + size_t(px)] = std::uint8_t(n * 255 / (kSub * kSub));
        }
    }
    return gdi::create_icon(image, alpha);
}

}  // namespace

HICON message_box_icon(IconKind kind) {
    if (kind == IconKind::None) return nullptr;
    // Made on first use and kept for the life of the program, like the
    // platform's shared system icons.
    static std::array<HICON, 5> icons{};
    HICON& slot = icons[size_t(kind)];
    if (!slot) slot = draw_icon(kind);
    return slot;
}

}  // namespace win::dialogs
