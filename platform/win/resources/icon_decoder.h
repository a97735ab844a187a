// Reads .ico files: a directory of images, each a DIB with its AND mask.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "win/resources/dib_decoder.h"

namespace win::res {

struct IconImage {
    int width = 0;
    int height = 0;
    int bit_count = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top-down
    std::vector<std::uint8_t> alpha;    // 0 transparent .. 255 opaque, top-down
};

struct [[nodiscard]] IconResult {
    DibError error = DibError::none;
    IconImage image;
    bool ok() const { return error == DibError::none; }
};

// Number of images in the directory, or -1 when it is malformed.
int icon_image_count(std::span<const std::uint8_t> file);

// Decodes the image whose size is closest to `size` x `size` (the deepest of
// equals). Alpha comes from 32-bit pixels when any is non-zero, else from the
// AND mask.
IconResult decode_icon(std::span<const std::uint8_t> file, int size);

}  // namespace win::res
