// The palette of an 8-bit video stream at each of its positions: the format's
// colour table, changed by the stream's ##pc chunks as they come.
#pragma once

#include <cstdint>
#include <vector>

#include "vfw/riff/avi_reader.h"
#include "wingdi.h"

namespace vfw {

class PaletteHistory {
  public:
    PaletteHistory(const riff::AviReader& reader, const riff::StreamData& stream);

    bool has_changes() const { return !changes_.empty(); }
    // The palette in force at sample pos.
    const std::vector<RGBQUAD>& at(std::int64_t pos);

  private:
    void apply(const riff::PaletteChange& change);

    const riff::AviReader& reader_;
    const std::vector<riff::PaletteChange>& changes_;
    std::vector<RGBQUAD> initial_;
    std::vector<RGBQUAD> current_;
    std::size_t applied_ = 0;  // changes in current_, in file order
    std::vector<std::uint8_t> bytes_;
};

}  // namespace vfw
