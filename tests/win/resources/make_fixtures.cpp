// Writes the small pictures that sample.rc names into the folder given.
#include <fstream>
#include <iostream>
#include <string>

#include "bmp_builder.h"

namespace {

bool write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

// A 2 x 2 icon: colour rows bottom-up (blue, white / red, green) and a mask
// that makes the top-left pixel transparent.
std::vector<std::uint8_t> tiny_icon() {
    BmpLayout s;
    s.height = 4;
    s.rows = {{255, 0, 0, 255, 255, 255}, {0, 0, 255, 0, 255, 0}, {0b00000000}, {0b10000000}};
    std::vector<std::uint8_t> dib = build_dib(s);
    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, 1);
    out.insert(out.end(), {2, 2, 0, 0});
    put16(out, 1);
    put16(out, 24);
    put32(out, std::uint32_t(dib.size()));
    put32(out, 22);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::string dir = argv[1];
    BmpLayout q24;  // bottom-up: blue, white / red, green
    q24.rows = {{255, 0, 0, 255, 255, 255}, {0, 0, 255, 0, 255, 0}};
    BmpLayout q8;
    q8.bit_count = 8;
    q8.height = -2;
    q8.palette = {0xff0000, 0x00ff00, 0x0000ff, 0xffffff};
    q8.rows = {{0, 1}, {2, 3}};
    bool ok = write(dir + "/quad24.bmp", build_bmp(q24)) &&
              write(dir + "/quad8.bmp", build_bmp(q8)) && write(dir + "/tiny.ico", tiny_icon());
    if (!ok) std::cerr << "cannot write the fixtures into " << dir << "\n";
    return ok ? 0 : 1;
}
