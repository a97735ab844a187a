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

std::array<std::uint32_t, 3> masks_of(const VideoFormat& format) {
    if (format.header.biCompression == BI_BITFIELDS)
        return {read_u32(format.extra, 0), read_u32(format.extra, 4), read_u32(format.extra, 8)};
    if (format.header.biBitCount == 16) return {0x7C00, 0x03E0, 0x001F};
    return {0xFF0000, 0x00FF00, 0x0000FF};
}

AVPixelFormat bitfields_format(const VideoFormat& format) {
    const auto [r, g, b] = masks_of(format);
    if (format.header.biBitCount == 16) {
        if (r == 0xF800 && g == 0x07E0 && b == 0x001F) return AV_PIX_FMT_RGB565LE;
        if (r == 0x7C00 && g == 0x03E0 && b == 0x001F) return AV_PIX_FMT_RGB555LE;
    } else if (format.header.biBitCount == 32) {
        if (r == 0xFF0000 && g == 0xFF00 && b == 0xFF) return AV_PIX_FMT_BGR0;
    }
    return AV_PIX_FMT_NONE;
}

// One colour channel of a bit-field pixel, widened to eight bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (!mask) return;
        while (!((mask >> shift) & 1)) ++shift;
        max = mask >> shift;
    }
    std::uint8_t get(std::uint32_t pixel) const {
        return max ? std::uint8_t(std::uint64_t((pixel & mask) >> shift) * 255u / max) : 0;
    }
};

// Masks must each be one run of bits inside the pixel, none sharing a bit.
bool masks_usable(const std::array<std::uint32_t, 3>& masks, int bits) {
    const std::uint64_t room = (std::uint64_t(1) << bits) - 1;
    std::uint32_t seen = 0;
    for (const std::uint32_t m : masks) {
        if (m == 0 || m > room || (m & seen)) return false;
        const std::uint32_t low = m & (~m + 1);
        if (((m + low) & m) != 0) return false;  // a gap between runs of bits
        seen |= m;
    }
    return true;
}

}  // namespace

AVPixelFormat RawDibSource::pixel_format_of(const VideoFormat& format) {
    const BITMAPINFOHEADER& h = format.header;
    AVPixelFormat pixel_format = AV_PIX_FMT_NONE;
    if (h.biCompression == BI_RGB) {
        switch (h.biBitCount) {
            case 8:
                pixel_format = AV_PIX_FMT_PAL8;
                break;
            case 16:
                pixel_format = AV_PIX_FMT_RGB555LE;
                break;
            case 24:
                pixel_format = AV_PIX_FMT_BGR24;
                break;
            case 32:
                pixel_format = AV_PIX_FMT_BGR0;
                break;
            default:
                break;
        }
    } else if (h.biCompression == BI_BITFIELDS) {
        pixel_format = bitfields_format(format);
    }
    return pixel_format;
}

bool RawDibSource::handles(const VideoFormat& format) {
    const BITMAPINFOHEADER& h = format.header;
    const int bits = h.biBitCount;
    if (h.biCompression == BI_BITFIELDS)
        return (bits == 16 || bits == 32) && format.extra.size() >= 12 &&
               masks_usable(masks_of(format), bits);
    if (h.biCompression != BI_RGB) return false;
    if (bits == 1 || bits == 4 || bits == 8) return !format.palette.empty();
    return bits == 16 || bits == 24 || bits == 32;
}

Result<std::unique_ptr<RawDibSource>> RawDibSource::open(PacketSource& source,
                                                         const VideoFormat& format) {
    const BITMAPINFOHEADER& h = format.header;
    if (!handles(format))
        return make_error(ErrorCode::Unsupported, "uncompressed " + std::to_string(h.biBitCount) +
                                                      "-bit layout not supported");
    AVPixelFormat pixel_format = pixel_format_of(format);
    if (pixel_format == AV_PIX_FMT_NONE)
        pixel_format = h.biBitCount <= 8 ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_BGR0;
    std::unique_ptr<RawDibSource> raw(new RawDibSource(source, format, pixel_format));
    if (!raw->frame_) return make_error(ErrorCode::CodecFailed, "out of memory");
    raw->set_palette(format.palette);
    return raw;
}

