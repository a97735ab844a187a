// The attribute lists of the "Sound Selection" dialog: every rate, channel
// count and bits or bit rate of a format that its encoder accepts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mmreg.h"
#include "vfw/codec/codec_catalog.h"

namespace vfw::options {

struct AudioChoice {
    std::string text;                  // as listed, e.g. "22,050 Hz, 16 Bit, Stereo  86 KB/s"
    std::vector<std::uint8_t> format;  // the WAVEFORMATEX (and extra bytes) the encoder writes
    const WAVEFORMATEX& header() const {
        return *reinterpret_cast<const WAVEFORMATEX*>(format.data());
    }
};

// Only combinations the encoder opens with are listed.
std::vector<AudioChoice> audio_choices(const codec::AudioFormatInfo& format);

// "44,100" for 44100.
std::string with_thousands(std::uint32_t value);

}  // namespace vfw::options
