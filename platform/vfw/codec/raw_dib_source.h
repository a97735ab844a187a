// Uncompressed DIB samples (BI_RGB, BI_BITFIELDS) read straight from the samples,
// with no codec in between.
#pragma once

#include <memory>
#include <vector>

#include "vfw/codec/dib_layout.h"
#include "vfw/codec/packet_source.h"
#include "vfw/codec/picture_source.h"

namespace vfw::codec {

class RawDibSource final : public PictureSource {
public:
    static Result<std::unique_ptr<RawDibSource>> open(PacketSource& source, const VideoFormat& format);
    // The pixel layout of a BI_RGB / BI_BITFIELDS format, or AV_PIX_FMT_NONE if not handled.
    static AVPixelFormat pixel_format_of(const VideoFormat& format);
    Result<const AVFrame*> picture_at(std::int64_t position) override;

private:
    RawDibSource(PacketSource& source, const BITMAPINFOHEADER& header, AVPixelFormat pixel_format);

    PacketSource& source_;
    BITMAPINFOHEADER header_;
    AVPixelFormat pixel_format_;
    std::uint32_t stride_;
    std::vector<std::uint8_t> sample_;
    std::uint32_t palette_[256] = {};  // ARGB, as libswscale wants a PAL8 palette
    FramePtr frame_;
};

}  // namespace vfw::codec
