#include "vfw/codec/key_frames.h"

#include <cstdlib>

#include "vfw/codec/format_tags.h"
#include "vfw/codec/picture_types.h"

namespace vfw::codec {

namespace {

AVCodecID codec_of(const BITMAPINFOHEADER& format, std::uint32_t handler) {
    const AVCodecID id = video_codec_for_fourcc(format.biCompression);
    return id != AV_CODEC_ID_NONE ? id : video_codec_for_fourcc(handler);
}

// MS Video 1 has no frame type: a frame that skips no block stands alone. Its
// 16-bit blocks are one colour (2 bytes), or flags and 2 or 8 colours.
bool msvideo1_skips_nothing(const std::vector<std::uint8_t>& s, const BITMAPINFOHEADER& format) {
    const std::size_t blocks =
        std::size_t(format.biWidth / 4) * std::size_t(std::abs(format.biHeight) / 4);
    std::size_t at = 0;
    for (std::size_t done = 0; done < blocks; ++done) {
        if (at + 2 > s.size()) return false;
        const std::uint8_t b = s[at + 1];
        at += 2;
        if ((b & 0xFC) == 0x84) return false;  // skipped blocks keep the previous picture
        if (b >= 0x80) continue;               // one colour
        if (at + 4 > s.size()) return false;
        const bool eight_colours = (s[at + 1] & 0x80) != 0;
        at += eight_colours ? 16 : 4;
    }
    return true;
}

// MS RLE has no frame type either: a frame stands alone when it paints every
// pixel, with no delta escape and no row or picture ended early. A frame as
// long as the plain picture is stored plain, as the decoder takes it.
bool msrle_paints_everything(const std::vector<std::uint8_t>& s, const BITMAPINFOHEADER& format) {
    const std::int64_t width = format.biWidth;
    const std::int64_t height = std::abs(std::int64_t(format.biHeight));
    const int bits = format.biBitCount;
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    if (std::int64_t(s.size()) == stride * height) return true;
    std::int64_t x = 0, y = 0;
    std::size_t at = 0;
    while (y < height) {
        if (at + 2 > s.size()) return y == height - 1 && x >= width;
        const std::uint8_t count = s[at], code = s[at + 1];
        at += 2;
        if (count > 0) {  // a run
            x += count;
            continue;
        }
        switch (code) {
            case 0:  // end of line
                if (x < width) return false;
                x = 0;
                ++y;
                break;
            case 1:  // end of picture
                return y == height - 1 && x >= width;
            case 2:  // delta: pixels skipped keep the previous picture
                return false;
            default: {  // `code` pixels as they are, padded to 16 bits
                const std::size_t bytes = bits == 4 ? (code + 1u) / 2 : code;
                at += (bytes + 1) & ~std::size_t(1);
                if (at > s.size()) return false;
                x += code;
                break;
            }
        }
    }
    return true;
}

}  // namespace

std::size_t key_test_bytes(const BITMAPINFOHEADER& format, std::uint32_t handler) {
    switch (codec_of(format, handler)) {
        case AV_CODEC_ID_MPEG4:
            return 512;
        case AV_CODEC_ID_H264:
            return 16384;  // parameter sets and messages before the first slice
        default:
            return 0;
    }
}

std::optional<bool> sample_is_key(const BITMAPINFOHEADER& format, std::uint32_t handler,
                                  const std::vector<std::uint8_t>& sample) {
    std::vector<PictureType> types;
    switch (codec_of(format, handler)) {
        case AV_CODEC_ID_MPEG4:
            mpeg4_picture_types(sample, types);
            return !types.empty() && types.front() == PictureType::Intra;
        case AV_CODEC_ID_H264:
            h264_picture_types(sample, 0, types);
            return !types.empty() && types.front() == PictureType::Intra;
        case AV_CODEC_ID_MSVIDEO1:
            if (format.biBitCount != 16) return std::nullopt;
            return !sample.empty() && msvideo1_skips_nothing(sample, format);
        case AV_CODEC_ID_MSRLE:
            if (format.biBitCount != 8 && format.biBitCount != 4) return std::nullopt;
            return !sample.empty() && msrle_paints_everything(sample, format);
        case AV_CODEC_ID_MJPEG:
        case AV_CODEC_ID_HUFFYUV:
        case AV_CODEC_ID_DVVIDEO:
        case AV_CODEC_ID_RAWVIDEO:
            return true;
        default:
            return std::nullopt;
    }
}

}  // namespace vfw::codec
