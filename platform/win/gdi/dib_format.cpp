// DIB row decoding and encoding for every uncompressed layout.
#include "win/gdi/dib_format.h"

#include <bit>
#include <cstring>
#include <limits>

namespace win::gdi {
namespace {

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int width = 0;
};

Channel channel(std::uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (!mask) return c;
    c.shift = std::countr_zero(mask);
    c.width = std::popcount(mask);
    return c;
}

// Widens an n-bit channel value to 8 bits by repeating its bits, so that the
// full-scale value stays full scale.
std::uint32_t widen(std::uint32_t v, int n) {
    if (n <= 0) return 0;
    if (n >= 8) return (v >> (n - 8)) & 0xff;
    std::uint32_t out = 0;
    int have = 0;
    while (have < 8) {
        out = (out << n) | v;
        have += n;
    }
    return (out >> (have - 8)) & 0xff;
}

std::uint32_t extract(std::uint32_t value, const Channel& c) {
    return widen((value & c.mask) >> c.shift, c.width);
}

std::uint32_t insert(std::uint32_t v8, const Channel& c) {
    if (!c.mask) return 0;
    std::uint32_t v = c.width >= 8 ? v8 << (c.width - 8) : v8 >> (8 - c.width);
    return (v << c.shift) & c.mask;
}

int nearest_palette_index(const DibFormat& f, std::uint32_t p) {
    int best = 0;
    int best_distance = std::numeric_limits<int>::max();
    for (int i = 0; i < f.palette_size; ++i) {
        std::uint32_t q = f.palette[std::size_t(i)];
        int dr = int((p >> 16) & 0xff) - int((q >> 16) & 0xff);
        int dg = int((p >> 8) & 0xff) - int((q >> 8) & 0xff);
        int db = int(p & 0xff) - int(q & 0xff);
        int d = dr * dr + dg * dg + db * db;
        if (d < best_distance) best_distance = d, best = i;
        if (d == 0) break;
    }
    return best;
}

}  // namespace

std::optional<DibFormat> parse_dib(const BITMAPINFO* bmi, UINT usage) {
    if (!bmi || usage != DIB_RGB_COLORS) return std::nullopt;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == std::numeric_limits<LONG>::min() || h.biPlanes != 1)
        return std::nullopt;
    DibFormat f;
    f.width = h.biWidth;
    f.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    f.top_down = h.biHeight < 0;
    f.bits = h.biBitCount;
    if (std::int64_t(f.width) * f.height > (std::int64_t(1) << 28)) return std::nullopt;
    f.stride = ((std::size_t(f.width) * std::size_t(f.bits) + 31) / 32) * 4;
    const auto* extra = reinterpret_cast<const std::uint8_t*>(bmi) + h.biSize;
    switch (f.bits) {
        case 1:
        case 4:
        case 8: {
            if (h.biCompression != BI_RGB) return std::nullopt;
            int max = 1 << f.bits;
            f.palette_size = h.biClrUsed && int(h.biClrUsed) < max ? int(h.biClrUsed) : max;
            for (int i = 0; i < f.palette_size; ++i) {
                RGBQUAD q;
                std::memcpy(&q, extra + 4 * i, 4);
                f.palette[std::size_t(i)] =
                    (std::uint32_t(q.rgbRed) << 16) | (q.rgbGreen << 8) | q.rgbBlue;
            }
            break;
        }
        case 16:
        case 32:
            if (h.biCompression == BI_BITFIELDS) {
                std::memcpy(f.masks, extra, sizeof f.masks);
                if (!f.masks[0] || !f.masks[1] || !f.masks[2]) return std::nullopt;
                std::uint32_t plain16[3] = {0x7c00, 0x03e0, 0x001f};
                std::uint32_t plain32[3] = {0xff0000, 0x00ff00, 0x0000ff};
                f.plain =
                    std::memcmp(f.masks, f.bits == 16 ? plain16 : plain32, sizeof f.masks) == 0;
            } else if (h.biCompression == BI_RGB) {
                if (f.bits == 16) {
                    f.masks[0] = 0x7c00, f.masks[1] = 0x03e0, f.masks[2] = 0x001f;
                } else {
                    f.masks[0] = 0xff0000, f.masks[1] = 0x00ff00, f.masks[2] = 0x0000ff;
                }
            } else {
                return std::nullopt;
            }
            break;
        case 24:
            if (h.biCompression != BI_RGB) return std::nullopt;
            break;
        default:
            return std::nullopt;
    }
    return f;
}

