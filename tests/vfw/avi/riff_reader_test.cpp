// The container reader on hand-made files: where the index comes from, how
// idx1 offsets are read, LIST rec groups and JUNK, recovery when the index
// is missing, cut off or wrong, and files past 4 GB.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "hand_made.h"
#include "vfw/riff/avi_reader.h"

using namespace avitest;
using vfw::riff::AviReader;
using vfw::riff::Error;
using vfw::riff::IndexSource;

namespace {

vfw::riff::MainHeader main_header(std::uint32_t streams) {
    vfw::riff::MainHeader m{};
    m.micro_sec_per_frame = 40000;
    m.streams = streams;
    m.width = 4;
    m.height = 2;
    m.flags = 0x10;
    return m;
}

// Two streams, chunks interleaved, with distinct sizes and contents so any
// mix-up of offsets or streams shows.
struct Sample {
    std::vector<HandStream> streams;
    std::vector<HandChunk> chunks;
};

Sample two_streams() {
    Sample s;
    s.streams.push_back({video_header(3), bitmap_info(4, 2, 24), "pictures"});
    s.streams.push_back({audio_header(12, 2, 8000), wave_format(1, 8000, 16), ""});
    s.chunks = {
        {0, "db", Bytes(24, 1), true},  {1, "wb", Bytes(10, 2), true},
        {0, "db", Bytes(24, 3), false}, {1, "wb", Bytes(14, 4), true},
        {0, "db", Bytes(24, 5), true},
    };
    return s;
}

void expect_chunks(const AviReader& r, const Sample& s, bool key_flags_known) {
    ASSERT_EQ(r.streams().size(), s.streams.size());
    std::vector<std::size_t> seen(s.streams.size());
    for (const HandChunk& c : s.chunks) {
        const auto& index = r.streams()[std::size_t(c.stream)].index;
        std::size_t i = seen[std::size_t(c.stream)]++;
        ASSERT_LT(i, index.size());
        EXPECT_EQ(index[i].size, c.data.size());
        if (key_flags_known) {
            EXPECT_EQ(index[i].key != 0, c.key);
        }
        Bytes got(index[i].size);
        ASSERT_EQ(r.read_chunk(index[i], got.data()), Error::None);
        EXPECT_EQ(got, c.data);
    }
    for (std::size_t k = 0; k < seen.size(); ++k) EXPECT_EQ(r.streams()[k].index.size(), seen[k]);
}

std::unique_ptr<AviReader> open(const std::string& path) {
    std::unique_ptr<AviReader> r;
    EXPECT_EQ(AviReader::open(path, r), Error::None);
    return r;
}

}  // namespace

