#include "vfw/codec/dib_writer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "vfw/codec/dib_layout.h"

namespace vfw::codec {

namespace {

constexpr std::size_t kRowAlignment = 64;

AVPixelFormat pixel_format_for(std::uint16_t bit_count) {
    switch (bit_count) {
        case 8:
            return AV_PIX_FMT_BGR8;  // indexes into fixed_palette()
        // libswscale's own 5-5-5 output blends neighbours at odd widths; we pack it ourselves.
        case 16:
            return AV_PIX_FMT_BGR24;
        case 24:
            return AV_PIX_FMT_BGR24;
        default:
            return AV_PIX_FMT_BGR0;
    }
}

// Same choice of matrix as FFmpeg's scale filter makes by default, so our
// pictures match what ffmpeg shows for the same file.
const int* coefficients_for(AVColorSpace space) {
    int s = int(space);
    if (s < 1 || s > 10 || s == 8) s = SWS_CS_ITU601;
    return sws_getCoefficients(s);
}

// Rows with room for a whole block of 16 pixels past the picture, aligned for SIMD stores.
std::size_t padded_stride(int width, int bytes_per_pixel) {
    const std::size_t bytes = (std::size_t(width) + 16) * std::size_t(bytes_per_pixel);
    return (bytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
}

}  // namespace

void DibWriter::configure(const BITMAPINFOHEADER& output, std::uint32_t colours) {
    BITMAPINFOHEADER header = make_rgb_header(output.biWidth, output.biHeight, output.biBitCount);
    if (header.biBitCount == 8) header.biClrUsed = std::clamp<std::uint32_t>(colours, 1, 256);
    colours_ = header.biClrUsed;
    header_bytes_ = sizeof header + colours_ * sizeof(RGBQUAD);
    image_bytes_ = header.biSizeImage;
    header_.assign(header_bytes_, 0);
    std::memcpy(header_.data(), &header, sizeof header);
    if (header.biBitCount == 8)
        std::memcpy(header_.data() + sizeof header, fixed_palette().data(),
                    colours_ * sizeof(RGBQUAD));
    out_format_ = pixel_format_for(header.biBitCount);
    sws_.reset();
    sws_colorspace_ = sws_range_ = -1;
}

Status DibWriter::write(const AVFrame& frame, std::uint8_t* dib) {
    const BITMAPINFOHEADER& h = header();
    std::memcpy(dib, header_.data(), header_bytes_);
    clear_row_padding(dib + header_bytes_);
    if (frame.format == AV_PIX_FMT_PAL8 && h.biBitCount == 8 && frame.width == h.biWidth &&
        frame.height == std::abs(h.biHeight)) {
        copy_pal8(frame, dib);
        return {};
    }
    return scale(frame, dib + header_bytes_);
}

// The DIB's memory is reused from frame to frame (or fresh), and the bytes that pad
// its rows to four must read as zero all the same.
void DibWriter::clear_row_padding(std::uint8_t* bits) const {
    const BITMAPINFOHEADER& h = header();
    const std::uint32_t stride = dib_stride(h.biWidth, h.biBitCount);
    const std::size_t used = (std::size_t(h.biWidth) * h.biBitCount + 7) / 8;
    if (used == stride) return;
    const int rows = std::abs(h.biHeight);
    for (int y = 0; y < rows; ++y)
        std::memset(bits + std::size_t(y) * stride + used, 0, stride - used);
}

// An 8-bit source shown at 8 bits keeps its own colours instead of being dithered.
void DibWriter::copy_pal8(const AVFrame& frame, std::uint8_t* dib) {
    const BITMAPINFOHEADER& h = header();
    RGBQUAD colors[256];
    const auto* argb = reinterpret_cast<const std::uint32_t*>(frame.data[1]);
    for (int i = 0; i < 256; ++i) {
        colors[i].rgbBlue = BYTE(argb[i] & 0xff);
        colors[i].rgbGreen = BYTE((argb[i] >> 8) & 0xff);
        colors[i].rgbRed = BYTE((argb[i] >> 16) & 0xff);
        colors[i].rgbReserved = 0;
    }
    std::memcpy(dib + sizeof(BITMAPINFOHEADER), colors, colours_ * sizeof(RGBQUAD));
    std::uint8_t* bits = dib + header_bytes_;
    const std::uint32_t stride = dib_stride(h.biWidth, 8);
    const int rows = frame.height;
    for (int y = 0; y < rows; ++y) {
        const int out_row = h.biHeight > 0 ? rows - 1 - y : y;
        std::memcpy(bits + std::size_t(out_row) * stride,
                    frame.data[0] + std::ptrdiff_t(y) * frame.linesize[0],
                    std::size_t(frame.width));
    }
}

Status DibWriter::scale(const AVFrame& frame, std::uint8_t* bits) {
    const BITMAPINFOHEADER& h = header();
    const int out_w = h.biWidth;
    const int out_h = std::abs(h.biHeight);
    SwsContext* previous = sws_.get();
    SwsContext* ctx =
        sws_getCachedContext(sws_.release(), frame.width, frame.height, AVPixelFormat(frame.format),
                             out_w, out_h, out_format_, SWS_BICUBIC, nullptr, nullptr, nullptr);
    sws_.reset(ctx);
    if (!ctx) {
        const char* name = av_get_pix_fmt_name(AVPixelFormat(frame.format));
        return make_error(ErrorCode::Unsupported,
                          std::string("cannot convert pictures of format ") + (name ? name : "?"));
    }
    if (ctx != previous) sws_colorspace_ = sws_range_ = -1;
    const int range = frame.color_range == AVCOL_RANGE_JPEG ? 1 : 0;
    if (frame.colorspace != sws_colorspace_ || range != sws_range_) {
        int* inv_table = nullptr;
        int* table = nullptr;
        int src_range = 0, dst_range = 0, brightness = 0, contrast = 0, saturation = 0;
        if (sws_getColorspaceDetails(ctx, &inv_table, &src_range, &table, &dst_range, &brightness,
                                     &contrast, &saturation) >= 0) {
            if (frame.color_range != AVCOL_RANGE_UNSPECIFIED) src_range = range;
            sws_setColorspaceDetails(ctx, coefficients_for(frame.colorspace), src_range, table,
                                     dst_range, brightness, contrast, saturation);
        }
        sws_colorspace_ = frame.colorspace;
        sws_range_ = range;
    }
    // libswscale's fast converters write whole blocks of 16 pixels and skip the last
    // ones of a row too short to take a block, so they write into padded rows here,
    // unless the DIB's rows are whole blocks already: then straight into the DIB,
    // bottom-up rows by a negative stride, which spares a copy of every frame.
    const bool direct = h.biBitCount == 24 && out_w % 16 == 0;
    const bool packing = h.biBitCount == 16;
    const int bytes_per_pixel = packing ? 3 : std::max(1, h.biBitCount / 8);
    const std::uint32_t stride = dib_stride(out_w, h.biBitCount);
    const std::size_t padded = direct ? stride : padded_stride(out_w, bytes_per_pixel);
    std::uint8_t* dst[4] = {bits, nullptr, nullptr, nullptr};
    int dst_stride[4] = {int(padded), 0, 0, 0};
    if (!direct) {
        scratch_.resize(padded * std::size_t(out_h));
        dst[0] = scratch_.data();
    } else if (h.biHeight > 0) {
        dst[0] = bits + std::size_t(out_h - 1) * stride;
        dst_stride[0] = -int(stride);
    }
    if (sws_scale(ctx, frame.data, frame.linesize, 0, frame.height, dst, dst_stride) != out_h)
        return make_error(ErrorCode::CodecFailed, "picture conversion failed");
    if (direct) return {};
    if (packing) {
        pack_555(padded, bits);
        return {};
    }
    const std::size_t row_bytes = std::size_t(out_w) * std::size_t(bytes_per_pixel);
    for (int y = 0; y < out_h; ++y) {
        const int out_row = h.biHeight > 0 ? out_h - 1 - y : y;
        std::uint8_t* row = bits + std::size_t(out_row) * stride;
        std::memcpy(row, scratch_.data() + std::size_t(y) * padded, row_bytes);
        // libswscale fills the fourth byte; in a 32-bit DIB it is reserved and zero.
        if (h.biBitCount == 32)
            for (std::size_t x = 3; x < row_bytes; x += 4) row[x] = 0;
    }
    return {};
}

void DibWriter::pack_555(std::size_t in_stride, std::uint8_t* bits) {
    const BITMAPINFOHEADER& h = header();
    const int w = h.biWidth;
    const int rows = std::abs(h.biHeight);
    const std::uint32_t out_stride = dib_stride(w, 16);
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* in = scratch_.data() + std::size_t(y) * in_stride;
        const int out_row = h.biHeight > 0 ? rows - 1 - y : y;
        std::uint8_t* out = bits + std::size_t(out_row) * out_stride;
        for (int x = 0; x < w; ++x, in += 3) {
            const unsigned v =
                unsigned(in[2] >> 3) << 10 | unsigned(in[1] >> 3) << 5 | unsigned(in[0] >> 3);
            out[2 * x] = std::uint8_t(v & 0xff);
            out[2 * x + 1] = std::uint8_t(v >> 8);
        }
    }
}

}  // namespace vfw::codec
