// Frame decompressor for uncompressed video (BI_RGB, BI_BITFIELDS).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "vfw/avifile/frame_decompressor.h"
#include "vfw.h"

namespace vfw {

class DibDecompressor final : public FrameDecompressor {
public:
    // Null when the stream is not uncompressed or the request cannot be served.
    static std::unique_ptr<FrameDecompressor> open(std::unique_ptr<SampleSource> source,
                                                   const BITMAPINFOHEADER* wanted);
    const BITMAPINFOHEADER* frame(std::int32_t pos) override;

private:
    DibDecompressor() = default;
    const BITMAPINFOHEADER* header() const;
    void convert_row(const std::uint8_t* in, std::uint8_t* out) const;

    std::unique_ptr<SampleSource> source_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    bool top_down_ = false;
    int in_bits_ = 0;
    int out_bits_ = 0;
    std::uint32_t in_stride_ = 0;
    std::uint32_t out_stride_ = 0;
    std::array<std::uint32_t, 3> masks_{};
    std::vector<RGBQUAD> palette_;
    std::vector<std::uint8_t> sample_;
    std::vector<std::uint8_t> out_;
    std::int32_t decoded_ = -1;  // frame held in out_
};

}  // namespace vfw
