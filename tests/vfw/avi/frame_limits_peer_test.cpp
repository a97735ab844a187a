// A header claiming a frame far larger than its pictures: the frame object is
// refused at once on every path, instead of allocating for that size.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/vfw/codec/codec_fixture.h"
#include "vfw.h"
#include "vfw/codec/dib_layout.h"

namespace {

using vfw::codec::test::TempDir;

struct ClaimCase {
    const char* name;
    const char* encode;  // ffmpeg output options for a 16 x 16 stream
    std::int32_t width;  // what the format record is made to claim
    std::int32_t height;
    bool refused;
};

std::ostream& operator<<(std::ostream& os, const ClaimCase& c) { return os << c.name; }

// Writes width and height into the first video format record of the file.
void claim_size(const std::filesystem::path& path, std::int32_t width, std::int32_t height) {
    std::fstream io(path, std::ios::in | std::ios::out | std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(io), std::istreambuf_iterator<char>()};
    const std::string_view view(bytes.data(), bytes.size());
    const std::size_t strf = view.find("strf", view.find("vids"));
    ASSERT_NE(strf, std::string_view::npos);
    io.seekp(std::streamoff(strf + 12));
    io.write(reinterpret_cast<const char*>(&width), 4);
    io.write(reinterpret_cast<const char*>(&height), 4);
}

class FrameLimit : public ::testing::TestWithParam<ClaimCase> {};

TEST_P(FrameLimit, HugeClaimsRefusedSaneOnesServed) {
    const ClaimCase& c = GetParam();
    TempDir dir;
    const auto path = dir / "in.avi";
    ASSERT_TRUE(
        vfw::codec::test::run_ffmpeg("-f lavfi -i testsrc2=size=16x16:rate=25 -frames:v 3 " +
                                     std::string(c.encode) + " -an " + path.string()));
    claim_size(path, c.width, c.height);
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), 0, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    for (const auto wanted :
         {LPBITMAPINFOHEADER(nullptr), LPBITMAPINFOHEADER(AVIGETFRAMEF_BESTDISPLAYFMT)}) {
        PGETFRAME frames = AVIStreamGetFrameOpen(stream, wanted);
        EXPECT_EQ(frames == nullptr, c.refused);
        if (frames) {
            EXPECT_NE(AVIStreamGetFrame(frames, 1), nullptr);
            AVIStreamGetFrameClose(frames);
        }
    }
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}

const ClaimCase kClaims[] = {
    {"mjpeg_16384_square", "-c:v mjpeg", 16384, 16384, true},
    {"mjpeg_wide_strip", "-c:v mjpeg", 16384, 8192, true},
    {"mjpeg_own_size", "-c:v mjpeg", 16, 16, false},
    {"rgb24_16384_square", "-c:v rawvideo -pix_fmt bgr24", 16384, 16384, true},
};

INSTANTIATE_TEST_SUITE_P(Claims, FrameLimit, ::testing::ValuesIn(kClaims),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FrameLimit, LimitIsOneFunctionOfSizeAndDepth) {
    using vfw::codec::frame_fits;
    EXPECT_TRUE(frame_fits(1920, 1080, 32));
    EXPECT_TRUE(frame_fits(8192, 8192, 32));  // exactly 256 MiB
    EXPECT_FALSE(frame_fits(8192, 8193, 32));
    EXPECT_FALSE(frame_fits(16384, 16384, 24));
    EXPECT_FALSE(frame_fits(0x7FFFFFFF, 0x7FFFFFFF, 32));  // no overflow into a small product
    EXPECT_FALSE(frame_fits(0, 16, 24));
}

}  // namespace