TEST(RiffReader, HeadersFormatsAndNames) {
    TempDir dir;
    Sample s = two_streams();
    write_file(dir.file("a.avi"), build_avi(main_header(2), s.streams, s.chunks));
    auto r = open(dir.file("a.avi"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->main_header().micro_sec_per_frame, 40000u);
    EXPECT_EQ(r->streams()[0].header.type, cc("vids"));
    EXPECT_EQ(r->streams()[0].format, bitmap_info(4, 2, 24));
    EXPECT_EQ(r->streams()[0].name, "pictures");
    EXPECT_EQ(r->streams()[1].format.size(), 18u);
    EXPECT_EQ(r->streams()[1].largest_chunk, 14u);
}

TEST(RiffReader, LegacyIndexRelativeAndAbsoluteOffsets) {
    TempDir dir;
    Sample s = two_streams();
    for (bool absolute : {false, true}) {
        HandOptions opt;
        opt.absolute_offsets = absolute;
        write_file(dir.file("a.avi"), build_avi(main_header(2), s.streams, s.chunks, opt));
        auto r = open(dir.file("a.avi"));
        ASSERT_TRUE(r);
        EXPECT_EQ(r->index_source(), IndexSource::Legacy) << "absolute " << absolute;
        expect_chunks(*r, s, true);
    }
}

TEST(RiffReader, RecListsAreReadThroughIndexAndScan) {
    TempDir dir;
    Sample s = two_streams();
    for (bool with_index : {true, false}) {
        HandOptions opt;
        opt.rec_pairs = true;
        opt.idx1 = with_index;
        write_file(dir.file("a.avi"), build_avi(main_header(2), s.streams, s.chunks, opt));
        auto r = open(dir.file("a.avi"));
        ASSERT_TRUE(r);
        EXPECT_EQ(r->index_source(), with_index ? IndexSource::Legacy : IndexSource::Scan);
        expect_chunks(*r, s, with_index);
    }
}

TEST(RiffReader, IndexCutOffIsRecoveredByScanning) {
    TempDir dir;
    Sample s = two_streams();
    Bytes file = build_avi(main_header(2), s.streams, s.chunks);
    file.resize(file.size() - 20);  // the idx1 loses its tail
    write_file(dir.file("a.avi"), file);
    auto r = open(dir.file("a.avi"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->index_source(), IndexSource::Scan);
    expect_chunks(*r, s, false);
}

TEST(RiffReader, IndexPointingElsewhereIsRecoveredByScanning) {
    TempDir dir;
    Sample s = two_streams();
    Bytes file = build_avi(main_header(2), s.streams, s.chunks);
    // Shift every idx1 offset by two bytes: no entry lands on its chunk.
    std::size_t idx = file.size() - 16 * s.chunks.size();
    for (std::size_t i = 0; i < s.chunks.size(); ++i) file[idx + 16 * i + 8] += 2;
    write_file(dir.file("a.avi"), file);
    auto r = open(dir.file("a.avi"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->index_source(), IndexSource::Scan);
    expect_chunks(*r, s, false);
}

TEST(RiffReader, ShortIndexLosesToScanWhenHeaderPromisesMore) {
    TempDir dir;
    Sample s = two_streams();
    Bytes file = build_avi(main_header(2), s.streams, s.chunks);
    // Drop the last idx1 entry (the third video frame) but keep a valid index.
    file.resize(file.size() - 16);
    std::uint32_t idx_size = vfw::riff::load_u32(&file[file.size() - 16 * 4 - 4]);
    vfw::riff::store_u32(&file[file.size() - 16 * 4 - 4], idx_size - 16);
    vfw::riff::store_u32(&file[4], std::uint32_t(file.size() - 8));
    write_file(dir.file("a.avi"), file);
    auto r = open(dir.file("a.avi"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->index_source(), IndexSource::Scan);
    EXPECT_EQ(r->streams()[0].index.size(), 3u);
}

TEST(RiffReader, PaletteChangesAreNotSamples) {
    TempDir dir;
    Sample s = two_streams();
    s.chunks.insert(s.chunks.begin() + 1, HandChunk{0, "pc", Bytes(8, 9), false});
    write_file(dir.file("a.avi"), build_avi(main_header(2), s.streams, s.chunks));
    auto r = open(dir.file("a.avi"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->streams()[0].index.size(), 3u);
}

TEST(RiffReader, OpenDmlIndexBeyondFourGigabytes) {
    TempDir dir;
    const std::string path = dir.file("big.avi");
    // First RIFF: headers with a super index, a tiny movi, and a JUNK chunk
    // that carries the file past 4 GB; the AVIX part with the frame and its
    // standard index lies beyond. The holes are sparse.
    const std::uint64_t avix_at = 0xF0000000ull;
    const std::uint64_t frame_junk = 0x20000000ull;  // inside the AVIX movi
    Bytes frame(24, 0x5A);

    std::uint64_t movi_list = avix_at + 12;
    std::uint64_t frame_header = movi_list + 12 + 8 + frame_junk;
    std::uint64_t ix_at = frame_header + 8 + frame.size();
    ASSERT_GT(frame_header, 0x100000000ull);

    Bytes ix_body;
    put16(ix_body, 2);
    ix_body.push_back(0);
    ix_body.push_back(1);
    put32(ix_body, 1);
    put32(ix_body, cc("00db"));
    put32(ix_body, std::uint32_t(avix_at));
    put32(ix_body, std::uint32_t(avix_at >> 32));
    put32(ix_body, 0);
    put32(ix_body, std::uint32_t(frame_header + 8 - avix_at));
    put32(ix_body, std::uint32_t(frame.size()));
    Bytes ix = chunk("ix00", ix_body);

    Bytes indx;
    put16(indx, 4);
    indx.push_back(0);
    indx.push_back(0);
    put32(indx, 1);
    put32(indx, cc("00db"));
    put32(indx, 0);
    put32(indx, 0);
    put32(indx, 0);
    put32(indx, std::uint32_t(ix_at));
    put32(indx, std::uint32_t(ix_at >> 32));
    put32(indx, std::uint32_t(ix.size()));
    put32(indx, 1);

    auto m = main_header(1);
    Bytes strl = list("LIST", "strl",
                      {chunk("strh", record(video_header(1))), chunk("strf", bitmap_info(4, 2, 24)),
                       chunk("indx", indx)});
    Bytes head = concat({list("LIST", "hdrl", {chunk("avih", record(m)), strl})});
    Bytes first;
    put32(first, cc("RIFF"));
    put32(first, std::uint32_t(avix_at - 8));
    put32(first, cc("AVI "));
    first = concat({first, head, list("LIST", "movi", {})});
    std::uint64_t junk_at = first.size();
    put32(first, cc("JUNK"));
    put32(first, std::uint32_t(avix_at - junk_at - 8));

    Bytes part;
    put32(part, cc("RIFF"));
    put32(part, std::uint32_t(ix_at + ix.size() - avix_at - 8));
    put32(part, cc("AVIX"));
    put32(part, cc("LIST"));
    put32(part, std::uint32_t(ix_at + ix.size() - movi_list - 8));
    put32(part, cc("movi"));
    put32(part, cc("JUNK"));
    put32(part, std::uint32_t(frame_junk));

    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    auto put = [&](std::uint64_t at, const Bytes& b) {
        ASSERT_EQ(pwrite(fd, b.data(), b.size(), off_t(at)), ssize_t(b.size()));
    };
    put(0, first);
    put(avix_at, part);
    put(frame_header, concat({chunk("00db", frame), ix}));
    ::close(fd);

    auto r = open(path);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->index_source(), IndexSource::OpenDml);
    ASSERT_EQ(r->streams()[0].index.size(), 1u);
    EXPECT_EQ(r->streams()[0].index[0].offset, frame_header + 8);
    Bytes got(frame.size());
    ASSERT_EQ(r->read_chunk(r->streams()[0].index[0], got.data()), Error::None);
    EXPECT_EQ(got, frame);
}

// A super index naming one standard index twice: its frames count once.
TEST(RiffReader, RepeatedStandardIndexReadOnce) {
    TempDir dir;
    const Bytes frame(24, 0x33);
    auto super_index = [](std::uint64_t ix_at, std::uint32_t ix_size) {
        Bytes indx;
        put16(indx, 4);
        indx.push_back(0);
        indx.push_back(0);
        put32(indx, 2);
        put32(indx, cc("00db"));
        for (int i = 0; i < 3; ++i) put32(indx, 0);
        for (int i = 0; i < 2; ++i) {  // the same entry twice
            put32(indx, std::uint32_t(ix_at));
            put32(indx, 0);
            put32(indx, ix_size);
            put32(indx, 3);
        }
        return indx;
    };
    auto headers = [&](const Bytes& indx) {
        Bytes strl = list("LIST", "strl",
                          {chunk("strh", record(video_header(3))),
                           chunk("strf", bitmap_info(4, 2, 24)), chunk("indx", indx)});
        return list("LIST", "hdrl", {chunk("avih", record(main_header(1))), strl});
    };
    const std::uint64_t movi_data = 12 + headers(super_index(0, 0)).size() + 12;
    Bytes ix_body;
    put16(ix_body, 2);
    ix_body.push_back(0);
    ix_body.push_back(1);
    put32(ix_body, 3);
    put32(ix_body, cc("00db"));
    for (int i = 0; i < 3; ++i)
        put32(ix_body, 0);  // base offset 0: offsets count from the file's start
    std::vector<Bytes> movi_children;
    for (int k = 0; k < 3; ++k) {
        put32(ix_body, std::uint32_t(movi_data + std::uint64_t(k) * (8 + frame.size()) + 8));
        put32(ix_body, std::uint32_t(frame.size()));
        movi_children.push_back(chunk("00db", frame));
    }
    const Bytes ix = chunk("ix00", ix_body);
    movi_children.push_back(ix);
    const std::uint64_t ix_at = movi_data + 3 * (8 + frame.size());
    Bytes body;
    put32(body, cc("AVI "));
    body = concat({body, headers(super_index(ix_at, std::uint32_t(ix.size()))),
                   list("LIST", "movi", movi_children)});
    Bytes file;
    put32(file, cc("RIFF"));
    put32(file, std::uint32_t(body.size()));
    write_file(dir.file("odml.avi"), concat({file, body}));

    auto r = open(dir.file("odml.avi"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->index_source(), IndexSource::OpenDml);
    ASSERT_EQ(r->streams()[0].index.size(), 3u);
    EXPECT_EQ(r->streams()[0].index[2].offset, ix_at - frame.size());
}

TEST(RiffReader, UnfinishedFileWithZeroSizesIsScanned) {
    TempDir dir;
    Sample s = two_streams();
    HandOptions opt;
    opt.idx1 = false;
    Bytes file = build_avi(main_header(2), s.streams, s.chunks, opt);
    // A writer that stopped before patching leaves the RIFF and movi sizes at zero.
    vfw::riff::store_u32(&file[4], 0);
    std::size_t movi = 0;
    for (std::size_t i = 12; i + 12 <= file.size(); ++i)
        if (vfw::riff::load_u32(&file[i]) == cc("LIST") &&
            vfw::riff::load_u32(&file[i + 8]) == cc("movi"))
            movi = i;
    ASSERT_NE(movi, 0u);
    vfw::riff::store_u32(&file[movi + 4], 0);
    write_file(dir.file("a.avi"), file);
    auto r = open(dir.file("a.avi"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->index_source(), IndexSource::Scan);
    expect_chunks(*r, s, false);
}
