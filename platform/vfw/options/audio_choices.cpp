#include "vfw/options/audio_choices.h"

#include "vfw/codec/audio_encoder.h"
#include "vfw/codec/wave_format.h"

namespace vfw::options {

std::string with_thousands(std::uint32_t value) {
    const std::string digits = std::to_string(value);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

namespace {

std::string describe(const codec::AudioFormatInfo& format, const WAVEFORMATEX& out,
                     std::uint32_t bit_rate) {
    const std::string channels = out.nChannels == 1   ? "Mono"
                                 : out.nChannels == 2 ? "Stereo"
                                                      : std::to_string(out.nChannels) + " Channels";
    std::string text;
    if (!format.bit_rates.empty())
        text = std::to_string(bit_rate / 1000) + " kBit/s, " + with_thousands(out.nSamplesPerSec) +
               " Hz, " + channels;
    else
        text = with_thousands(out.nSamplesPerSec) + " Hz, " + std::to_string(out.wBitsPerSample) +
               " Bit, " + channels;
    return text + "  " + std::to_string((out.nAvgBytesPerSec + 512) / 1024) + " KB/s";
}

}  // namespace

std::vector<AudioChoice> audio_choices(const codec::AudioFormatInfo& format) {
    std::vector<AudioChoice> out;
    const WAVEFORMATEX input = codec::make_pcm_format(44100, 2, 16);
    const std::vector<std::uint16_t> no_bits = {0};
    const std::vector<std::uint32_t> no_rates = {0};
    const auto& bits = format.bits.empty() ? no_bits : format.bits;
    const auto& bit_rates = format.bit_rates.empty() ? no_rates : format.bit_rates;
    for (std::uint32_t rate : format.rates)
        for (std::uint16_t b : bits)
            for (std::uint16_t ch : format.channels)
                for (std::uint32_t bit_rate : bit_rates) {
                    WAVEFORMATEX target{};
                    target.wFormatTag = format.tag;
                    target.nChannels = ch;
                    target.nSamplesPerSec = rate;
                    target.wBitsPerSample = b;
                    target.nAvgBytesPerSec = bit_rate / 8;
                    if (format.tag == WAVE_FORMAT_PCM) target = codec::make_pcm_format(rate, ch, b);
                    auto encoder = codec::AudioEncoder::open(input, target);
                    if (!encoder) continue;
                    AudioChoice choice;
                    choice.format = encoder.value()->output_format();
                    choice.text = describe(format, choice.header(), bit_rate);
                    out.push_back(std::move(choice));
                }
    return out;
}

}  // namespace vfw::options
