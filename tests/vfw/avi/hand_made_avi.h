// 8-bit video files built chunk by chunk, for what ffmpeg cannot write
// (palette changes, run-length coding).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vfw::test {

using Bytes = std::vector<std::uint8_t>;

struct HandChunk {
    std::string id;  // "00dc", "00pc"
    Bytes data;
    std::uint32_t flags = 0;  // of its idx1 entry
};

struct HandVideo {
    int width = 0;
    int height = 0;
    std::uint32_t compression = 0;  // BI_RGB or BI_RLE8
    Bytes palette;                  // blue, green, red, 0 for each entry
    std::vector<HandChunk> chunks;  // in file order
    bool with_index = true;         // an idx1 after the movi list
    bool open_dml = false;          // a super index and one standard index (ix00) instead
};

void write_hand_made_avi(const std::filesystem::path& path, const HandVideo& video);

}  // namespace vfw::test
