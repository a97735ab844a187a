// Uncompressed video (BI_RGB and BI_BITFIELDS) turned into packed DIBs of
// 8 bits with palette, 16 (5-5-5), 24 or 32 bits, rows bottom-up and padded
// to four bytes. No scaling: the requested size must be the stream's.
#include "vfw/avifile/dib_decompressor.h"

#include "vfw/codec/dib_layout.h"

#include <algorithm>
#include <cstring>

#include "vfw/riff/records.h"

namespace vfw {

namespace {

std::uint64_t stride_of(std::int64_t width, int bits) { return std::uint64_t(((width * bits + 31) / 32) * 4); }

// The codec layer's limit, so that both paths refuse the same frames.
bool fits(std::int64_t width, std::int64_t height, int bits) { return codec::frame_fits(width, height, bits); }

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (!mask) return;
        while (!((mask >> shift) & 1)) ++shift;
        max = mask >> shift;
    }
    std::uint8_t get(std::uint32_t pixel) const {
        if (!max) return 0;
        return std::uint8_t(((pixel & mask) >> shift) * 255u / max);
    }
};

}  // namespace

std::unique_ptr<FrameDecompressor> DibDecompressor::open(std::unique_ptr<SampleSource> source,
                                                         const BITMAPINFOHEADER* wanted) {
    const std::vector<std::uint8_t>& format = source->format();
    if (format.size() < sizeof(BITMAPINFOHEADER)) return nullptr;
    BITMAPINFOHEADER in;
    std::memcpy(&in, format.data(), sizeof in);
    if (in.biSize < sizeof(BITMAPINFOHEADER) || in.biSize > format.size()) return nullptr;
    if (in.biWidth <= 0 || in.biHeight == 0 || in.biHeight == INT32_MIN) return nullptr;
    const int bits = in.biBitCount;
    bool rgb = in.biCompression == BI_RGB &&
               (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
    bool fields = in.biCompression == BI_BITFIELDS && (bits == 16 || bits == 32);
    if (!rgb && !fields) return nullptr;

    auto d = std::unique_ptr<DibDecompressor>(new DibDecompressor());
    d->width_ = in.biWidth;
    d->height_ = in.biHeight < 0 ? -in.biHeight : in.biHeight;
    d->top_down_ = in.biHeight < 0;
    d->in_bits_ = bits;
    if (!fits(d->width_, d->height_, bits)) return nullptr;
    d->in_stride_ = std::uint32_t(stride_of(d->width_, bits));

    if (bits <= 8) {
        std::size_t count = in.biClrUsed ? in.biClrUsed : (1u << bits);
        count = std::min<std::size_t>(count, 1u << bits);
        std::size_t room = (format.size() - in.biSize) / 4;
        count = std::min(count, room);
        d->palette_.resize(count);
        std::memcpy(d->palette_.data(), format.data() + in.biSize, count * 4);
        if (count == 0) return nullptr;
    }
    if (fields) {
        if (format.size() < 40 + 12) return nullptr;
        d->masks_[0] = riff::load_u32(&format[40]);
        d->masks_[1] = riff::load_u32(&format[44]);
        d->masks_[2] = riff::load_u32(&format[48]);
    } else if (bits == 16) {
        d->masks_[0] = 0x7C00;
        d->masks_[1] = 0x03E0;
        d->masks_[2] = 0x001F;
    } else {
        d->masks_[0] = 0xFF0000;
        d->masks_[1] = 0x00FF00;
        d->masks_[2] = 0x0000FF;
    }

    int out_bits;
    if (wanted == nullptr) {
        out_bits = bits <= 8 ? 8 : bits;
    } else if (reinterpret_cast<std::uintptr_t>(wanted) == AVIGETFRAMEF_BESTDISPLAYFMT) {
        out_bits = 32;
    } else {
        if (wanted->biCompression != BI_RGB) return nullptr;
        if ((wanted->biWidth && wanted->biWidth != d->width_) || wanted->biHeight < 0 ||
            (wanted->biHeight && wanted->biHeight != d->height_))
            return nullptr;
        out_bits = wanted->biBitCount;
        bool same = out_bits == bits && !fields;
        bool supported = out_bits == 16 || out_bits == 24 || out_bits == 32 || (out_bits == 8 && bits <= 8);
        if (!supported && !same) return nullptr;
    }
    // A frame is only ever produced from a sample of at least the input
    // size, but a 1-bit source grows 32 times; cap the output as well.
    if (!fits(d->width_, d->height_, out_bits)) return nullptr;
    d->out_bits_ = out_bits;
    d->out_stride_ = std::uint32_t(stride_of(d->width_, out_bits));
    d->source_ = std::move(source);
    return d;
}

const BITMAPINFOHEADER* DibDecompressor::frame(std::int32_t pos) {
    if (pos < 0 || pos >= source_->sample_count()) return nullptr;
    // An empty sample repeats the frame before it.
    std::int32_t at = pos;
    for (;; --at) {
        if (at < 0) return nullptr;
        if (at == decoded_) return header();
        if (!source_->read(at, sample_)) return nullptr;
        if (!sample_.empty()) break;
    }
    if (sample_.size() < std::uint64_t(in_stride_) * std::uint64_t(height_)) return nullptr;
    if (in_bits_ <= 8)
        if (const std::vector<RGBQUAD>* palette = source_->palette_at(at)) palette_ = *palette;

    std::size_t palette_bytes = out_bits_ <= 8 ? palette_.size() * 4 : 0;
    std::size_t total = sizeof(BITMAPINFOHEADER) + palette_bytes + std::size_t(out_stride_) * std::size_t(height_);
    out_.assign(total, 0);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width_;
    h.biHeight = height_;
    h.biPlanes = 1;
    h.biBitCount = WORD(out_bits_);
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(std::size_t(out_stride_) * std::size_t(height_));
    h.biClrUsed = out_bits_ <= 8 ? DWORD(palette_.size()) : 0;
    std::memcpy(out_.data(), &h, sizeof h);
    if (palette_bytes) std::memcpy(out_.data() + sizeof h, palette_.data(), palette_bytes);

    std::uint8_t* pixels = out_.data() + sizeof h + palette_bytes;
    for (std::int32_t y = 0; y < height_; ++y) {
        std::int32_t src_row = top_down_ ? height_ - 1 - y : y;
        convert_row(sample_.data() + std::size_t(src_row) * in_stride_, pixels + std::size_t(y) * out_stride_);
    }
    decoded_ = at;
    return header();
}

const BITMAPINFOHEADER* DibDecompressor::header() const {
    return reinterpret_cast<const BITMAPINFOHEADER*>(out_.data());
}

void DibDecompressor::convert_row(const std::uint8_t* in, std::uint8_t* out) const {
    const std::int32_t w = width_;
    if (out_bits_ == in_bits_ && (in_bits_ != 16 || masks_[1] == 0x03E0) && (in_bits_ != 32 || masks_[2] == 0xFF)) {
        std::memcpy(out, in, std::size_t(stride_of(w, in_bits_)));
        return;
    }
    const Channel r(masks_[0]), g(masks_[1]), b(masks_[2]);
    for (std::int32_t x = 0; x < w; ++x) {
        std::uint8_t red, green, blue, index = 0;
        if (in_bits_ <= 8) {
            int per_byte = 8 / in_bits_;
            int shift = 8 - in_bits_ * (1 + x % per_byte);
            index = std::uint8_t((in[x / per_byte] >> shift) & ((1 << in_bits_) - 1));
            RGBQUAD q = index < palette_.size() ? palette_[index] : RGBQUAD{0, 0, 0, 0};
            red = q.rgbRed;
            green = q.rgbGreen;
            blue = q.rgbBlue;
        } else if (in_bits_ == 24) {
            blue = in[3 * x];
            green = in[3 * x + 1];
            red = in[3 * x + 2];
        } else {
            std::uint32_t p = in_bits_ == 16 ? std::uint32_t(in[2 * x] | in[2 * x + 1] << 8) : riff::load_u32(in + 4 * x);
            red = r.get(p);
            green = g.get(p);
            blue = b.get(p);
        }
        switch (out_bits_) {
        case 8: out[x] = index; break;
        case 16: {
            std::uint16_t v = std::uint16_t((red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3));
            out[2 * x] = std::uint8_t(v);
            out[2 * x + 1] = std::uint8_t(v >> 8);
            break;
        }
        case 24:
            out[3 * x] = blue;
            out[3 * x + 1] = green;
            out[3 * x + 2] = red;
            break;
        default:
            out[4 * x] = blue;
            out[4 * x + 1] = green;
            out[4 * x + 2] = red;
            out[4 * x + 3] = 0;
            break;
        }
    }
}

}  // namespace vfw
