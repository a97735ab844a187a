#include "win/resources/dib_decoder.h"

#include <bit>
#include <cstring>

namespace win::res {

namespace {

// Byte reader that knows how much is left; reads past the end yield nothing.
class Bytes {
  public:
    explicit Bytes(std::span<const std::uint8_t> data) : data_(data) {}
    std::size_t size() const { return data_.size(); }
    bool has(std::uint64_t offset, std::uint64_t count) const {
        return offset <= data_.size() && count <= data_.size() - offset;
    }
    std::uint16_t u16(std::size_t at) const {
        return std::uint16_t(data_[at] | data_[at + 1] << 8);
    }
    std::uint32_t u32(std::size_t at) const {
        return std::uint32_t(data_[at]) | std::uint32_t(data_[at + 1]) << 8 |
               std::uint32_t(data_[at + 2]) << 16 | std::uint32_t(data_[at + 3]) << 24;
    }
    std::int32_t i32(std::size_t at) const { return std::int32_t(u32(at)); }
    const std::uint8_t* at(std::size_t offset) const { return data_.data() + offset; }

  private:
    std::span<const std::uint8_t> data_;
};

constexpr std::uint32_t bi_rgb = 0;
constexpr std::uint32_t bi_bitfields = 3;
constexpr std::uint32_t bi_alphabitfields = 6;

struct Header {
    std::uint32_t size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // signed: negative means top-down
    int bit_count = 0;
    std::uint32_t compression = bi_rgb;
    std::uint32_t colors_used = 0;
    std::uint32_t masks[3] = {0, 0, 0};
    bool has_masks = false;
    bool core = false;  // 12-byte header: 3-byte palette entries
};

struct Mask {
    int shift = 0;
    int bits = 0;
};

DibResult fail(DibError e) {
    DibResult r;
    r.error = e;
    return r;
}

bool make_mask(std::uint32_t m, Mask& out) {
    if (m == 0) return false;
    out.shift = std::countr_zero(m);
    std::uint32_t s = m >> out.shift;
    out.bits = std::countr_one(s);
    return (s >> out.bits) == 0;  // contiguous
}

std::uint32_t expand(std::uint32_t v, const Mask& m) {
    v = (v >> m.shift) & ((std::uint64_t(1) << m.bits) - 1);
    if (m.bits >= 8) return v >> (m.bits - 8);
    // Repeat the bits so that full intensity maps to 255.
    std::uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += m.bits) out = (out << m.bits) | v;
    std::uint32_t total = 8 + ((m.bits - (8 % m.bits)) % m.bits);
    return (out >> (total - 8)) & 0xff;
}

// Reads the info header at `at`; sets `end` past it and any masks after it.
DibError read_header(const Bytes& b, std::size_t at, Header& h, std::size_t& end) {
    if (!b.has(at, 4)) return DibError::truncated;
    h.size = b.u32(at);
    if (h.size == 12) {
        if (!b.has(at, 12)) return DibError::truncated;
        h.core = true;
        h.width = b.u16(at + 4);
        h.height = b.u16(at + 6);
        if (b.u16(at + 8) != 1) return DibError::bad_header;
        h.bit_count = b.u16(at + 10);
        end = at + 12;
        return DibError::none;
    }
    if (h.size != 40 && h.size != 52 && h.size != 56 && h.size != 108 && h.size != 124)
        return DibError::bad_header;
    if (!b.has(at, h.size)) return DibError::truncated;
    h.width = b.i32(at + 4);
    h.height = b.i32(at + 8);
    if (b.u16(at + 12) != 1) return DibError::bad_header;
    h.bit_count = b.u16(at + 14);
    h.compression = b.u32(at + 16);
    h.colors_used = b.u32(at + 32);
    end = at + h.size;
    if (h.compression == bi_bitfields || h.compression == bi_alphabitfields) {
        std::size_t masks_at = at + 40;
        if (h.size == 40) {
            // The masks follow a plain info header.
            std::size_t n = h.compression == bi_alphabitfields ? 16 : 12;
            if (!b.has(end, n)) return DibError::truncated;
            end += n;
        }
        for (int i = 0; i < 3; ++i) h.masks[i] = b.u32(masks_at + 4 * std::size_t(i));
        h.has_masks = true;
    }
    return DibError::none;
}

DibError check_header(const Header& h) {
    switch (h.bit_count) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            return DibError::bad_bit_count;
    }
    if (h.compression != bi_rgb && !h.has_masks) return DibError::compressed;
    if (h.has_masks && h.bit_count != 16 && h.bit_count != 32) return DibError::compressed;
    std::int64_t abs_height = h.height < 0 ? -h.height : h.height;
    if (h.width <= 0 || abs_height == 0 || h.width > max_dib_side || abs_height > max_dib_side ||
        h.width * abs_height > max_dib_pixels)
        return DibError::bad_dimensions;
    if (h.bit_count <= 8 && h.colors_used > (1u << h.bit_count)) return DibError::bad_palette;
    if (h.bit_count > 8 && h.colors_used > 256) return DibError::bad_palette;
    return DibError::none;
}

