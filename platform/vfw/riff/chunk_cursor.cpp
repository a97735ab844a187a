#include "vfw/riff/internal/chunk_cursor.h"

#include "vfw/riff/records.h"

namespace vfw::riff {

bool ChunkCursor::next(const File& file, Chunk& out) {
    std::uint8_t header[8];
    if (!has_header() || !ok(file.read_at(pos_, header, sizeof header))) return false;
    take(header, out);
    return true;
}

bool ChunkCursor::next(const std::uint8_t* base, Chunk& out) {
    if (!has_header()) return false;
    take(base + pos_, out);
    return true;
}

void ChunkCursor::take(const std::uint8_t* header, Chunk& out) {
    out.id = load_u32(header);
    out.size = load_u32(header + 4);
    out.data = pos_ + 8;
    out.left = end_ - out.data;
    pos_ = out.end() + (out.size & 1);
}

}  // namespace vfw::riff
