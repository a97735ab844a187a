// Frame decompression behind AVIStreamGetFrame: a source of a video stream's
// samples, and decompressors that turn them into packed DIBs. Other decoders
// plug in through make_frame_decompressor.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "wingdi.h"

namespace vfw {

class SampleSource {
  public:
    virtual ~SampleSource() = default;
    virtual std::int32_t sample_count() const = 0;
    virtual bool is_key(std::int32_t pos) const = 0;
    // The stream's format as stored (BITMAPINFOHEADER, colour table, codec bytes).
    virtual const std::vector<std::uint8_t>& format() const = 0;
    // The stream header's fccHandler, naming the codec where the format does not.
    virtual std::uint32_t handler() const { return 0; }
    // Bytes of the sample at pos as the index gives them, without reading it; -1 when none.
    virtual std::int64_t size(std::int32_t pos) const = 0;
    // Reads the whole sample at pos; false when it cannot be read.
    [[nodiscard]] virtual bool read(std::int32_t pos, std::vector<std::uint8_t>& out) const = 0;
    // The colour table in force at pos where the stream changes its palette; null
    // when it never does (the format's table holds throughout).
    virtual const std::vector<RGBQUAD>* palette_at(std::int32_t) { return nullptr; }
};

class FrameDecompressor {
  public:
    virtual ~FrameDecompressor() = default;
    // A packed DIB (header, colour table, bottom-up rows) for frame pos, owned
    // by the decompressor until its next call; null when it cannot deliver.
    virtual const BITMAPINFOHEADER* frame(std::int32_t pos) = 0;
};

// wanted: null for a default RGB format, (LPBITMAPINFOHEADER)1 for the best
// display format, else the format the caller asks for. Null when no
// decompressor can serve the request.
std::unique_ptr<FrameDecompressor> make_frame_decompressor(std::unique_ptr<SampleSource> source,
                                                           const BITMAPINFOHEADER* wanted);

}  // namespace vfw