std::size_t palette_count(const Header& h) {
    if (h.bit_count <= 8) return h.colors_used ? h.colors_used : (std::size_t(1) << h.bit_count);
    return h.colors_used;  // an optional palette that true-colour pixels ignore
}

std::uint64_t stride_of(std::int64_t width, int bits) {
    return ((std::uint64_t(width) * std::uint64_t(bits) + 31) / 32) * 4;
}

// Decodes `rows` rows of pixels starting at `bits_at`.
DibResult decode_pixels(const Bytes& b, const Header& h, std::size_t palette_at,
                        std::size_t bits_at, int rows) {
    const int width = int(h.width);
    const bool top_down = h.height < 0;
    const std::uint64_t stride = stride_of(width, h.bit_count);
    if (!b.has(bits_at, stride * std::uint64_t(rows))) return fail(DibError::truncated);

    std::vector<std::uint32_t> palette(palette_count(h));
    const std::size_t entry = h.core ? 3 : 4;
    if (!b.has(palette_at, palette.size() * entry)) return fail(DibError::truncated);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const std::uint8_t* p = b.at(palette_at + i * entry);
        palette[i] = std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }

    Mask masks[3];
    if (h.bit_count == 16 || h.bit_count == 32) {
        std::uint32_t m[3];
        if (h.has_masks) {
            std::memcpy(m, h.masks, sizeof m);
        } else if (h.bit_count == 16) {
            m[0] = 0x7c00, m[1] = 0x03e0, m[2] = 0x001f;
        } else {
            m[0] = 0xff0000, m[1] = 0x00ff00, m[2] = 0x0000ff;
        }
        for (int i = 0; i < 3; ++i)
            if (!make_mask(m[i], masks[i]) || (h.bit_count == 16 && m[i] > 0xffff))
                return fail(DibError::bad_masks);
    }

    DibResult r;
    DibImage& img = r.image;
    img.width = width;
    img.height = rows;
    img.bit_count = h.bit_count;
    img.pixels.resize(std::size_t(width) * std::size_t(rows));
    if (h.bit_count == 32) img.alpha.resize(img.pixels.size());

    auto lookup = [&](std::uint32_t index) -> std::uint32_t {
        return index < palette.size() ? palette[index] : 0;  // out of range shows black
    };
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* src = b.at(bits_at + std::size_t(stride) * std::size_t(y));
        int dst_row = top_down ? y : rows - 1 - y;
        std::uint32_t* dst = img.pixels.data() + std::size_t(dst_row) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            switch (h.bit_count) {
                case 1:
                    dst[x] = lookup((src[x >> 3] >> (7 - (x & 7))) & 1);
                    break;
                case 4:
                    dst[x] = lookup((src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xf);
                    break;
                case 8:
                    dst[x] = lookup(src[x]);
                    break;
                case 16: {
                    std::uint32_t v = std::uint32_t(src[2 * x] | src[2 * x + 1] << 8);
                    dst[x] =
                        expand(v, masks[0]) << 16 | expand(v, masks[1]) << 8 | expand(v, masks[2]);
                    break;
                }
                case 24: {
                    const std::uint8_t* p = src + 3 * x;
                    dst[x] = std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
                    break;
                }
                case 32: {
                    const std::uint8_t* p = src + 4 * x;
                    std::uint32_t v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                      std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
                    dst[x] =
                        expand(v, masks[0]) << 16 | expand(v, masks[1]) << 8 | expand(v, masks[2]);
                    img.alpha[std::size_t(dst_row) * std::size_t(width) + std::size_t(x)] = p[3];
                    break;
                }
            }
        }
    }
    return r;
}

