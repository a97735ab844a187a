// The picture a compressor makes of one frame: the frame encoded with the
// chosen settings and decoded again, as a 24-bit packed DIB.
#pragma once

#include <cstdint>
#include <vector>

#include "vfw.h"
#include "vfw/codec/video_encoder.h"

namespace vfw::options {

struct Preview {
    std::vector<std::uint8_t> dib;  // BITMAPINFOHEADER then bottom-up rows; empty when it failed
    std::size_t compressed_bytes = 0;
    const BITMAPINFOHEADER* header() const {
        return dib.empty() ? nullptr : reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    }
};

// `frame` is a 24-bit packed DIB; the preview has the frame's size.
Preview make_preview(const BITMAPINFOHEADER& frame, const codec::VideoEncoderSettings& settings);

}  // namespace vfw::options
