// A damaged slice in a stream of a reordering codec: positions show what ffmpeg
// shows for the same damaged file, or nothing where the damage is, and the
// positions of the groups after it stay in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "codec_fixture.h"
#include "vfw/codec/frame_decoder.h"
#include "vfw/codec/picture_types.h"

namespace vfw::codec::test {
namespace {

struct DamageCase {
    const char* name;
    const char* encode;  // ffmpeg output options
    bool h264;
    PictureType spoilt;  // the first sample of this type from sample 4 on is damaged
    std::size_t kept;    // its leading bytes left whole: start code, and as much header
};

std::ostream& operator<<(std::ostream& os, const DamageCase& c) { return os << c.name; }

constexpr int kFrames = 24;

std::vector<std::uint8_t> bytes_of(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class DamagedSlicePeer : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedSlicePeer, LaterPositionsStayInPlace) {
    const DamageCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "in.avi";
    ASSERT_TRUE(run_ffmpeg("-f lavfi -i testsrc2=size=160x120:rate=25 -frames:v " +
                           std::to_string(kFrames) + " " + c.encode + " -an " + file.string()));
    const auto intact = ffmpeg_bgr24_frames(file, 160, 120);
    ASSERT_EQ(intact.size(), std::size_t(kFrames));

    // Spoil the sample in the file itself, so that ffmpeg reads the same damage.
    const AviVideo original = load_avi_video(file);
    std::size_t spoilt = 4;
    std::vector<PictureType> types;
    for (;; ++spoilt) {
        ASSERT_LT(spoilt, original.packets.samples.size());
        const auto& sample = original.packets.samples[spoilt].bytes;
        c.h264 ? h264_picture_types(sample, 0, types) : mpeg4_picture_types(sample, types);
        if (types.size() == 1 && types[0] == c.spoilt && sample.size() > 4 * c.kept) break;
    }
    std::vector<std::uint8_t> bytes = bytes_of(file);
    const auto& sample = original.packets.samples[spoilt].bytes;
    const auto at = std::search(bytes.begin(), bytes.end(), sample.begin(), sample.end());
    ASSERT_NE(at, bytes.end());
    for (std::size_t i = c.kept; i < sample.size(); ++i)
        at[std::ptrdiff_t(i)] = std::uint8_t(i * 7 + 3);
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));

    auto reference = ffmpeg_bgr24_frames(file, 160, 120);
    // Where ffmpeg shows no picture for the damage, later pictures keep their places.
    if (reference.size() + 1 == intact.size()) {
        std::size_t gap = 0;
        while (gap < reference.size() && reference[gap] == intact[gap]) ++gap;
        reference.insert(reference.begin() + std::ptrdiff_t(gap), std::vector<std::uint8_t>{});
    }
    ASSERT_EQ(reference.size(), intact.size());
    ASSERT_NE(reference, intact) << "the damage shows nowhere";
    AviVideo video = load_avi_video(file);
    ASSERT_EQ(video.packets.samples.size(), original.packets.samples.size());

    // Positions before the damage, and from the next group on (past the B-frames a key
    // frame may carry ahead of it, two at most here), show the file's pictures.
    // Inside the damaged group a dropped picture may still move the ones after it.
    std::size_t next_key = spoilt + 1;
    while (next_key < video.packets.samples.size() && !video.packets.samples[next_key].key)
        ++next_key;
    std::size_t damage = 0;
    while (reference[damage] == intact[damage]) ++damage;
    const auto checked = [&](int n) {
        return std::size_t(n) < damage || std::size_t(n) >= next_key + 2;
    };
    ASSERT_LT(next_key + 2, std::size_t(kFrames));

    std::vector<int> order;
    for (int n = 0; n < kFrames; ++n) order.push_back(n);
    for (int n = kFrames - 1; n >= 0; --n) order.push_back(n);
    for (int n : {int(spoilt) + 1, int(spoilt), int(spoilt) - 1, kFrames - 1, 0})
        order.push_back(n);
    auto opened = FrameDecoder::open(video.packets, video.format);
    ASSERT_TRUE(opened) << opened.error().message;
    for (const int n : order) {
        const BITMAPINFOHEADER* dib = opened.value()->frame(n);
        if (!checked(n)) continue;
        const auto& expected = reference[std::size_t(n)];
        const bool damaged = expected != intact[std::size_t(n)];
        if (dib == nullptr) {
            EXPECT_TRUE(damaged) << "position " << n << " delivers nothing";
            continue;
        }
        if (expected.empty()) {
            ADD_FAILURE() << "position " << n << " shows a picture where the file has none";
            continue;
        }
        EXPECT_LT(mean_abs_diff(dib, expected), 1.0) << "position " << n;
    }
}

const DamageCase kDamage[] = {
    {"mpeg4_b_body", "-c:v mpeg4 -q:v 3 -bf 2 -g 12", false, PictureType::Bidirectional, 12},
    {"mpeg4_p_body", "-c:v mpeg4 -q:v 3 -bf 2 -g 12", false, PictureType::Predicted, 12},
    {"mpeg4_b_header", "-c:v mpeg4 -q:v 3 -bf 2 -g 12", false, PictureType::Bidirectional, 5},
    {"mpeg4_p_header", "-c:v mpeg4 -q:v 3 -bf 2 -g 12", false, PictureType::Predicted, 5},
    {"h264_b_body", "-c:v libx264 -preset veryfast -bf 2 -g 12 -pix_fmt yuv420p", true,
     PictureType::Bidirectional, 12},
    {"h264_p_body", "-c:v libx264 -preset veryfast -bf 2 -g 12 -pix_fmt yuv420p", true,
     PictureType::Predicted, 12},
    {"h264_b_header", "-c:v libx264 -preset veryfast -bf 2 -g 12 -pix_fmt yuv420p", true,
     PictureType::Bidirectional, 6},
    {"h264_p_header", "-c:v libx264 -preset veryfast -bf 2 -g 12 -pix_fmt yuv420p", true,
     PictureType::Predicted, 6},
};

INSTANTIATE_TEST_SUITE_P(Codecs, DamagedSlicePeer, ::testing::ValuesIn(kDamage),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vfw::codec::test
