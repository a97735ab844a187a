// What the compression dialogs can offer: the video compressors and audio formats
// that this machine's libavcodec can write into AVI, and the settings each accepts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vfw::codec {

// fccHandler of "Full Frames (Uncompressed)".
inline constexpr std::uint32_t kFullFramesFourcc = 0x20424944;  // 'DIB '

struct VideoCompressorInfo {
    std::string name;      // as listed in the dialog
    std::uint32_t fourcc;  // fccHandler and biCompression of what it writes
    bool quality;          // accepts a quality 0..10000
    bool key_frames;       // accepts "key frame every N frames"
    bool data_rate;        // accepts a data rate
    bool lossless;
};

// "Full Frames (Uncompressed)" first, then every compressor whose encoder is present.
std::vector<VideoCompressorInfo> video_compressors();
std::optional<VideoCompressorInfo> find_video_compressor(std::uint32_t fourcc);

struct AudioFormatInfo {
    std::string name;                  // as listed in the dialog
    std::uint16_t tag;                 // WAVEFORMATEX.wFormatTag
    std::vector<std::uint32_t> rates;  // samples per second it accepts
    std::vector<std::uint16_t> channels;
    std::vector<std::uint16_t> bits;       // bits per sample (PCM); empty when not chosen
    std::vector<std::uint32_t> bit_rates;  // bits per second; empty when fixed by the format
};

std::vector<AudioFormatInfo> audio_formats();
std::optional<AudioFormatInfo> find_audio_format(std::uint16_t tag);

}  // namespace vfw::codec
