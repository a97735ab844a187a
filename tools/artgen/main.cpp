// korvane_artgen OUTDIR: draws every picture the resource script names and
// writes them into OUTDIR, then OUTDIR/art.stamp.
#include <cstdio>
#include <string>
#include <vector>

#include "about_art.h"
#include "button_art.h"
#include "glyphs.h"
#include "image_writer.h"

namespace {

struct Button {
    const char* name;  // file stem: the caption in lower case
    art::Canvas (*glyph)();
    bool disabled_picture;
    bool sixteen_bit_up;  // the one up picture kept at 16 bits per pixel
};

const Button buttons[] = {
    {"st", art::glyph::start, true, false},      {"prev", art::glyph::previous, true, false},
    {"play", art::glyph::play, true, false},     {"ps", art::glyph::pause, true, false},
    {"next", art::glyph::next, true, false},     {"end", art::glyph::end, true, false},
    {"frame", art::glyph::picture, true, false}, {"video", art::glyph::film, true, false},
    {"audio", art::glyph::speaker, true, true},  {"open", art::glyph::open_folder, false, false},
    {"save", art::glyph::floppy, true, false},
};

struct MenuPicture {
    int id;
    art::Canvas (*glyph)();
};

const MenuPicture menu_pictures[] = {
    {131, art::glyph::speaker}, {132, art::glyph::exit_door},      {133, art::glyph::globe},
    {134, art::glyph::help},    {135, art::glyph::open_folder},    {137, art::glyph::floppy},
    {138, art::glyph::film},    {139, art::glyph::close_document}, {140, art::glyph::picture},
    {142, art::glyph::note},    {185, art::glyph::info},
};

// Menu pictures are copied without transparency, so they carry the menu face.
art::Canvas on_face(const art::Canvas& glyph) {
    art::Canvas c(glyph.width(), glyph.height(), art::face);
    c.draw(glyph, 0, 0);
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvane_artgen OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    auto put = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        if (!art::write_file(dir + "/" + name, bytes)) {
            std::fprintf(stderr, "korvane_artgen: cannot write %s/%s\n", dir.c_str(), name.c_str());
            ok = false;
        }
    };

    for (const Button& b : buttons) {
        art::Canvas glyph = b.glyph();
        std::string stem = b.name;
        put(stem + "u.bmp", art::bmp_bytes(art::button_picture(glyph, art::ButtonState::up),
                                           b.sixteen_bit_up ? 16 : 24));
        put(stem + "d.bmp", art::bmp_bytes(art::button_picture(glyph, art::ButtonState::down), 24));
        if (b.disabled_picture)
            put(stem + "x.bmp",
                art::bmp_bytes(art::button_picture(glyph, art::ButtonState::disabled), 24));
    }
    for (const MenuPicture& m : menu_pictures)
        put("menu" + std::to_string(m.id) + ".bmp", art::bmp_bytes(on_face(m.glyph()), 24));
    put("about.bmp", art::bmp_bytes(art::about_picture(), 16));
    put("korvane.ico", art::ico_bytes(art::icon_images()));
    // The desktop's icon theme: the same design at each size it asks for.
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        std::vector<std::uint8_t> png = art::png_bytes(art::icon_picture(size));
        if (png.empty())
            ok = false;
        else
            put("icon-" + std::to_string(size) + ".png", png);
    }
    std::string svg = art::icon_svg();
    put("icon.svg", std::vector<std::uint8_t>(svg.begin(), svg.end()));
    if (ok) put("art.stamp", {});
    return ok ? 0 : 1;
}
