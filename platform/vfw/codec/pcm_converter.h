// Sample format, rate and channel conversion through libswresample.
#pragma once

#include <cstdint>
#include <vector>

#include "vfw/codec/av_ptr.h"
#include "vfw/codec/codec_result.h"

namespace vfw::codec {

struct PcmLayout {
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
    int rate = 0;
    int channels = 0;
    bool operator==(const PcmLayout&) const = default;
};

class PcmConverter {
  public:
    Status configure(const PcmLayout& in, const PcmLayout& out);
    bool configured_for(const PcmLayout& in) const { return swr_ && in == in_; }

    // Converts `count` input samples (null input flushes what the resampler holds).
    // The result stays in planes() until the next call.
    Result<int> convert(const std::uint8_t* const* in, int count);
    std::uint8_t** planes() { return pointers_.data(); }
    const PcmLayout& output() const { return out_; }

  private:
    SwrPtr swr_;
    PcmLayout in_, out_;
    std::vector<std::vector<std::uint8_t>> buffers_;
    std::vector<std::uint8_t*> pointers_;
};

}  // namespace vfw::codec
