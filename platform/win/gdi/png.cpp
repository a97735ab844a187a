// PNG output through libpng; a failed write leaves no file behind.
#include "win/gdi/png_writer.h"

// Our own header is also called png.h; reach libpng by its folder.
#include <libpng16/png.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace win::gdi {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool write_rows(std::FILE* file, const Surface& s) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(std::size_t(s.width) * 3);
    // libpng reports errors by longjmp; nothing with a destructor lives between here and the calls.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(s.width), png_uint_32(s.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < s.height; ++y) {
        const std::uint32_t* src = s.row(y);
        for (int x = 0; x < s.width; ++x) {
            row[std::size_t(3 * x)] = png_byte(src[x] >> 16);
            row[std::size_t(3 * x + 1)] = png_byte(src[x] >> 8);
            row[std::size_t(3 * x + 2)] = png_byte(src[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool write_png(const Surface& surface, const char* path) {
    if (!path || surface.width <= 0 || surface.height <= 0) return false;
    // Written beside the target and renamed, so a failure never leaves a partial picture.
    std::string temp = std::string(path) + ".part";
    bool ok = false;
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temp.c_str(), "wb"));
        if (!file) return false;
        ok = write_rows(file.get(), surface);
        ok = std::fflush(file.get()) == 0 && ok;
        ok = std::fclose(file.release()) == 0 && ok;
    }
    std::error_code ec;
    if (ok) std::filesystem::rename(temp, path, ec);
    if (!ok || ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace win::gdi