RawDibSource::RawDibSource(PacketSource& source, const VideoFormat& format,
                           AVPixelFormat pixel_format)
    : source_(source),
      header_(format.header),
      pixel_format_(pixel_format),
      unpacking_(pixel_format != pixel_format_of(format)),
      masks_(masks_of(format)),
      stride_(dib_stride(format.header.biWidth, format.header.biBitCount)),
      frame_(av_frame_alloc()) {}

void RawDibSource::set_palette(const std::vector<RGBQUAD>& colours) {
    for (std::size_t i = 0; i < 256; ++i) {
        const RGBQUAD c = i < colours.size() ? colours[i] : RGBQUAD{0, 0, 0, 0};
        palette_[i] = 0xFF000000u | std::uint32_t(c.rgbRed) << 16 | std::uint32_t(c.rgbGreen) << 8 |
                      c.rgbBlue;
    }
}

// Rows of 1- or 4-bit indexes become a byte each; pixels of any bit fields become B, G, R, 0.
void RawDibSource::unpack(const std::uint8_t* in, std::int32_t row_step) {
    const int bits = header_.biBitCount;
    const std::size_t width = std::size_t(header_.biWidth);
    const int rows = std::abs(header_.biHeight);
    const std::size_t out_bytes = bits <= 8 ? 1 : 4;
    unpacked_.resize(width * out_bytes * std::size_t(rows));
    const Channel r(masks_[0]), g(masks_[1]), b(masks_[2]);
    for (int y = 0; y < rows; ++y, in += row_step) {
        std::uint8_t* out = unpacked_.data() + std::size_t(y) * width * out_bytes;
        for (std::size_t x = 0; x < width; ++x) {
            if (bits <= 8) {
                const std::size_t per_byte = std::size_t(8 / bits);
                const int shift = 8 - bits * int(1 + x % per_byte);
                out[x] = std::uint8_t((in[x / per_byte] >> shift) & ((1 << bits) - 1));
                continue;
            }
            std::uint32_t p = 0;
            std::memcpy(&p, in + x * std::size_t(bits / 8), std::size_t(bits / 8));
            out[4 * x] = b.get(p);
            out[4 * x + 1] = g.get(p);
            out[4 * x + 2] = r.get(p);
            out[4 * x + 3] = 0;
        }
    }
}

Result<const AVFrame*> RawDibSource::picture_at(std::int64_t position) {
    if (Status s = source_.read_sample(position, sample_); !s) return s.error();
    const int rows = std::abs(header_.biHeight);
    const std::size_t needed = std::size_t(stride_) * std::size_t(rows);
    if (sample_.size() < needed)
        return make_error(ErrorCode::BadFormat, "sample " + std::to_string(position) + " holds " +
                                                    std::to_string(sample_.size()) +
                                                    " bytes, a frame needs " +
                                                    std::to_string(needed));
    if (header_.biBitCount <= 8)
        if (const std::vector<RGBQUAD>* colours = source_.palette_at(position))
            set_palette(*colours);
    // Bottom-up rows: start at the top row and walk backwards.
    std::uint8_t* top = sample_.data();
    int step = int(stride_);
    if (header_.biHeight > 0) {
        top += std::size_t(rows - 1) * stride_;
        step = -step;
    }
    AVFrame* f = frame_.get();
    f->format = pixel_format_;
    f->width = header_.biWidth;
    f->height = rows;
    f->data[0] = top;
    f->linesize[0] = step;
    if (unpacking_) {
        unpack(top, step);
        f->data[0] = unpacked_.data();
        f->linesize[0] = header_.biWidth * (header_.biBitCount <= 8 ? 1 : 4);
    }
    f->data[1] =
        pixel_format_ == AV_PIX_FMT_PAL8 ? reinterpret_cast<std::uint8_t*>(palette_) : nullptr;
    f->linesize[1] = 0;
    return static_cast<const AVFrame*>(f);
}

}  // namespace vfw::codec
