#include "picture.h"

#include <gtest/gtest.h>

#include "win/gdi/png_writer.h"

namespace win::gdi::test {

TestDc::TestDc(int w, int h, std::uint32_t fill) : surface(std::make_shared<Surface>(w, h, fill)) {
    dc = create_surface_dc(surface, {0, 0}, {0, 0, w, h}, nullptr);
}

TestDc::~TestDc() { delete_surface_dc(dc); }

std::string picture(const Surface& s, const std::map<std::uint32_t, char>& legend) {
    std::string out;
    for (int y = 0; y < s.height; ++y) {
        if (y) out += '\n';
        for (int x = 0; x < s.width; ++x) {
            auto it = legend.find(s.at(x, y) & 0xffffff);
            out += it == legend.end() ? '?' : it->second;
        }
    }
    return out;
}

std::string lines(std::initializer_list<const char*> rows) {
    std::string out;
    for (const char* r : rows) {
        if (!out.empty()) out += '\n';
        out += r;
    }
    return out;
}

bool same_picture(const Surface& actual, const std::string& expected,
                  const std::map<std::uint32_t, char>& legend, const std::string& name) {
    if (picture(actual, legend) == expected) return true;
    Surface want(actual.width, actual.height, 0xff00ff);
    int x = 0, y = 0;
    for (char ch : expected) {
        if (ch == '\n') {
            ++y, x = 0;
            continue;
        }
        for (const auto& [pixel, letter] : legend)
            if (letter == ch && x < want.width && y < want.height) want.row(y)[x] = pixel;
        ++x;
    }
    EXPECT_TRUE(write_png(actual, (name + ".actual.png").c_str()));
    EXPECT_TRUE(write_png(want, (name + ".expected.png").c_str()));
    return false;
}

}  // namespace win::gdi::test
