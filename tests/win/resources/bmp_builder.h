// Builds small .bmp files byte by byte, so each test states exactly what the
// file holds, including broken ones.
#pragma once

#include <cstdint>
#include <vector>

struct BmpLayout {
    std::int32_t width = 2;
    std::int32_t height = 2;  // negative: top-down
    std::uint16_t bit_count = 24;
    std::uint32_t compression = 0;
    std::uint32_t header_size = 40;
    std::uint16_t planes = 1;
    std::vector<std::uint32_t> palette;           // 0x00RRGGBB
    std::vector<std::uint32_t> masks;             // written after a 40-byte header when not empty
    std::vector<std::vector<std::uint8_t>> rows;  // in file order, unpadded
};

inline void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
inline void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// The info header, masks, palette and padded rows: a packed DIB.
inline std::vector<std::uint8_t> build_dib(const BmpLayout& s) {
    std::vector<std::uint8_t> out;
    put32(out, s.header_size);
    put32(out, std::uint32_t(s.width));
    put32(out, std::uint32_t(s.height));
    put16(out, s.planes);
    put16(out, s.bit_count);
    put32(out, s.compression);
    put32(out, 0);  // image size
    put32(out, 2835);
    put32(out, 2835);
    put32(out, std::uint32_t(s.palette.size()));
    put32(out, 0);
    out.resize(out.size() + (s.header_size - 40), 0);
    for (std::uint32_t m : s.masks) put32(out, m);
    for (std::uint32_t c : s.palette) put32(out, c);
    for (const auto& row : s.rows) {
        out.insert(out.end(), row.begin(), row.end());
        std::size_t pad = (4 - row.size() % 4) % 4;
        out.insert(out.end(), pad, 0);
    }
    return out;
}

inline std::vector<std::uint8_t> build_bmp(const BmpLayout& s) {
    std::vector<std::uint8_t> dib = build_dib(s);
    std::uint32_t pixels_at =
        14 + s.header_size + std::uint32_t(s.masks.size() * 4 + s.palette.size() * 4);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, std::uint32_t(14 + dib.size()));
    put32(out, 0);
    put32(out, pixels_at);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}
