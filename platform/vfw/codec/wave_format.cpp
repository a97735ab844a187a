#include "vfw/codec/wave_format.h"

#include <cstring>
#include <string>

namespace vfw::codec {

Result<WaveFormat> parse_wave_format(std::span<const std::uint8_t> bytes) {
    WaveFormat format;
    if (bytes.size() < sizeof(PCMWAVEFORMAT))
        return make_error(ErrorCode::BadFormat, "audio format shorter than PCMWAVEFORMAT");
    std::memcpy(&format.header, bytes.data(), std::min(bytes.size(), sizeof(WAVEFORMATEX)));
    WAVEFORMATEX& h = format.header;
    if (bytes.size() < sizeof(WAVEFORMATEX)) {
        h.cbSize = 0;
    } else {
        // Trust neither cbSize nor the chunk: keep what both agree exists.
        const std::size_t available = bytes.size() - sizeof(WAVEFORMATEX);
        const std::size_t extra = std::min<std::size_t>(h.cbSize, available);
        format.extra.assign(bytes.begin() + sizeof(WAVEFORMATEX),
                            bytes.begin() + std::ptrdiff_t(sizeof(WAVEFORMATEX) + extra));
        h.cbSize = WORD(extra);
    }
    if (h.nChannels == 0 || h.nChannels > 8)
        return make_error(ErrorCode::BadFormat, "channel count " + std::to_string(h.nChannels));
    if (h.nSamplesPerSec == 0 || h.nSamplesPerSec > 768000)
        return make_error(ErrorCode::BadFormat, "sample rate " + std::to_string(h.nSamplesPerSec));
    if (h.wFormatTag == WAVE_FORMAT_PCM || h.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) {
        const unsigned bits = h.wBitsPerSample;
        const bool ok = h.wFormatTag == WAVE_FORMAT_PCM
                            ? (bits == 8 || bits == 16 || bits == 24 || bits == 32)
                            : (bits == 32 || bits == 64);
        if (!ok)
            return make_error(ErrorCode::Unsupported, "PCM with " + std::to_string(bits) + " bits");
        if (h.nBlockAlign != h.nChannels * bits / 8)
            return make_error(ErrorCode::BadFormat, "PCM block size does not match");
    }
    return format;
}

std::vector<std::uint8_t> wave_format_bytes(const WAVEFORMATEX& header,
                                            std::span<const std::uint8_t> extra) {
    WAVEFORMATEX h = header;
    h.cbSize = WORD(extra.size());
    std::vector<std::uint8_t> bytes(sizeof h + extra.size());
    std::memcpy(bytes.data(), &h, sizeof h);
    if (!extra.empty()) std::memcpy(bytes.data() + sizeof h, extra.data(), extra.size());
    return bytes;
}

WAVEFORMATEX make_pcm_format(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits) {
    WAVEFORMATEX h{};
    h.wFormatTag = WAVE_FORMAT_PCM;
    h.nChannels = channels;
    h.nSamplesPerSec = rate;
    h.nBlockAlign = WORD(channels * bits / 8);
    h.nAvgBytesPerSec = rate * h.nBlockAlign;
    h.wBitsPerSample = bits;
    return h;
}

}  // namespace vfw::codec
