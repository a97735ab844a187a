// MPEG-4 part 2 with "packed" B-frames, the way DivX and Xvid store them in AVI:
// a reference picture and the first B-frame shown before it share one sample, and
// a tiny not-coded picture fills the slot that frees. The file is repacked here from
// an ordinary ffmpeg file, whose own decode is the reference.
#include <gtest/gtest.h>

#include <cstring>

#include "codec_fixture.h"
#include "vfw/codec/frame_decoder.h"

namespace vfw::codec::test {
namespace {

std::vector<int> picture_types(const std::vector<std::uint8_t>& bytes) {
    std::vector<int> types;
    for (std::size_t i = 0; i + 4 < bytes.size(); ++i)
        if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 1 && bytes[i + 3] == 0xB6)
            types.push_back(bytes[i + 4] >> 6);
    return types;
}

// Where the first picture starts, so user data can go in front of it.
std::size_t first_picture(const std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i + 3 < bytes.size(); ++i)
        if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 1 && bytes[i + 3] == 0xB6)
            return i;
    return bytes.size();
}

MemoryPacketSource pack(const MemoryPacketSource& plain) {
    // The encoder's signature that tells decoders the B-frames are packed.
    const std::string signature = std::string("\0\0\1\xB2", 4) + "DivX503b1393p";
    // P picture, time increment 0 (5 bits at 25 frames a second), not coded.
    const std::vector<std::uint8_t> not_coded = {0, 0, 1, 0xB6, 0x50, 0x4F};
    MemoryPacketSource packed;
    const auto& in = plain.samples;
    for (std::size_t i = 0; i < in.size();) {
        Sample out = in[i];
        std::size_t b = i + 1;
        while (b < in.size() && picture_types(in[b].bytes) == std::vector<int>{2}) ++b;
        const std::size_t b_frames = b - i - 1;
        if (b_frames > 0) {
            out.bytes.insert(out.bytes.end(), in[i + 1].bytes.begin(), in[i + 1].bytes.end());
        }
        packed.samples.push_back(out);
        for (std::size_t k = i + 2; k < b; ++k) packed.samples.push_back({in[k].bytes, false});
        if (b_frames > 0) packed.samples.push_back({not_coded, false});
        i = b;
    }
    auto& first = packed.samples.front().bytes;
    first.insert(first.begin() + std::ptrdiff_t(first_picture(first)), signature.begin(),
                 signature.end());
    return packed;
}

TEST(PackedBFrames, EachSampleShowsItsOwnFrame) {
    TempDir dir;
    const auto file = dir / "plain.avi";
    ASSERT_TRUE(
        run_ffmpeg("-f lavfi -i testsrc2=size=160x120:rate=25 -frames:v 20 -c:v mpeg4 "
                   "-vtag DX50 -bf 1 -g 10 -q:v 4 -an " +
                   file.string()));
    AviVideo video = load_avi_video(file);
    const auto reference = ffmpeg_bgr24_frames(file, 160, 120);
    MemoryPacketSource packed = pack(video.packets);
    ASSERT_EQ(packed.sample_count(), video.packets.sample_count());
    ASSERT_EQ(reference.size(), std::size_t(packed.sample_count()));
    // The repacking really produced shared samples and fillers.
    ASSERT_EQ(picture_types(packed.samples[1].bytes), (std::vector<int>{1, 2}));
    ASSERT_EQ(packed.samples[2].bytes.size(), 6u);

    auto opened = FrameDecoder::open(packed, video.format);
    ASSERT_TRUE(opened) << opened.error().message;
    FrameDecoder& decoder = *opened.value();
    const int count = int(reference.size());
    for (int n = 0; n < count; ++n) {
        const BITMAPINFOHEADER* dib = decoder.frame(n);
        ASSERT_NE(dib, nullptr) << n;
        EXPECT_LT(mean_abs_diff(dib, reference[std::size_t(n)]), 1.0) << "frame " << n;
    }
    // Jumps: into a group, to the B-frame packed with the next key frame, and forward.
    for (int n : {13, 9, 10, 3, 18, 0, 11}) {
        const BITMAPINFOHEADER* dib = decoder.frame(n);
        ASSERT_NE(dib, nullptr) << n;
        EXPECT_LT(mean_abs_diff(dib, reference[std::size_t(n)]), 1.0) << "jump to " << n;
    }
}

}  // namespace
}  // namespace vfw::codec::test
