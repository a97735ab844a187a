// Walks the chunks of one span of a RIFF file, on disk or read into memory,
// checking each chunk's claimed size against what the span has left.
#pragma once

#include <algorithm>
#include <cstdint>

#include "vfw/riff/file.h"

namespace vfw::riff {

// A chunk header as the cursor found it.
struct Chunk {
    std::uint32_t id = 0;
    std::uint32_t size = 0;  // as claimed by the header
    std::uint64_t data = 0;  // where the body starts
    std::uint64_t left = 0;  // bytes of the span after the header

    bool fits() const { return size <= left; }
    // The body as far as the span holds it.
    std::uint64_t body_size() const { return std::min<std::uint64_t>(size, left); }
    std::uint64_t end() const { return data + size; }
};

class ChunkCursor {
  public:
    ChunkCursor() = default;
    ChunkCursor(std::uint64_t begin, std::uint64_t end) : pos_(begin), end_(end) {}

    // The next chunk of the span in file. Each step goes past the claimed body
    // and its pad byte, so a chunk that claims more than is left is the last.
    // False once no whole header is left or it cannot be read.
    bool next(const File& file, Chunk& out);
    // The same for a span held in memory, its offsets counted from base.
    bool next(const std::uint8_t* base, Chunk& out);

    std::uint64_t end() const { return end_; }

  private:
    bool has_header() const { return pos_ <= end_ && end_ - pos_ >= 8; }
    void take(const std::uint8_t* header, Chunk& out);

    std::uint64_t pos_ = 0;
    std::uint64_t end_ = 0;
};

}  // namespace vfw::riff
