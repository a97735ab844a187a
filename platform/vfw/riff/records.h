// On-disk records of the AVI RIFF form. All little-endian, byte-exact, and
// only ever copied to and from byte buffers (never cast over file memory).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace vfw::riff {

constexpr std::uint32_t fourcc(char a, char b, char c, char d) {
    return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
           std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

namespace cc {
inline constexpr std::uint32_t RIFF = fourcc('R', 'I', 'F', 'F');
inline constexpr std::uint32_t LIST = fourcc('L', 'I', 'S', 'T');
inline constexpr std::uint32_t AVI = fourcc('A', 'V', 'I', ' ');
inline constexpr std::uint32_t AVIX = fourcc('A', 'V', 'I', 'X');
inline constexpr std::uint32_t hdrl = fourcc('h', 'd', 'r', 'l');
inline constexpr std::uint32_t avih = fourcc('a', 'v', 'i', 'h');
inline constexpr std::uint32_t strl = fourcc('s', 't', 'r', 'l');
inline constexpr std::uint32_t strh = fourcc('s', 't', 'r', 'h');
inline constexpr std::uint32_t strf = fourcc('s', 't', 'r', 'f');
inline constexpr std::uint32_t strd = fourcc('s', 't', 'r', 'd');
inline constexpr std::uint32_t strn = fourcc('s', 't', 'r', 'n');
inline constexpr std::uint32_t indx = fourcc('i', 'n', 'd', 'x');
inline constexpr std::uint32_t odml = fourcc('o', 'd', 'm', 'l');
inline constexpr std::uint32_t dmlh = fourcc('d', 'm', 'l', 'h');
inline constexpr std::uint32_t JUNK = fourcc('J', 'U', 'N', 'K');
inline constexpr std::uint32_t movi = fourcc('m', 'o', 'v', 'i');
inline constexpr std::uint32_t rec = fourcc('r', 'e', 'c', ' ');
inline constexpr std::uint32_t idx1 = fourcc('i', 'd', 'x', '1');
inline constexpr std::uint32_t vids = fourcc('v', 'i', 'd', 's');
inline constexpr std::uint32_t auds = fourcc('a', 'u', 'd', 's');
}  // namespace cc

// Flags of legacy index entries.
inline constexpr std::uint32_t kIndexList = 0x01;
inline constexpr std::uint32_t kIndexKeyFrame = 0x10;
inline constexpr std::uint32_t kIndexNoTime = 0x100;
inline constexpr std::uint32_t kDeltaFrameBit = 0x80000000u;

inline constexpr std::uint8_t kIndexOfIndexes = 0;
inline constexpr std::uint8_t kIndexOfChunks = 1;

inline constexpr std::uint32_t kMainHeaderHasIndex = 0x10;
inline constexpr std::uint32_t kMainHeaderIsInterleaved = 0x100;
inline constexpr std::uint32_t kMainHeaderTrustCkType = 0x800;

struct MainHeader {
    std::uint32_t micro_sec_per_frame;
    std::uint32_t max_bytes_per_sec;
    std::uint32_t padding_granularity;
    std::uint32_t flags;
    std::uint32_t total_frames;
    std::uint32_t initial_frames;
    std::uint32_t streams;
    std::uint32_t suggested_buffer_size;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t reserved[4];
};
static_assert(sizeof(MainHeader) == 56 && std::is_trivially_copyable_v<MainHeader>);
static_assert(offsetof(MainHeader, flags) == 12 && offsetof(MainHeader, total_frames) == 16);
static_assert(offsetof(MainHeader, streams) == 24 &&
              offsetof(MainHeader, suggested_buffer_size) == 28);
static_assert(offsetof(MainHeader, width) == 32 && offsetof(MainHeader, height) == 36);
static_assert(offsetof(MainHeader, reserved) == 40);

struct StreamHeader {
    std::uint32_t type;
    std::uint32_t handler;
    std::uint32_t flags;
    std::uint16_t priority;
    std::uint16_t language;
    std::uint32_t initial_frames;
    std::uint32_t scale;
    std::uint32_t rate;
    std::uint32_t start;
    std::uint32_t length;
    std::uint32_t suggested_buffer_size;
    std::uint32_t quality;
    std::uint32_t sample_size;
    std::int16_t frame_left;
    std::int16_t frame_top;
    std::int16_t frame_right;
    std::int16_t frame_bottom;
};
static_assert(sizeof(StreamHeader) == 56 && std::is_trivially_copyable_v<StreamHeader>);
static_assert(offsetof(StreamHeader, priority) == 12 && offsetof(StreamHeader, language) == 14);
static_assert(offsetof(StreamHeader, scale) == 20 && offsetof(StreamHeader, start) == 28);
static_assert(offsetof(StreamHeader, length) == 32 &&
              offsetof(StreamHeader, suggested_buffer_size) == 36);
static_assert(offsetof(StreamHeader, quality) == 40 && offsetof(StreamHeader, sample_size) == 44);
static_assert(offsetof(StreamHeader, frame_left) == 48 &&
              offsetof(StreamHeader, frame_bottom) == 54);

struct LegacyIndexEntry {
    std::uint32_t chunk_id;
    std::uint32_t flags;
    std::uint32_t offset;
    std::uint32_t size;
};
static_assert(sizeof(LegacyIndexEntry) == 16 && offsetof(LegacyIndexEntry, offset) == 8);
static_assert(offsetof(LegacyIndexEntry, size) == 12);

// Header shared by super and standard indexes, after the chunk's id and size.
struct IndexHeader {
    std::uint16_t longs_per_entry;
    std::uint8_t sub_type;
    std::uint8_t type;
    std::uint32_t entries_in_use;
    std::uint32_t chunk_id;
    std::uint32_t base_offset_low;  // standard index: qwBaseOffset; super index: reserved
    std::uint32_t base_offset_high;
    std::uint32_t reserved;
};
static_assert(sizeof(IndexHeader) == 24 && offsetof(IndexHeader, type) == 3);
static_assert(offsetof(IndexHeader, entries_in_use) == 4 && offsetof(IndexHeader, chunk_id) == 8);
static_assert(offsetof(IndexHeader, base_offset_low) == 12 &&
              offsetof(IndexHeader, reserved) == 20);

struct SuperIndexEntry {
    std::uint32_t offset_low;  // file position of an ix## chunk (its header)
    std::uint32_t offset_high;
    std::uint32_t size;
    std::uint32_t duration;
};
static_assert(sizeof(SuperIndexEntry) == 16 && offsetof(SuperIndexEntry, size) == 8);
static_assert(offsetof(SuperIndexEntry, duration) == 12);

struct StandardIndexEntry {
    std::uint32_t offset;  // of the chunk data, relative to the base offset
    std::uint32_t size;    // bit 31 set: not a key frame
};
static_assert(sizeof(StandardIndexEntry) == 8 && offsetof(StandardIndexEntry, size) == 4);

// Reads a record from a byte buffer, zero-filling what the buffer lacks, so
// that short header chunks still yield defined values.
template <typename T>
T load_record(const std::uint8_t* data, std::size_t size) {
    static_assert(std::is_trivially_copyable_v<T>);
    T out{};
    std::memcpy(&out, data, size < sizeof(T) ? size : sizeof(T));
    return out;
}

inline std::uint32_t load_u32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

inline void store_u32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

// Data chunk ids: two hex digits of the stream number, then a two-letter type.
inline int stream_of_chunk(std::uint32_t id) {
    auto digit = [](std::uint8_t c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    int hi = digit(std::uint8_t(id)), lo = digit(std::uint8_t(id >> 8));
    if (hi < 0 || lo < 0) return -1;
    return hi * 16 + lo;
}

inline std::uint16_t chunk_twocc(std::uint32_t id) { return std::uint16_t(id >> 16); }

inline constexpr std::uint16_t kTwoccPalette = 0x6370;  // 'pc'

inline std::uint32_t make_chunk_id(int stream, std::uint16_t twocc) {
    const char* hex = "0123456789ABCDEF";
    return std::uint32_t(std::uint8_t(hex[(stream >> 4) & 15])) |
           std::uint32_t(std::uint8_t(hex[stream & 15])) << 8 | std::uint32_t(twocc) << 16;
}

// Standard index chunks are named ix## after their stream.
inline std::uint32_t make_index_chunk_id(int stream) {
    const char* hex = "0123456789ABCDEF";
    return fourcc('i', 'x', hex[(stream >> 4) & 15], hex[stream & 15]);
}

}  // namespace vfw::riff
