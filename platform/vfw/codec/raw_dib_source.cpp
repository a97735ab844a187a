#include "vfw/codec/raw_dib_source.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace vfw::codec {

namespace {

std::uint32_t read_u32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::uint32_t v = 0;
    if (bytes.size() >= offset + 4) std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

AVPixelFormat bitfields_format(const VideoFormat& format) {
    const std::uint32_t r = read_u32(format.extra, 0);
    const std::uint32_t g = read_u32(format.extra, 4);
    const std::uint32_t b = read_u32(format.extra, 8);
    if (format.header.biBitCount == 16) {
        if (r == 0xF800 && g == 0x07E0 && b == 0x001F) return AV_PIX_FMT_RGB565LE;
        if (r == 0x7C00 && g == 0x03E0 && b == 0x001F) return AV_PIX_FMT_RGB555LE;
    } else if (format.header.biBitCount == 32) {
        if (r == 0xFF0000 && g == 0xFF00 && b == 0xFF) return AV_PIX_FMT_BGR0;
    }
    return AV_PIX_FMT_NONE;
}

}  // namespace

AVPixelFormat RawDibSource::pixel_format_of(const VideoFormat& format) {
    const BITMAPINFOHEADER& h = format.header;
    AVPixelFormat pixel_format = AV_PIX_FMT_NONE;
    if (h.biCompression == BI_RGB) {
        switch (h.biBitCount) {
            case 8: pixel_format = AV_PIX_FMT_PAL8; break;
            case 16: pixel_format = AV_PIX_FMT_RGB555LE; break;
            case 24: pixel_format = AV_PIX_FMT_BGR24; break;
            case 32: pixel_format = AV_PIX_FMT_BGR0; break;
            default: break;
        }
    } else if (h.biCompression == BI_BITFIELDS) {
        pixel_format = bitfields_format(format);
    }
    return pixel_format;
}

Result<std::unique_ptr<RawDibSource>> RawDibSource::open(PacketSource& source,
                                                         const VideoFormat& format) {
    const BITMAPINFOHEADER& h = format.header;
    const AVPixelFormat pixel_format = pixel_format_of(format);
    if (pixel_format == AV_PIX_FMT_NONE)
        return make_error(ErrorCode::Unsupported, "uncompressed " + std::to_string(h.biBitCount) +
                                                      "-bit layout not supported");
    std::unique_ptr<RawDibSource> raw(new RawDibSource(source, h, pixel_format));
    if (!raw->frame_) return make_error(ErrorCode::CodecFailed, "out of memory");
    for (std::size_t i = 0; i < format.palette.size() && i < 256; ++i) {
        const RGBQUAD& c = format.palette[i];
        raw->palette_[i] = 0xFF000000u | std::uint32_t(c.rgbRed) << 16 |
                           std::uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
    }
    return raw;
}

RawDibSource::RawDibSource(PacketSource& source, const BITMAPINFOHEADER& header,
                           AVPixelFormat pixel_format)
    : source_(source),
      header_(header),
      pixel_format_(pixel_format),
      stride_(dib_stride(header.biWidth, header.biBitCount)),
      frame_(av_frame_alloc()) {}

Result<const AVFrame*> RawDibSource::picture_at(std::int64_t position) {
    if (Status s = source_.read_sample(position, sample_); !s) return s.error();
    const int rows = std::abs(header_.biHeight);
    const std::size_t needed = std::size_t(stride_) * std::size_t(rows);
    if (sample_.size() < needed)
        return make_error(ErrorCode::BadFormat, "sample " + std::to_string(position) + " holds " +
                                                    std::to_string(sample_.size()) + " bytes, a frame needs " +
                                                    std::to_string(needed));
    AVFrame* f = frame_.get();
    f->format = pixel_format_;
    f->width = header_.biWidth;
    f->height = rows;
    if (header_.biHeight > 0) {  // bottom-up rows: point at the top row and walk backwards
        f->data[0] = sample_.data() + std::size_t(rows - 1) * stride_;
        f->linesize[0] = -int(stride_);
    } else {
        f->data[0] = sample_.data();
        f->linesize[0] = int(stride_);
    }
    f->data[1] = pixel_format_ == AV_PIX_FMT_PAL8 ? reinterpret_cast<std::uint8_t*>(palette_) : nullptr;
    f->linesize[1] = 0;
    return static_cast<const AVFrame*>(f);
}

}  // namespace vfw::codec
