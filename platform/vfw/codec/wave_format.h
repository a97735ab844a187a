// Audio format records: reading a stream's WAVEFORMATEX (with its extra bytes) and
// making the ones we write.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "mmreg.h"
#include "vfw/codec/codec_result.h"

namespace vfw::codec {

struct WaveFormat {
    WAVEFORMATEX header{};
    std::vector<std::uint8_t> extra;  // the cbSize bytes after the record
};

// Accepts the 16-byte PCMWAVEFORMAT that many files carry for PCM; checks sizes and
// that rate, channels and block size are usable.
Result<WaveFormat> parse_wave_format(std::span<const std::uint8_t> bytes);

// The record and its extra bytes as stored in a file (cbSize set from `extra`).
std::vector<std::uint8_t> wave_format_bytes(const WAVEFORMATEX& header,
                                            std::span<const std::uint8_t> extra = {});

WAVEFORMATEX make_pcm_format(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits);

}  // namespace vfw::codec
