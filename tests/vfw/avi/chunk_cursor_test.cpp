// The chunk cursor over the same bytes on disk and in memory: pad bytes,
// a chunk that claims more than its span holds, headers cut by the end.
#include "vfw/riff/internal/chunk_cursor.h"

#include <gtest/gtest.h>

#include "avi_test_util.h"

using namespace avitest;
using vfw::riff::Chunk;
using vfw::riff::ChunkCursor;

namespace {

struct Seen {
    std::uint32_t id;
    std::uint32_t size;
    std::uint64_t data;
    std::uint64_t body_size;
    bool fits;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> walk_memory(const Bytes& bytes, std::uint64_t begin, std::uint64_t end) {
    std::vector<Seen> seen;
    ChunkCursor cursor(begin, end);
    Chunk c;
    while (cursor.next(bytes.data(), c))
        seen.push_back({c.id, c.size, c.data, c.body_size(), c.fits()});
    return seen;
}

std::vector<Seen> walk_file(const std::string& path, std::uint64_t begin, std::uint64_t end) {
    std::vector<Seen> seen;
    vfw::riff::File file;
    if (!ok(vfw::riff::File::open_read(path, file))) {
        ADD_FAILURE() << "cannot open " << path;
        return seen;
    }
    ChunkCursor cursor(begin, end);
    Chunk c;
    while (cursor.next(file, c)) seen.push_back({c.id, c.size, c.data, c.body_size(), c.fits()});
    return seen;
}

Bytes header(const char* id, std::uint32_t size) {
    Bytes b;
    put32(b, cc(id));
    put32(b, size);
    return b;
}

TEST(ChunkCursor, SpansOnDiskAndInMemoryWalkAlike) {
    // 12 + 12 (3 bytes and a pad) + 8, then a header claiming 100 bytes with 6 behind it.
    const Bytes bytes = concat({chunk("aaaa", Bytes(4, 1)), chunk("odd1", Bytes(3, 2)),
                                chunk("none", {}), header("long", 100), Bytes(6, 3)});
    const std::uint64_t all = bytes.size();
    struct Case {
        const char* what;
        std::uint64_t begin, end;
        std::vector<Seen> want;
    };
    const Case cases[] = {
        {"whole span",
         0,
         all,
         {{cc("aaaa"), 4, 8, 4, true},
          {cc("odd1"), 3, 20, 3, true},
          {cc("none"), 0, 32, 0, true},
          {cc("long"), 100, 40, 6, false}}},
        {"a span ending inside a body cuts that body", 12, 22, {{cc("odd1"), 3, 20, 2, false}}},
        {"a span ending inside a header has no chunk there", 0, 19, {{cc("aaaa"), 4, 8, 4, true}}},
        {"an empty span", 12, 12, {}},
        {"a span shorter than a header", 12, 19, {}},
        {"a chunk exactly filling its span is the last", 0, 12, {{cc("aaaa"), 4, 8, 4, true}}},
    };
    TempDir dir;
    const std::string path = dir.file("chunks.bin");
    write_file(path, bytes);
    for (const Case& c : cases) {
        EXPECT_EQ(walk_memory(bytes, c.begin, c.end), c.want) << c.what << " (memory)";
        EXPECT_EQ(walk_file(path, c.begin, c.end), c.want) << c.what << " (file)";
    }
}

TEST(ChunkCursor, HugeClaimedSizesEndTheWalkWithoutWrapping) {
    const Bytes bytes = concat({header("huge", 0xFFFFFFFFu), chunk("next", Bytes(4, 0))});
    const std::vector<Seen> want = {{cc("huge"), 0xFFFFFFFFu, 8, bytes.size() - 8, false}};
    EXPECT_EQ(walk_memory(bytes, 0, bytes.size()), want);
}

TEST(ChunkCursor, AFileSpanPastTheFileEndStopsAtTheFailedRead) {
    const Bytes bytes = concat({chunk("aaaa", Bytes(4, 1)), header("long", 40)});
    TempDir dir;
    const std::string path = dir.file("short.bin");
    write_file(path, bytes);
    // The span promises more than the file holds: the header there cannot be read.
    const std::vector<Seen> want = {{cc("aaaa"), 4, 8, 4, true}, {cc("long"), 40, 20, 40, true}};
    EXPECT_EQ(walk_file(path, 0, 200), want);
    EXPECT_EQ(walk_file(path, 100, 200), std::vector<Seen>{});
}

}  // namespace
