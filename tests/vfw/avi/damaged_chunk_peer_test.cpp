// A chunk whose size (in its header and in idx1) runs far past the end of the
// file costs its own position: the stream keeps its length and every other
// position shows its own picture.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/vfw/codec/codec_fixture.h"
#include "vfw.h"

namespace {

using vfw::codec::test::TempDir;

constexpr std::uint32_t kHugeSize = 0x70000000;

std::uint32_t load32(const std::vector<char>& b, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, &b[at], 4);
    return v;
}

// Makes video chunk `k` claim kHugeSize bytes, in the movi list and in idx1.
void spoil_chunk(const std::filesystem::path& path, int k) {
    std::vector<char> b;
    {
        std::ifstream in(path, std::ios::binary);
        b.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string_view view(b.data(), b.size());
    std::size_t at = view.find("movi") + 4;
    for (int seen = 0; at + 8 <= b.size(); at += 8 + ((load32(b, at + 4) + 1) & ~1u)) {
        if (std::memcmp(&b[at + 2], "dc", 2) != 0) continue;
        if (seen++ == k) break;
    }
    ASSERT_LE(at + 8, b.size());
    std::memcpy(&b[at + 4], &kHugeSize, 4);
    std::size_t entry = view.rfind("idx1") + 8;
    for (int seen = 0; entry + 16 <= b.size(); entry += 16)
        if (std::memcmp(&b[entry + 2], "dc", 2) == 0 && seen++ == k) break;
    ASSERT_LE(entry + 16, b.size());
    std::memcpy(&b[entry + 12], &kHugeSize, 4);
    std::ofstream(path, std::ios::binary).write(b.data(), std::streamsize(b.size()));
}

// Positions from a damaged key frame up to the next one have nothing to decode
// from: they may deliver no frame, but never a wrong one.
struct DamageCase {
    const char* encode;
    int damaged;
    int next_key;  // the first position decodable again after the damage
};

TEST(DamagedChunk, CostsOnePosition) {
    constexpr int kFrames = 20;
    const DamageCase cases[] = {
        {"-c:v mjpeg", 12, 13},
        {"-c:v rawvideo -pix_fmt bgr24", 12, 13},
        {"-c:v mpeg4 -g 4 -bf 0", 10, 12},  // a frame inside a group
        {"-c:v mpeg4 -g 4 -bf 0", 12, 16},  // a key frame
        {"-c:v libx264 -g 4 -bf 0 -x264-params scenecut=0", 12, 16},
    };
    for (const DamageCase& c : cases) {
        TempDir dir;
        const auto original = dir / "in.avi";
        ASSERT_TRUE(
            vfw::codec::test::run_ffmpeg("-f lavfi -i testsrc2=size=64x48:rate=25 -frames:v 20 " +
                                         std::string(c.encode) + " -an " + original.string()));
        const auto reference = vfw::codec::test::ffmpeg_bgr24_frames(original, 64, 48);
        spoil_chunk(original, c.damaged);

        PAVIFILE file = nullptr;
        PAVISTREAM stream = nullptr;
        ASSERT_EQ(AVIFileOpenA(&file, original.c_str(), 0, nullptr), AVIERR_OK);
        ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
        EXPECT_EQ(AVIStreamLength(stream), kFrames) << c.encode;
        PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
        ASSERT_NE(frames, nullptr);
        // Stepping, then backwards from the end, then jumping into the damage.
        std::vector<int> order;
        for (int n = 0; n < kFrames; ++n) order.push_back(n);
        for (int n = kFrames - 1; n >= 0; --n) order.push_back(n);
        for (int n : {c.damaged + 1, 2, c.next_key - 1, c.damaged - 1, c.next_key})
            if (n < kFrames) order.push_back(n);
        for (int n : order) {
            const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, n));
            if (n == c.damaged) {
                EXPECT_EQ(dib, nullptr) << c.encode;
                continue;
            }
            if (n > c.damaged && n < c.next_key && dib == nullptr) continue;
            ASSERT_NE(dib, nullptr) << c.encode << " position " << n;
            EXPECT_LT(vfw::codec::test::mean_abs_diff(dib, reference[std::size_t(n)]), 1.0)
                << c.encode << " position " << n;
        }
        AVIStreamGetFrameClose(frames);
        AVIStreamRelease(stream);
        AVIFileRelease(file);
    }
}

}  // namespace
