// The codec is found through whichever of the format's compression and the
// stream header's handler names one.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/vfw/avi/frames_check.h"
#include "tests/vfw/codec/codec_fixture.h"
#include "vfw.h"

namespace {

using vfw::codec::test::TempDir;

struct HandlerCase {
    const char* name;
    const char* compression;  // written into the format record; null keeps it
    const char* handler;      // written into the stream header; null keeps it
};

std::ostream& operator<<(std::ostream& os, const HandlerCase& c) { return os << c.name; }

void overwrite(std::vector<char>& bytes, std::size_t at, const char* fourcc) {
    if (fourcc) std::memcpy(&bytes[at], fourcc, 4);
}

class StreamHandler : public ::testing::TestWithParam<HandlerCase> {};

TEST_P(StreamHandler, DecodesThroughTheNamedCodec) {
    const HandlerCase& c = GetParam();
    TempDir dir;
    const auto path = dir / "in.avi";
    ASSERT_TRUE(vfw::codec::test::run_ffmpeg(
        "-f lavfi -i testsrc2=size=64x48:rate=25 -frames:v 6 -c:v mpeg4 -g 3 -an " +
        path.string()));
    const auto reference = vfw::codec::test::ffmpeg_bgr24_frames(path, 64, 48);
    std::vector<char> bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string_view view(bytes.data(), bytes.size());
    const std::size_t strh = view.find("strh");
    const std::size_t strf = view.find("strf", strh);
    ASSERT_NE(strf, std::string_view::npos);
    overwrite(bytes, strh + 12, c.handler);          // fccHandler, after fccType
    overwrite(bytes, strf + 8 + 16, c.compression);  // biCompression
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));

    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), 0, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    avitest::expect_frames_match(stream, reference, {0, 1, 2, 3, 4, 5, 2});
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}

const HandlerCase kHandlers[] = {
    {"unknown_compression_known_handler", "QQQQ", "FMP4"},
    {"known_compression_unknown_handler", nullptr, "QQQQ"},
};

INSTANTIATE_TEST_SUITE_P(Names, StreamHandler, ::testing::ValuesIn(kHandlers),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
