// FourCC and wave-format-tag mapping, taken from libavformat's RIFF tag lists
// so that we name codecs exactly as other AVI tools do.
#pragma once

#include <cstdint>
#include <string>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace vfw::codec {

// biCompression (or a stream's fccHandler) to a codec; AV_CODEC_ID_NONE when unknown.
// Matching falls back to upper case, as AVI writers disagree about case.
AVCodecID video_codec_for_fourcc(std::uint32_t fourcc);
// The FourCC AVI files normally carry for a codec; 0 when it has none.
std::uint32_t fourcc_for_video_codec(AVCodecID id);

AVCodecID audio_codec_for_tag(std::uint16_t tag);
std::uint16_t tag_for_audio_codec(AVCodecID id);

// The four characters, with non-printable bytes shown as '.'.
std::string fourcc_text(std::uint32_t fourcc);
constexpr std::uint32_t make_fourcc(char a, char b, char c, char d) {
    return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
           std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

}  // namespace vfw::codec