DibResult decode_at(const Bytes& b, std::size_t header_at, std::int64_t bits_offset,
                    int height_divisor, std::vector<std::uint8_t>* mask_rows) {
    Header h;
    std::size_t end = 0;
    if (DibError e = read_header(b, header_at, h, end); e != DibError::none) return fail(e);
    if (height_divisor == 2) {
        if (h.height < 0 || h.height % 2) return fail(DibError::bad_dimensions);
        h.height /= 2;
    }
    if (DibError e = check_header(h); e != DibError::none) return fail(e);
    const std::size_t palette_at = end;
    const std::uint64_t palette_end = palette_at + palette_count(h) * (h.core ? 3 : 4);
    if (palette_end > b.size()) return fail(DibError::truncated);
    // A file states where its bits start; that must not overlap the headers.
    std::uint64_t bits_at = palette_end;
    if (bits_offset >= 0) {
        if (std::uint64_t(bits_offset) < palette_end) return fail(DibError::bad_header);
        bits_at = std::uint64_t(bits_offset);
    }
    if (bits_at > b.size()) return fail(DibError::truncated);
    const int rows = int(h.height < 0 ? -h.height : h.height);
    DibResult r = decode_pixels(b, h, palette_at, std::size_t(bits_at), rows);
    if (!r.ok() || !mask_rows) return r;

    // The AND mask of an icon: 1 bit per pixel, bottom-up, after the colour rows.
    const std::uint64_t mask_at = bits_at + stride_of(h.width, h.bit_count) * std::uint64_t(rows);
    const std::uint64_t mask_stride = stride_of(h.width, 1);
    if (!b.has(mask_at, mask_stride * std::uint64_t(rows))) return fail(DibError::truncated);
    const int width = int(h.width);
    mask_rows->assign(std::size_t(width) * std::size_t(rows), 0);
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* src = b.at(std::size_t(mask_at + mask_stride * std::uint64_t(y)));
        std::uint8_t* dst = mask_rows->data() + std::size_t(rows - 1 - y) * std::size_t(width);
        for (int x = 0; x < width; ++x) dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
    }
    return r;
}

}  // namespace

std::string_view to_string(DibError error) {
    switch (error) {
        case DibError::none:
            return "no error";
        case DibError::truncated:
            return "the bitmap data is truncated";
        case DibError::not_bmp:
            return "not a bitmap file";
        case DibError::bad_header:
            return "malformed bitmap header";
        case DibError::bad_dimensions:
            return "impossible bitmap dimensions";
        case DibError::bad_bit_count:
            return "unsupported bits per pixel";
        case DibError::compressed:
            return "compressed bitmaps are not supported";
        case DibError::bad_palette:
            return "malformed colour table";
        case DibError::bad_masks:
            return "malformed colour masks";
    }
    return "unknown error";
}

DibResult decode_bmp(std::span<const std::uint8_t> file) {
    Bytes b(file);
    if (!b.has(0, 14)) return fail(DibError::truncated);
    if (file[0] != 'B' || file[1] != 'M') return fail(DibError::not_bmp);
    return decode_at(b, 14, std::int64_t(b.u32(10)), 1, nullptr);
}

DibResult decode_packed_dib(std::span<const std::uint8_t> dib, int height_divisor,
                            std::vector<std::uint8_t>* mask_rows) {
    if (height_divisor != 1 && height_divisor != 2) return fail(DibError::bad_header);
    return decode_at(Bytes(dib), 0, -1, height_divisor, mask_rows);
}

}  // namespace win::res
