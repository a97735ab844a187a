// Palette-change chunks (##pc) in 8-bit streams, plain and run-length coded:
// every frame is shown in the colours in force at its position, as ffmpeg
// shows it, whether the index or a scan of the chunks finds them.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "codec_fixture.h"
#include "vfw.h"

namespace {

using vfw::codec::test::TempDir;
using Bytes = std::vector<std::uint8_t>;

constexpr int kWidth = 4, kHeight = 2;

void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}
void put_id(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }

Bytes chunk(const char* id, const Bytes& data) {
    Bytes b;
    put_id(b, id);
    put32(b, std::uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1) b.push_back(0);
    return b;
}

Bytes list(const char* type, const Bytes& body) {
    Bytes data;
    put_id(data, type);
    data.insert(data.end(), body.begin(), body.end());
    return chunk("LIST", data);
}

// One frame of two rows, stored bottom-up: the bottom row in entry 1, the top
// row in entry 0, plain or run-length coded.
Bytes frame(bool rle) {
    if (!rle) return {1, 1, 1, 1, 0, 0, 0, 0};
    // Two runs a row: a frame as long as the plain one is taken for plain.
    return {2, 1, 2, 1, 0, 0, 2, 0, 2, 0, 0, 1};
}

struct Movi {
    Bytes body;
    Bytes index;
    void add(const char* id, const Bytes& data, std::uint32_t flags) {
        put_id(index, id);
        put32(index, flags);
        put32(index, std::uint32_t(4 + body.size()));
        put32(index, std::uint32_t(data.size()));
        const Bytes c = chunk(id, data);
        body.insert(body.end(), c.begin(), c.end());
    }
};

// Frames 0..3; before frame 1 entry 0 turns blue, before frame 3 entries 0 and 1
// turn white and black.
void write_file(const std::filesystem::path& path, bool rle, bool with_index) {
    Movi movi;
    movi.add("00dc", frame(rle), 0x10);
    movi.add("00pc", {0, 1, 0, 0, 0, 0, 255, 0}, 0);
    movi.add("00dc", frame(rle), 0x10);
    movi.add("00dc", frame(rle), 0x10);
    movi.add("00pc", {0, 2, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0}, 0);
    movi.add("00dc", frame(rle), 0x10);

    Bytes avih;
    for (std::uint32_t v : {40000u, 0u, 0u, 0x10u, 4u, 0u, 1u, 0u, std::uint32_t(kWidth),
                            std::uint32_t(kHeight), 0u, 0u, 0u, 0u})
        put32(avih, v);
    Bytes strh;
    put_id(strh, "vids");
    put32(strh, rle ? 1 : 0);
    for (std::uint32_t v : {0u, 0u, 0u, 1u, 25u, 0u, 4u, 0u, 0xFFFFFFFFu, 0u, 0u, 0u})
        put32(strh, v);
    Bytes strf;
    for (std::uint32_t v : {40u, std::uint32_t(kWidth), std::uint32_t(kHeight)}) put32(strf, v);
    strf.insert(strf.end(), {1, 0, 8, 0});
    for (std::uint32_t v : {rle ? 1u : 0u, 0u, 0u, 0u, 2u, 0u}) put32(strf, v);
    strf.insert(strf.end(), {0, 0, 255, 0, 0, 255, 0, 0});  // red, green

    Bytes hdrl = chunk("avih", avih);
    const Bytes strl = list("strl", [&] {
        Bytes b = chunk("strh", strh);
        const Bytes f = chunk("strf", strf);
        b.insert(b.end(), f.begin(), f.end());
        return b;
    }());
    hdrl.insert(hdrl.end(), strl.begin(), strl.end());
    Bytes body = list("hdrl", hdrl);
    const Bytes m = list("movi", movi.body);
    body.insert(body.end(), m.begin(), m.end());
    if (with_index) {
        const Bytes idx = chunk("idx1", movi.index);
        body.insert(body.end(), idx.begin(), idx.end());
    }
    Bytes riff;
    put_id(riff, "AVI ");
    riff.insert(riff.end(), body.begin(), body.end());
    const Bytes file = chunk("RIFF", riff);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
}

// Top-down BGR of each frame: the top row in entry 0, the bottom row in entry 1.
std::vector<Bytes> expected_frames() {
    const Bytes red{0, 0, 255}, green{0, 255, 0}, blue{255, 0, 0}, white{255, 255, 255},
        black{0, 0, 0};
    const Bytes top[] = {red, blue, blue, white};
    const Bytes bottom[] = {green, green, green, black};
    std::vector<Bytes> frames;
    for (int f = 0; f < 4; ++f) {
        Bytes rows;
        for (const Bytes* colour : {&top[f], &bottom[f]})
            for (int x = 0; x < kWidth; ++x)
                rows.insert(rows.end(), colour->begin(), colour->end());
        frames.push_back(rows);
    }
    return frames;
}

TEST(PaletteChange, EachFrameInItsOwnColours) {
    const std::vector<Bytes> expected = expected_frames();
    for (const bool rle : {false, true}) {
        for (const bool with_index : {true, false}) {
            SCOPED_TRACE(std::string(rle ? "RLE8" : "plain") +
                         (with_index ? ", indexed" : ", scanned"));
            TempDir dir;
            const auto path = dir / "pal.avi";
            write_file(path, rle, with_index);
            // ffmpeg reads the file as we build it and shows the same colours.
            EXPECT_EQ(vfw::codec::test::ffmpeg_bgr24_frames(path, kWidth, kHeight), expected);

            PAVIFILE file = nullptr;
            PAVISTREAM stream = nullptr;
            ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), 0, nullptr), AVIERR_OK);
            ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
            ASSERT_EQ(AVIStreamLength(stream), 4);
            BITMAPINFOHEADER want{sizeof want, kWidth, kHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
            PGETFRAME frames = AVIStreamGetFrameOpen(stream, &want);
            ASSERT_NE(frames, nullptr);
            // Forward, back over both changes, and jumps.
            for (const int n : {0, 1, 2, 3, 2, 1, 0, 3, 0, 2}) {
                const auto* dib =
                    static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, n));
                ASSERT_NE(dib, nullptr) << "position " << n;
                EXPECT_EQ(vfw::codec::test::dib_to_bgr(dib), expected[std::size_t(n)])
                    << "position " << n;
            }
            AVIStreamGetFrameClose(frames);
            AVIStreamRelease(stream);
            AVIFileRelease(file);
        }
    }
}

}  // namespace
