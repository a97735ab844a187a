// The video compressor: packed DIBs in, compressed samples out, with the settings
// the "Video Compression" dialog offers.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vfw/codec/codec_result.h"
#include "vfw/codec/encoded_packet.h"
#include "wingdi.h"

namespace vfw::codec {

struct VideoEncoderSettings {
    std::uint32_t fourcc = 0;            // a compressor from video_compressors()
    std::int32_t quality = -1;           // 0..10000; -1 = the compressor's default
    std::uint32_t key_frame_every = 0;   // 0 = the compressor's default
    std::uint32_t bytes_per_second = 0;  // 0 = no data-rate target
    std::uint32_t rate = 25;             // frames per second = rate / scale
    std::uint32_t scale = 1;
};

class VideoEncoder {
  public:
    // `input` describes the DIBs to come: BI_RGB at 8, 16, 24 or 32 bits. Fails when the
    // compressor is unknown or refuses these settings or this picture size.
    static Result<std::unique_ptr<VideoEncoder>> open(const BITMAPINFOHEADER& input,
                                                      const VideoEncoderSettings& settings);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // The stream format to store: BITMAPINFOHEADER followed by the codec's extra data
    // (biSize counts both) or, for 8-bit full frames, the colour table.
    const std::vector<std::uint8_t>& output_format() const { return format_; }
    const BITMAPINFOHEADER& output_header() const {
        return *reinterpret_cast<const BITMAPINFOHEADER*>(format_.data());
    }

    // One packed DIB (header, colour table at 8 bits, rows) in the input format. Returns
    // the samples that became ready, in order; an encoder with look-ahead returns fewer
    // at first and the rest from finish(). Every input frame yields exactly one sample.
    Result<std::vector<EncodedPacket>> encode(const BITMAPINFOHEADER* dib);
    Result<std::vector<EncodedPacket>> finish();

  private:
    struct State;
    explicit VideoEncoder(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
    std::vector<std::uint8_t> format_;
};

}  // namespace vfw::codec
