// Uncompressed DIB samples (BI_RGB, BI_BITFIELDS) read straight from the samples,
// with no codec in between. Layouts libswscale cannot read (1 and 4 bits, unusual
// masks) are unpacked here into ones it can, so the DIB writer does every conversion.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "vfw/codec/dib_layout.h"
#include "vfw/codec/packet_source.h"
#include "vfw/codec/picture_source.h"

namespace vfw::codec {

class RawDibSource final : public PictureSource {
  public:
    static Result<std::unique_ptr<RawDibSource>> open(PacketSource& source,
                                                      const VideoFormat& format);
    // The pixel layout of a BI_RGB / BI_BITFIELDS format as libav names it, or
    // AV_PIX_FMT_NONE if libav has none.
    static AVPixelFormat pixel_format_of(const VideoFormat& format);
    // Whether open() takes this format, unpacking it if need be.
    static bool handles(const VideoFormat& format);
    Result<const AVFrame*> picture_at(std::int64_t position) override;

  private:
    RawDibSource(PacketSource& source, const VideoFormat& format, AVPixelFormat pixel_format);
    void set_palette(const std::vector<RGBQUAD>& colours);
    void unpack(const std::uint8_t* in, std::int32_t row_step);

    PacketSource& source_;
    BITMAPINFOHEADER header_;
    AVPixelFormat pixel_format_;  // of the picture handed on
    bool unpacking_;              // the samples' layout is not pixel_format_
    std::array<std::uint32_t, 3> masks_{};
    std::uint32_t stride_;
    std::vector<std::uint8_t> sample_;
    std::vector<std::uint8_t> unpacked_;  // top-down rows of pixel_format_
    std::uint32_t palette_[256] = {};     // ARGB, as libswscale wants a PAL8 palette
    FramePtr frame_;
};

}  // namespace vfw::codec
