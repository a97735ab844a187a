#include "vfw/avifile/palette_history.h"

#include <algorithm>
#include <cstring>

namespace vfw {

PaletteHistory::PaletteHistory(const riff::AviReader& reader, const riff::StreamData& stream)
    : reader_(reader), changes_(stream.palette_changes) {
    const std::vector<std::uint8_t>& format = stream.format;
    if (format.size() < sizeof(BITMAPINFOHEADER)) return;
    BITMAPINFOHEADER h;
    std::memcpy(&h, format.data(), sizeof h);
    if (h.biBitCount > 8 || h.biSize < sizeof h || h.biSize > format.size()) return;
    std::size_t count = h.biClrUsed ? h.biClrUsed : std::size_t(1) << h.biBitCount;
    count = std::min({count, std::size_t(256), (format.size() - h.biSize) / 4});
    initial_.resize(count);
    if (count) std::memcpy(initial_.data(), format.data() + h.biSize, count * 4);
    current_ = initial_;
}

const std::vector<RGBQUAD>& PaletteHistory::at(std::int64_t pos) {
    const auto in_force = [&](const riff::PaletteChange& c) { return std::int64_t(c.from) <= pos; };
    std::size_t wanted = 0;
    while (wanted < changes_.size() && in_force(changes_[wanted])) ++wanted;
    if (wanted < applied_) {  // stepped back past a change: replay from the start
        current_ = initial_;
        applied_ = 0;
    }
    for (; applied_ < wanted; ++applied_) apply(changes_[applied_]);
    return current_;
}

// AVIPALCHANGE: first entry, entry count (0 for 256), flags, then PALETTEENTRY
// (red, green, blue, flags) for each. A change that cannot be read changes nothing.
void PaletteHistory::apply(const riff::PaletteChange& change) {
    bytes_.resize(change.size);
    if (!riff::ok(reader_.read_chunk({change.offset, change.size, 0}, bytes_.data()))) return;
    const std::size_t first = bytes_[0];
    std::size_t count = bytes_[1] ? bytes_[1] : 256;
    count = std::min({count, 256 - first, (bytes_.size() - 4) / 4});
    if (current_.size() < first + count) current_.resize(first + count, RGBQUAD{0, 0, 0, 0});
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = &bytes_[4 + 4 * i];
        current_[first + i] = RGBQUAD{e[2], e[1], e[0], 0};
    }
}

}  // namespace vfw
