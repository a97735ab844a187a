// Whether a sample can start decoding, read from its own bitstream: for indexes
// rebuilt from the chunks, which do not say.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "wingdi.h"

namespace vfw::codec {

// True for a key sample, false for one that needs the samples before it, nothing
// when the stream's codec gives no way to tell (all of its samples count as key).
// `handler` is the stream's fccHandler, used when biCompression names no codec.
std::optional<bool> sample_is_key(const BITMAPINFOHEADER& format, std::uint32_t handler,
                                  const std::vector<std::uint8_t>& sample);

// Bytes of a sample's start that sample_is_key needs; 0 when it needs the whole sample.
std::size_t key_test_bytes(const BITMAPINFOHEADER& format, std::uint32_t handler);

}  // namespace vfw::codec
