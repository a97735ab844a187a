#include "about_art.h"

#include <cstdio>

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

constexpr Colour sprocket = rgb(224, 224, 216);

// The icon's design at one size, shared by the pixel images and the SVG.
struct IconLayout {
    int size, holes, edge, half;
    int hole_x(int i) const { return i * size / holes + size / (2 * holes) - 1; }
    int play_x() const { return size / 2 - half / 2; }
    int play_mid() const { return size / 2 - 1; }
};

IconLayout icon_layout(int size) { return {size, size / 8, size / 8 + 1, size / 6}; }

Canvas icon(int size) {
    const IconLayout l = icon_layout(size);
    Canvas c(size, size);
    // Film frame body with rounded corners.
    c.fill(1, 0, size - 2, size, black);
    c.fill(0, 1, size, size - 2, black);
    for (int i = 0; i < l.holes; ++i) {
        c.fill(l.hole_x(i), 1, 2, l.edge - 2, sprocket);
        c.fill(l.hole_x(i), size - l.edge + 1, 2, l.edge - 2, sprocket);
    }
    Canvas screen(size - 4, size - 2 * l.edge);
    screen.vertical_gradient(screen_top, screen_bottom);
    c.draw(screen, 2, l.edge);
    c.triangle_right(l.play_x(), l.play_mid(), l.half, white);
    return c;
}

std::string hex(Colour c) {
    char out[8];
    std::snprintf(out, sizeof out, "#%06x", unsigned(c & 0xffffff));
    return out;
}

}  // namespace

Canvas icon_picture(int size) { return icon(size); }

std::string icon_svg() {
    const IconLayout l = icon_layout(32);
    const int s = l.size;
    std::string out;
    auto rect = [&](int x, int y, int w, int h, const std::string& fill) {
        out += "  <rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
               std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" fill=\"" + fill +
               "\"/>\n";
    };
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(s) +
           "\" height=\"" + std::to_string(s) + "\" viewBox=\"0 0 " + std::to_string(s) + " " +
           std::to_string(s) + "\">\n";
    out +=
        "  <defs><linearGradient id=\"screen\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
        "<stop offset=\"0\" stop-color=\"" +
        hex(screen_top) + "\"/><stop offset=\"1\" stop-color=\"" + hex(screen_bottom) +
        "\"/></linearGradient></defs>\n";
    out += "  <rect x=\"0\" y=\"0\" width=\"" + std::to_string(s) + "\" height=\"" +
           std::to_string(s) + "\" rx=\"1\" fill=\"" + hex(black) + "\"/>\n";
    for (int i = 0; i < l.holes; ++i) {
        rect(l.hole_x(i), 1, 2, l.edge - 2, hex(sprocket));
        rect(l.hole_x(i), s - l.edge + 1, 2, l.edge - 2, hex(sprocket));
    }
    rect(2, l.edge, s - 4, s - 2 * l.edge, "url(#screen)");
    const int x = l.play_x(), mid = l.play_mid(), h = l.half;
    out += "  <polygon points=\"" + std::to_string(x) + "," + std::to_string(mid - h) + " " +
           std::to_string(x + h + 1) + "," + std::to_string(mid) + ".5 " + std::to_string(x) + "," +
           std::to_string(mid + h + 1) + "\" fill=\"" + hex(white) + "\"/>\n";
    out += "</svg>\n";
    return out;
}

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
