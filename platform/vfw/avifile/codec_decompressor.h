// Frame decompressor for compressed video (and packed YUV) through the codec
// layer's FrameDecoder, which keeps its decoder state between calls.
#pragma once

#include <memory>

#include "vfw/avifile/frame_decompressor.h"

namespace vfw {

// Null when no decoder handles the stream's format or the request cannot be served.
std::unique_ptr<FrameDecompressor> open_codec_decompressor(std::unique_ptr<SampleSource> source,
                                                           const BITMAPINFOHEADER* wanted);

}  // namespace vfw
