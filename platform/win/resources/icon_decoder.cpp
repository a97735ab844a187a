#include "win/resources/icon_decoder.h"

#include <cstdlib>

namespace win::res {

namespace {

constexpr std::size_t dir_size = 6;
constexpr std::size_t entry_size = 16;

std::uint16_t u16(std::span<const std::uint8_t> d, std::size_t at) {
    return std::uint16_t(d[at] | d[at + 1] << 8);
}
std::uint32_t u32(std::span<const std::uint8_t> d, std::size_t at) {
    return std::uint32_t(u16(d, at)) | std::uint32_t(u16(d, at + 2)) << 16;
}

IconResult fail(DibError e) {
    IconResult r;
    r.error = e;
    return r;
}

}  // namespace

int icon_image_count(std::span<const std::uint8_t> file) {
    if (file.size() < dir_size || u16(file, 0) != 0 || u16(file, 2) != 1) return -1;
    std::size_t count = u16(file, 4);
    if (count == 0 || file.size() - dir_size < count * entry_size) return -1;
    return int(count);
}

IconResult decode_icon(std::span<const std::uint8_t> file, int size) {
    int count = icon_image_count(file);
    if (count < 0) return fail(file.size() < dir_size ? DibError::truncated : DibError::bad_header);

    int best = -1, best_distance = 0, best_bits = 0;
    for (int i = 0; i < count; ++i) {
        std::size_t e = dir_size + std::size_t(i) * entry_size;
        int w = file[e] ? file[e] : 256;
        int bits = u16(file, e + 6);
        int distance = std::abs(w - size);
        if (best < 0 || distance < best_distance ||
            (distance == best_distance && bits > best_bits)) {
            best = i;
            best_distance = distance;
            best_bits = bits;
        }
    }
    std::size_t e = dir_size + std::size_t(best) * entry_size;
    std::uint32_t bytes = u32(file, e + 8);
    std::uint32_t offset = u32(file, e + 12);
    if (offset > file.size() || bytes > file.size() - offset) return fail(DibError::truncated);
    std::span<const std::uint8_t> dib = file.subspan(offset, bytes);
    if (dib.size() >= 4 && dib[0] == 0x89 && dib[1] == 'P') return fail(DibError::compressed);

    std::vector<std::uint8_t> mask;
    DibResult d = decode_packed_dib(dib, 2, &mask);
    if (!d.ok()) return fail(d.error);

    IconResult r;
    r.image.width = d.image.width;
    r.image.height = d.image.height;
    r.image.bit_count = d.image.bit_count;
    r.image.pixels = std::move(d.image.pixels);
    bool has_alpha = false;
    for (std::uint8_t a : d.image.alpha) has_alpha |= a != 0;
    if (has_alpha) {
        r.image.alpha = std::move(d.image.alpha);
    } else {
        r.image.alpha.resize(mask.size());
        for (std::size_t i = 0; i < mask.size(); ++i) r.image.alpha[i] = mask[i] ? 0 : 255;
    }
    return r;
}

}  // namespace win::res
