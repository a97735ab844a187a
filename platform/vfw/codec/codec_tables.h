// The layer's own tables behind codec_catalog.h: which libavcodec encoder writes
// each compressor and audio format, and how our settings map onto it.
#pragma once

#include <cstdint>
#include <span>

#include "vfw/codec/codec_catalog.h"

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace vfw::codec {

enum class QualityScale {
    None,    // the codec has no quality setting (lossless, or fixed)
    QScale,  // MPEG-style quantiser 2..31
    Crf,     // x264's constant rate factor
};

// Where an encoder takes "key frame every N" from.
enum class KeyInterval {
    GopSize,          // gop_size = N
    MinimumInterval,  // keyint_min = N
    MinimumPlusOne,   // keyint_min = N - 1 (Video 1 counts the frames in between)
};

struct VideoCompressorEntry {
    VideoCompressorInfo info;
    const char* encoder;         // libavcodec encoder name; null for full frames
    AVPixelFormat pixel_format;  // input the encoder gets; NONE lets the encoder choose
    QualityScale quality_scale;
    KeyInterval key_interval;
};

struct AudioFormatEntry {
    AudioFormatInfo info;
    const char* encoder;  // null for PCM, which we write ourselves
};

std::span<const VideoCompressorEntry> video_compressor_table();
const VideoCompressorEntry* find_video_compressor_entry(std::uint32_t fourcc);
std::span<const AudioFormatEntry> audio_format_table();
const AudioFormatEntry* find_audio_format_entry(std::uint16_t tag);

}  // namespace vfw::codec
