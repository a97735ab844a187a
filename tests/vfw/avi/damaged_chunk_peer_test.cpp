// A chunk whose size (in its header and in idx1) runs far past the end of the
// file costs its own position: the stream keeps its length and every other
// position shows its own picture.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "codec_fixture.h"
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

TEST(DamagedChunk, CostsOnePosition) {
    constexpr int kFrames = 20, kDamaged = 12;
    for (const char* encode : {"-c:v mjpeg", "-c:v rawvideo -pix_fmt bgr24"}) {
        TempDir dir;
        const auto original = dir / "in.avi";
        ASSERT_TRUE(
            vfw::codec::test::run_ffmpeg("-f lavfi -i testsrc2=size=64x48:rate=25 -frames:v 20 " +
                                         std::string(encode) + " -an " + original.string()));
        const auto reference = vfw::codec::test::ffmpeg_bgr24_frames(original, 64, 48);
        spoil_chunk(original, kDamaged);

        PAVIFILE file = nullptr;
        PAVISTREAM stream = nullptr;
        ASSERT_EQ(AVIFileOpenA(&file, original.c_str(), 0, nullptr), AVIERR_OK);
        ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
        EXPECT_EQ(AVIStreamLength(stream), kFrames) << encode;
        PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
        ASSERT_NE(frames, nullptr);
        for (int n = 0; n < kFrames; ++n) {
            const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, n));
            if (n == kDamaged) {
                EXPECT_EQ(dib, nullptr) << encode;
                continue;
            }
            ASSERT_NE(dib, nullptr) << encode << " position " << n;
            EXPECT_LT(vfw::codec::test::mean_abs_diff(dib, reference[std::size_t(n)]), 1.0)
                << encode << " position " << n;
        }
        AVIStreamGetFrameClose(frames);
        AVIStreamRelease(stream);
        AVIFileRelease(file);
    }
}

}  // namespace
