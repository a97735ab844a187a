// Writes canvases as .bmp, .ico and .png files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace art {

// Uncompressed, bottom-up; bits 24 (B, G, R) or 16 (5-5-5). `none` pixels
// are written as black.
std::vector<std::uint8_t> bmp_bytes(const Canvas& c, int bits);

// One 32-bit image per canvas, with alpha and an AND mask: `none` pixels are
// transparent.
std::vector<std::uint8_t> ico_bytes(const std::vector<Canvas>& images);

// An RGBA PNG: `none` pixels are transparent. Empty when libpng fails.
std::vector<std::uint8_t> png_bytes(const Canvas& c);

// Writes through a temporary name, so a failed run leaves no partial file.
bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace art
