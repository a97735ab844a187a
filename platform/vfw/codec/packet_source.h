// Where a decoder gets a stream's samples from. The AVI layer implements it over
// its index; tests implement it over packets demuxed by other tools.
#pragma once

#include <cstdint>
#include <vector>

#include "vfw/codec/codec_result.h"
#include "wingdi.h"

namespace vfw::codec {

class PacketSource {
  public:
    virtual ~PacketSource() = default;

    virtual std::int64_t sample_count() const = 0;
    // Bytes of sample n; 0 for a dropped frame, negative when n has no sample.
    virtual std::int64_t sample_size(std::int64_t n) const = 0;
    virtual bool is_key_frame(std::int64_t n) const = 0;
    // Replaces `out` with the bytes of sample n.
    [[nodiscard]] virtual Status read_sample(std::int64_t n, std::vector<std::uint8_t>& out) = 0;
    // The colour table in force at sample n where the stream changes its palette;
    // null when it never does.
    virtual const std::vector<RGBQUAD>* palette_at(std::int64_t) { return nullptr; }

    // Nearest key frame at or before n, or -1. Sources with an index of key frames
    // can answer faster than this scan.
    virtual std::int64_t key_frame_at_or_before(std::int64_t n) const {
        for (std::int64_t i = n; i >= 0; --i)
            if (is_key_frame(i)) return i;
        return -1;
    }
};

}  // namespace vfw::codec
