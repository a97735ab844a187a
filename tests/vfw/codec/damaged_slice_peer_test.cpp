// A damaged slice in a stream of a reordering codec: every position shows what
// ffmpeg shows for it from the same damaged file, or nothing where ffmpeg drops
// the picture, and no other position moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
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
    bool avcc = false;   // H.264 stored as in MP4: an 'avcC' record, NAL units by length
};

std::ostream& operator<<(std::ostream& os, const DamageCase& c) { return os << c.name; }

constexpr int kFrames = 24;

std::vector<std::uint8_t> bytes_of(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// For each picture ffmpeg decodes, in its output order, the sample it came from (-1
// where ffprobe names none), matched by the file offsets of packets and pictures.
std::vector<std::int64_t> frame_samples(const std::filesystem::path& file) {
    const std::string probe = "ffprobe -v error -select_streams v:0 -of csv ";
    // Lines are "packet,<pos>" and "frame,<pkt_pos>[,side data]", among others.
    const auto offsets = [&](const std::string& section, const std::string& field) {
        std::istringstream lines(
            run_capture(probe + "-show_entries " + section + "=" + field + " " + file.string()));
        std::vector<std::string> out;
        for (std::string line; std::getline(lines, line);)
            if (line.starts_with(section + ","))
                out.push_back(line.substr(section.size() + 1,
                                          line.find(',', section.size() + 1) - section.size() - 1));
        return out;
    };
    std::map<std::string, std::int64_t> sample_at;
    for (const std::string& pos : offsets("packet", "pos"))
        sample_at.emplace(pos, sample_at.size());
    std::vector<std::int64_t> samples;
    for (const std::string& pos : offsets("frame", "pkt_pos")) {
        const auto at = sample_at.find(pos);
        samples.push_back(at == sample_at.end() ? -1 : at->second);
    }
    return samples;
}

class DamagedSlicePeer : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedSlicePeer, EveryPositionShowsItsOwnPicture) {
    const DamageCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "in.avi";
    const auto made = c.avcc ? dir / "in.mp4" : file;
    ASSERT_TRUE(run_ffmpeg("-f lavfi -i testsrc2=size=160x120:rate=25 -frames:v " +
                           std::to_string(kFrames) + " " + c.encode + " -an " + made.string()));
    if (c.avcc) {
        ASSERT_TRUE(run_ffmpeg("-i " + made.string() + " -c copy " + file.string()));
    }
    const auto intact = ffmpeg_bgr24_frames(file, 160, 120);
    ASSERT_EQ(intact.size(), std::size_t(kFrames));
    const std::vector<std::int64_t> intact_sources = frame_samples(file);
    ASSERT_EQ(intact_sources.size(), intact.size());

    // Spoil the sample in the file itself, so that ffmpeg reads the same damage.
    const AviVideo original = load_avi_video(file);
    std::size_t spoilt = 4;
    std::vector<PictureType> types;
    for (;; ++spoilt) {
        ASSERT_LT(spoilt, original.packets.samples.size());
        const auto& sample = original.packets.samples[spoilt].bytes;
        c.h264 ? h264_picture_types(sample, c.avcc ? 4 : 0, types)
               : mpeg4_picture_types(sample, types);
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

    // Each of ffmpeg's pictures goes to the position its sample is shown at in the
    // intact file; a position whose picture ffmpeg drops shows nothing.
    const auto damaged = ffmpeg_bgr24_frames(file, 160, 120);
    const std::vector<std::int64_t> sources = frame_samples(file);
    ASSERT_EQ(sources.size(), damaged.size());
    std::vector<std::vector<std::uint8_t>> reference(intact.size());
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        ASSERT_GE(sources[i], 0) << "picture " << i << " from no sample";
        const auto shown = std::find(intact_sources.begin(), intact_sources.end(), sources[i]);
        ASSERT_NE(shown, intact_sources.end()) << "sample " << sources[i];
        reference[std::size_t(shown - intact_sources.begin())] = damaged[i];
    }
    ASSERT_NE(reference, intact) << "the damage shows nowhere";
    const int spoilt_at =
        int(std::find(intact_sources.begin(), intact_sources.end(), std::int64_t(spoilt)) -
            intact_sources.begin());
    AviVideo video = load_avi_video(file);
    ASSERT_EQ(video.packets.samples.size(), original.packets.samples.size());

    std::vector<int> order;
    for (int n = 0; n < kFrames; ++n) order.push_back(n);
    for (int n = kFrames - 1; n >= 0; --n) order.push_back(n);
    for (int n : {int(spoilt) + 1, int(spoilt), int(spoilt) - 1, kFrames - 1, 0})
        order.push_back(n);
    auto opened = FrameDecoder::open(video.packets, video.format);
    ASSERT_TRUE(opened) << opened.error().message;
    for (const int n : order) {
        const BITMAPINFOHEADER* dib = opened.value()->frame(n);
        const auto& expected = reference[std::size_t(n)];
        if (dib == nullptr) {
            // An H.264 slice header spoilt that early leaves its picture order count
            // garbage: the picture may belong anywhere, so its own position may show
            // nothing. No other position may.
            EXPECT_TRUE(expected.empty() || (n == spoilt_at && c.h264 && c.kept < 12))
                << "position " << n << " delivers nothing";
            continue;
        }
        if (expected.empty()) {
            ADD_FAILURE() << "position " << n << " shows a picture where ffmpeg has none";
            continue;
        }
        EXPECT_LT(mean_abs_diff(dib, expected), 1.0) << "position " << n;
    }
}

constexpr const char* kPyramid =
    "-c:v libx264 -preset veryfast -bf 3 -x264-params b-pyramid=normal -g 12 -pix_fmt yuv420p";

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
    {"h264_pyramid_b_body", kPyramid, true, PictureType::Bidirectional, 12},
    {"h264_pyramid_p_body", kPyramid, true, PictureType::Predicted, 12},
    {"h264_pyramid_b_header", kPyramid, true, PictureType::Bidirectional, 6},
    {"h264_pyramid_p_header", kPyramid, true, PictureType::Predicted, 6},
    {"h264_avcc_b_header", kPyramid, true, PictureType::Bidirectional, 6, true},
    {"h264_avcc_p_header", kPyramid, true, PictureType::Predicted, 6, true},
};

INSTANTIATE_TEST_SUITE_P(Codecs, DamagedSlicePeer, ::testing::ValuesIn(kDamage),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vfw::codec::test
