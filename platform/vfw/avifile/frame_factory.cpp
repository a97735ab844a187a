// Picks the decompressor for a video stream: uncompressed DIBs are decoded
// here, every other format through the codec layer.
#include <cstring>

#include "vfw/avifile/codec_decompressor.h"
#include "vfw/avifile/dib_decompressor.h"
#include "vfw.h"

namespace vfw {

namespace {

bool is_uncompressed(const std::vector<std::uint8_t>& format) {
    if (format.size() < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, format.data(), sizeof h);
    return h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS;
}

}  // namespace

std::unique_ptr<FrameDecompressor> make_frame_decompressor(std::unique_ptr<SampleSource> source,
                                                           const BITMAPINFOHEADER* wanted) {
    if (is_uncompressed(source->format())) return DibDecompressor::open(std::move(source), wanted);
    return open_codec_decompressor(std::move(source), wanted);
}

}  // namespace vfw
