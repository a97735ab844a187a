// Inside the frame decoder: something that yields the decoded picture shown at a
// sample position (libavcodec for compressed data, our own code for plain DIBs).
#pragma once

#include <cstdint>

#include "vfw/codec/av_ptr.h"
#include "vfw/codec/codec_result.h"

namespace vfw::codec {

class PictureSource {
  public:
    virtual ~PictureSource() = default;
    // `position` holds a non-empty sample. The picture stays valid until the next call.
    virtual Result<const AVFrame*> picture_at(std::int64_t position) = 0;
};

}  // namespace vfw::codec
