#include "pixel_font.h"

#include <array>

namespace art {

namespace {

struct Glyph {
    char ch;
    std::array<std::string_view, 7> rows;
};

constexpr Glyph glyphs[] = {
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
    {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
    {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
};

const Glyph* find(char ch) {
    for (const Glyph& g : glyphs)
        if (g.ch == ch) return &g;
    return nullptr;
}

}  // namespace

int text_width(std::string_view text, int scale) {
    return text.empty() ? 0 : int(text.size()) * 6 * scale - scale;
}

void draw_text(Canvas& c, int x, int y, std::string_view text, int scale, Colour colour) {
    for (char ch : text) {
        if (const Glyph* g = find(ch))
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g->rows[std::size_t(row)][std::size_t(col)] == '#')
                        c.fill(x + col * scale, y + row * scale, scale, scale, colour);
        x += 6 * scale;
    }
}

}  // namespace art
