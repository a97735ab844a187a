#include "image_writer.h"

#include <libpng16/png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace art {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

void info_header(std::vector<std::uint8_t>& out, int w, int h, int bits, std::uint32_t image_size) {
    put32(out, 40);
    put32(out, std::uint32_t(w));
    put32(out, std::uint32_t(h));
    put16(out, 1);
    put16(out, std::uint32_t(bits));
    put32(out, 0);  // BI_RGB
    put32(out, image_size);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
}

std::uint32_t stride(int w, int bits) { return std::uint32_t((w * bits + 31) / 32 * 4); }

}  // namespace

std::vector<std::uint8_t> bmp_bytes(const Canvas& c, int bits) {
    const std::uint32_t row = stride(c.width(), bits);
    const std::uint32_t image = row * std::uint32_t(c.height());
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, 14 + 40 + image);
    put32(out, 0);
    put32(out, 14 + 40);
    info_header(out, c.width(), c.height(), bits, image);
    for (int y = c.height() - 1; y >= 0; --y) {
        std::size_t start = out.size();
        for (int x = 0; x < c.width(); ++x) {
            Colour p = c.at(x, y) == none ? black : c.at(x, y);
            int r = int(p >> 16 & 0xff), g = int(p >> 8 & 0xff), b = int(p & 0xff);
            if (bits == 16) {
                put16(out, std::uint32_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)));
            } else {
                out.push_back(std::uint8_t(b));
                out.push_back(std::uint8_t(g));
                out.push_back(std::uint8_t(r));
            }
        }
        out.resize(start + row, 0);
    }
    return out;
}

std::vector<std::uint8_t> ico_bytes(const std::vector<Canvas>& images) {
    std::vector<std::vector<std::uint8_t>> dibs;
    for (const Canvas& c : images) {
        std::vector<std::uint8_t> d;
        const std::uint32_t mask_row = stride(c.width(), 1);
        info_header(
            d, c.width(), c.height() * 2, 32,
            std::uint32_t(c.width() * c.height() * 4) + mask_row * std::uint32_t(c.height()));
        for (int y = c.height() - 1; y >= 0; --y)
            for (int x = 0; x < c.width(); ++x) {
                Colour p = c.at(x, y);
                bool clear = p == none;
                put32(d, clear ? 0 : (p | 0xff000000u));
            }
        for (int y = c.height() - 1; y >= 0; --y) {
            std::vector<std::uint8_t> bits(mask_row, 0);
            for (int x = 0; x < c.width(); ++x)
                if (c.at(x, y) == none) bits[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
            d.insert(d.end(), bits.begin(), bits.end());
        }
        dibs.push_back(std::move(d));
    }
    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, std::uint32_t(images.size()));
    std::uint32_t offset = std::uint32_t(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(std::uint8_t(images[i].width()));
        out.push_back(std::uint8_t(images[i].height()));
        out.push_back(0);
        out.push_back(0);
        put16(out, 1);
        put16(out, 32);
        put32(out, std::uint32_t(dibs[i].size()));
        put32(out, offset);
        offset += std::uint32_t(dibs[i].size());
    }
    for (const auto& d : dibs) out.insert(out.end(), d.begin(), d.end());
    return out;
}

namespace {

void append_png(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

}  // namespace

std::vector<std::uint8_t> png_bytes(const Canvas& c) {
    std::vector<std::uint8_t> out;
    std::vector<png_byte> rgba(std::size_t(c.width()) * std::size_t(c.height()) * 4);
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            Colour p = c.at(x, y);
            png_byte* px = &rgba[(std::size_t(y) * std::size_t(c.width()) + std::size_t(x)) * 4];
            px[0] = png_byte(p >> 16);
            px[1] = png_byte(p >> 8);
            px[2] = png_byte(p);
            px[3] = p == none ? 0 : 255;
        }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    // libpng reports errors by longjmp; the buffers above outlive the jump.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, append_png, nullptr);
    png_set_IHDR(png, info, png_uint_32(c.width()), png_uint_32(c.height()), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < c.height(); ++y)
        png_write_row(png, &rgba[std::size_t(y) * std::size_t(c.width()) * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.flush();
        if (!out) {
            std::remove(tmp.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) std::remove(tmp.c_str());
    return !ec;
}

}  // namespace art
