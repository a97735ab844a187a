#include "about_art.h"

#include "pixel_font.h"

namespace art {

namespace {

constexpr Colour night = rgb(16, 24, 64);
constexpr Colour dusk = rgb(48, 96, 160);
constexpr Colour screen_top = rgb(64, 128, 208);
constexpr Colour screen_bottom = rgb(16, 48, 128);

// A strip of film across the picture, frames filled with soft colours.
void film_strip(Canvas& c, int y, int height) {
    c.fill(0, y, c.width(), height, black);
    for (int x = 4; x < c.width(); x += 16) {
        c.fill(x, y + 3, 8, 5, rgb(224, 224, 216));
        c.fill(x, y + height - 8, 8, 5, rgb(224, 224, 216));
    }
    const Colour tints[] = {rgb(96, 144, 200),  rgb(200, 160, 96),  rgb(112, 176, 112),
                            rgb(176, 112, 144), rgb(144, 144, 208), rgb(208, 192, 120)};
    int i = 0;
    for (int x = 6; x < c.width(); x += 64, ++i) {
        Canvas frame(56, height - 22);
        frame.vertical_gradient(tints[i % 6], rgb(32, 32, 48));
        c.draw(frame, x, y + 11);
    }
}

Canvas icon(int size) {
    Canvas c(size, size);
    const int holes = size / 8;  // sprocket holes per edge
    // Film frame body with rounded corners.
    c.fill(1, 0, size - 2, size, black);
    c.fill(0, 1, size, size - 2, black);
    int edge = size / 8 + 1;
    for (int i = 0; i < holes; ++i) {
        int x = i * size / holes + size / (2 * holes) - 1;
        c.fill(x, 1, 2, edge - 2, rgb(224, 224, 216));
        c.fill(x, size - edge + 1, 2, edge - 2, rgb(224, 224, 216));
    }
    Canvas screen(size - 4, size - 2 * edge);
    screen.vertical_gradient(screen_top, screen_bottom);
    c.draw(screen, 2, edge);
    int half = size / 6;
    c.triangle_right(size / 2 - half / 2, size / 2 - 1 + (size > 16 ? 0 : 0), half, white);
    return c;
}

}  // namespace

Canvas about_picture() {
    Canvas c(380, 160);
    c.vertical_gradient(night, dusk);
    const char* title = "Korvane";
    int tx = (c.width() - text_width(title, 6)) / 2;
    draw_text(c, tx + 3, 19, title, 6, rgb(8, 12, 32));
    draw_text(c, tx, 16, title, 6, white);
    const char* version = "Version 1.0";
    draw_text(c, (c.width() - text_width(version, 2)) / 2, 74, version, 2, rgb(208, 216, 232));
    film_strip(c, 106, 46);
    return c;
}

std::vector<Canvas> icon_images() { return {icon(32), icon(16)}; }

}  // namespace art
