#include "glyphs.h"

namespace art::glyph {

namespace {

constexpr int size = 16;
constexpr Colour ink = black;
constexpr Colour navy = rgb(0, 0, 128);
constexpr Colour blue = rgb(0, 64, 192);
constexpr Colour sky = rgb(166, 202, 240);
constexpr Colour grass = rgb(0, 128, 0);
constexpr Colour sun = rgb(255, 224, 0);
constexpr Colour folder = rgb(255, 216, 96);
constexpr Colour folder_dark = rgb(192, 144, 0);
constexpr Colour folder_light = rgb(255, 248, 184);
constexpr Colour red = rgb(192, 0, 0);
constexpr Colour grey = rgb(192, 192, 192);
constexpr Colour wood = rgb(160, 96, 32);
constexpr Colour wood_light = rgb(208, 152, 88);
constexpr Colour green = rgb(0, 160, 64);

}  // namespace

// Pixel art below keeps one row of pixels per line.
// clang-format off

Canvas start() {
    Canvas c(size, size);
    c.fill(2, 3, 2, 9, ink);
    c.triangle_left(4, 7, 4, ink);
    c.triangle_left(9, 7, 4, ink);
    return c;
}

Canvas previous() {
    Canvas c(size, size);
    c.triangle_left(4, 7, 4, ink);
    c.fill(10, 3, 2, 9, ink);
    return c;
}

Canvas play() {
    Canvas c(size, size);
    c.triangle_right(5, 7, 5, ink);
    return c;
}

Canvas pause() {
    Canvas c(size, size);
    c.fill(4, 3, 3, 9, ink);
    c.fill(9, 3, 3, 9, ink);
    return c;
}

Canvas next() {
    Canvas c(size, size);
    c.fill(4, 3, 2, 9, ink);
    c.triangle_right(7, 7, 4, ink);
    return c;
}

Canvas end() {
    Canvas c(size, size);
    c.triangle_right(2, 7, 4, ink);
    c.triangle_right(7, 7, 4, ink);
    c.fill(12, 3, 2, 9, ink);
    return c;
}

Canvas picture() {
    Canvas c(size, size);
    c.frame(1, 2, 14, 12, dark_shadow);
    c.fill(2, 3, 12, 10, sky);
    c.ellipse(9, 4, 3, 3, sun);
    c.paint(2, 8, {
        "..##........",
        ".####...##..",
        "######.#####",
        "############",
        "############",
    }, {{'#', grass}});
    return c;
}

Canvas film() {
    Canvas c(size, size);
    c.fill(3, 1, 10, 14, ink);
    for (int y = 2; y < 14; y += 2) {
        c.set(4, y, white);
        c.set(11, y, white);
    }
    c.fill(6, 2, 4, 5, sky);
    c.fill(6, 9, 4, 5, sky);
    return c;
}

Canvas speaker() {
    Canvas c(size, size);
    c.paint(1, 2, {
        "......#.......",
        ".....##.......",
        "....#g#...b...",
        "...#gg#....b..",
        "####gg#..b..b.",
        "#ggggg#...b.b.",
        "#ggggg#...b.b.",
        "#ggggg#...b.b.",
        "#ggggg#...b.b.",
        "####gg#..b..b.",
        "...#gg#....b..",
        "....#g#...b...",
        ".....##.......",
        "......#.......",
    }, {{'#', ink}, {'g', grey}, {'b', blue}});
    return c;
}

Canvas open_folder() {
    Canvas c(size, size);
    c.paint(0, 2, {
        ".#####..........",
        "#lllll#.........",
        "#lyyyyy#######..",
        "#lyyyyyyyyyyy#..",
        "#ly###########..",
        "#l#lllllllllll#.",
        "#l#lyyyyyyyyyy#.",
        "##lyyyyyyyyyy#..",
        "##lyyyyyyyyyy#..",
        "#lyyyyyyyyyy#...",
        "#dddddddddddd#..",
        "##############..",
    }, {{'#', ink}, {'y', folder}, {'l', folder_light}, {'d', folder_dark}});
    return c;
}

Canvas floppy() {
    Canvas c(size, size);
    c.paint(1, 1, {
        "##############",
        "#n#wwwwwwww#n#",
        "#n#wwwwwwww#n#",
        "#n#wrrrrrrw#n#",
        "#n#wwwwwwww#n#",
        "#n#wwwwwwww#n#",
        "#nn########nn#",
        "#nnnnnnnnnnnn#",
        "#nn########nn#",
        "#nn#gg##gg#nn#",
        "#nn#gg##gg#nn#",
        "#nn#gggggg#nn#",
        ".#############",
    }, {{'#', ink}, {'n', navy}, {'w', white}, {'r', red}, {'g', grey}});
    return c;
}

Canvas exit_door() {
    Canvas c(size, size);
    c.paint(1, 1, {
        "#########.....",
        "#lwwwwww#.....",
        "#lwwwwww#.....",
        "#lwwwwww#.....",
        "#lwwwwww#..a..",
        "#lwwwwww#..aa.",
        "#lwwwkww#aaaaa",  // the knob, and the arrow leaving
        "#lwwwkww#aaaaa",
        "#lwwwwww#..aa.",
        "#lwwwwww#..a..",
        "#lwwwwww#.....",
        "#lwwwwww#.....",
        "#lwwwwww#.....",
        "#########.....",
    }, {{'#', ink}, {'l', wood_light}, {'w', wood}, {'k', sun}, {'a', green}});
    return c;
}

Canvas globe() {
    Canvas c(15, 15);
    c.ellipse(0, 0, 15, 15, blue);
    c.paint(0, 0, {
        "...............",
        "......gg.......",
        "....ggggg..gg..",
        "...gggggg.ggg..",
        "..ggggggg..g...",
        "...ggggg.......",
        "....ggg....ggg.",
        ".....gg...gggg.",
        "......g..ggggg.",
        "..........gggg.",
        "..........ggg..",
        "...........g...",
        "...............",
        "...............",
        "...............",
    }, {{'g', green}});
    return c;
}

Canvas help() {
    Canvas c(size, size);
    c.ellipse(1, 1, 14, 14, blue);
    c.paint(5, 3, {
        ".###.",
        "##.##",
        "...##",
        "..##.",
        "..##.",
        ".....",
        "..##.",
        "..##.",
    }, {{'#', white}});
    return c;
}

Canvas close_document() {
    Canvas c(size, size);
    c.paint(2, 1, {
        "#######...",
        "#wwwww##..",
        "#wwwww#w#.",
        "#wwwww####",
        "#wwwwwwww#",
        "#wwwwwwww#",
        "#wwwwwwww#",
        "#wwwwwwww#",
        "#wwwwwwww#",
        "#wwwwwwww#",
        "#wwwwwwww#",
        "#wwwwwwww#",
        "#wwwwwwww#",
        "##########",
    }, {{'#', ink}, {'w', white}});
    for (int i = 0; i < 7; ++i) {
        c.set(7 + i, 7 + i, red);
        c.set(8 + i, 7 + i, red);
        c.set(13 - i, 7 + i, red);
        c.set(14 - i, 7 + i, red);
    }
    return c;
}

Canvas note() {
    Canvas c(size, size);
    c.paint(3, 1, {
        ".....#....",
        ".....##...",
        ".....#.#..",
        ".....#..#.",
        ".....#..#.",
        ".....#.#..",
        ".....#....",
        ".....#....",
        ".....#....",
        "..####....",
        ".#####....",
        "######....",
        "#####.....",
        ".###......",
    }, {{'#', navy}});
    return c;
}

Canvas info() {
    Canvas c(size, size);
    c.ellipse(1, 1, 14, 14, blue);
    c.paint(6, 3, {
        ".##.",
        ".##.",
        "....",
        "###.",
        ".##.",
        ".##.",
        ".##.",
        ".##.",
        "####",
    }, {{'#', white}});
    return c;
}

// clang-format on

}  // namespace art::glyph