void decode_row(const DibFormat& f, const std::uint8_t* row, int x0, int count,
                std::uint32_t* out) {
    switch (f.bits) {
        case 1:
        case 4:
        case 8: {
            int per_byte = 8 / f.bits;
            std::uint32_t mask = (1u << f.bits) - 1;
            for (int i = 0; i < count; ++i) {
                int x = x0 + i;
                int shift = 8 - f.bits * (x % per_byte + 1);
                std::uint32_t index = (row[x / per_byte] >> shift) & mask;
                out[i] = int(index) < f.palette_size ? f.palette[index] : 0;
            }
            break;
        }
        case 16: {
            Channel r = channel(f.masks[0]), g = channel(f.masks[1]), b = channel(f.masks[2]);
            for (int i = 0; i < count; ++i) {
                std::uint32_t v = row[2 * (x0 + i)] | (row[2 * (x0 + i) + 1] << 8);
                out[i] = (extract(v, r) << 16) | (extract(v, g) << 8) | extract(v, b);
            }
            break;
        }
        case 24: {
            const std::uint8_t* p = row + 3 * std::size_t(x0);
            for (int i = 0; i < count; ++i, p += 3)
                out[i] = p[0] | (p[1] << 8) | (std::uint32_t(p[2]) << 16);
            break;
        }
        case 32: {
            const std::uint8_t* p = row + 4 * std::size_t(x0);
            if (f.plain) {
                for (int i = 0; i < count; ++i, p += 4)
                    out[i] = p[0] | (p[1] << 8) | (std::uint32_t(p[2]) << 16);
            } else {
                Channel r = channel(f.masks[0]), g = channel(f.masks[1]), b = channel(f.masks[2]);
                for (int i = 0; i < count; ++i, p += 4) {
                    std::uint32_t v;
                    std::memcpy(&v, p, 4);
                    out[i] = (extract(v, r) << 16) | (extract(v, g) << 8) | extract(v, b);
                }
            }
            break;
        }
        default:
            break;
    }
}

void encode_row(const DibFormat& f, const std::uint32_t* in, int count, std::uint8_t* row) {
    switch (f.bits) {
        case 1:
        case 4:
        case 8: {
            int per_byte = 8 / f.bits;
            std::memset(row, 0, (std::size_t(count) * f.bits + 7) / 8);
            for (int x = 0; x < count; ++x) {
                int shift = 8 - f.bits * (x % per_byte + 1);
                row[x / per_byte] |= std::uint8_t(nearest_palette_index(f, in[x]) << shift);
            }
            break;
        }
        case 16: {
            Channel r = channel(f.masks[0]), g = channel(f.masks[1]), b = channel(f.masks[2]);
            for (int x = 0; x < count; ++x) {
                std::uint32_t p = in[x];
                std::uint32_t v =
                    insert((p >> 16) & 0xff, r) | insert((p >> 8) & 0xff, g) | insert(p & 0xff, b);
                row[2 * x] = std::uint8_t(v);
                row[2 * x + 1] = std::uint8_t(v >> 8);
            }
            break;
        }
        case 24:
            for (int x = 0; x < count; ++x) {
                row[3 * x] = std::uint8_t(in[x]);
                row[3 * x + 1] = std::uint8_t(in[x] >> 8);
                row[3 * x + 2] = std::uint8_t(in[x] >> 16);
            }
            break;
        case 32:
            if (f.plain) {
                std::memcpy(row, in, 4 * std::size_t(count));
            } else {
                Channel r = channel(f.masks[0]), g = channel(f.masks[1]), b = channel(f.masks[2]);
                for (int x = 0; x < count; ++x) {
                    std::uint32_t p = in[x];
                    std::uint32_t v = insert((p >> 16) & 0xff, r) | insert((p >> 8) & 0xff, g) |
                                      insert(p & 0xff, b);
                    std::memcpy(row + 4 * x, &v, 4);
                }
            }
            break;
        default:
            break;
    }
}

}  // namespace win::gdi
