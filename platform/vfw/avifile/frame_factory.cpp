// Picks the decompressor for a video stream. Uncompressed DIBs are decoded
// here; compressed formats give null until a codec-backed decompressor is
// added in front of the DIB one.
#include "avifile/dib_decompressor.h"

namespace vfw {

std::unique_ptr<FrameDecompressor> make_frame_decompressor(std::unique_ptr<SampleSource> source,
                                                           const BITMAPINFOHEADER* wanted) {
    return DibDecompressor::open(std::move(source), wanted);
}

}  // namespace vfw
