// Audio compression from PCM, with resampling and re-channelling on the way in.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "mmreg.h"
#include "vfw/codec/codec_result.h"
#include "vfw/codec/encoded_packet.h"

namespace vfw::codec {

class AudioEncoder {
  public:
    // `input`: 8- or 16-bit PCM. `target`: a format from audio_formats(): its tag, rate and
    // channels; wBitsPerSample for PCM; nAvgBytesPerSec * 8 is the bit rate for MP3 and
    // AC-3 (0 picks a usual one). Fails when the codec refuses the combination.
    static Result<std::unique_ptr<AudioEncoder>> open(const WAVEFORMATEX& input,
                                                      const WAVEFORMATEX& target);
    ~AudioEncoder();
    AudioEncoder(const AudioEncoder&) = delete;
    AudioEncoder& operator=(const AudioEncoder&) = delete;

    // The stream format to store: WAVEFORMATEX and its extra bytes.
    const std::vector<std::uint8_t>& output_format() const { return format_; }
    const WAVEFORMATEX& output_header() const {
        return *reinterpret_cast<const WAVEFORMATEX*>(format_.data());
    }
    // Sample frames in each packet (the last may hold fewer); 0 when packets hold any number.
    std::uint32_t samples_per_packet() const { return samples_per_packet_; }

    // Whole input blocks of PCM; the packets that became ready are appended to `out`.
    Status encode(std::span<const std::uint8_t> pcm, std::vector<EncodedPacket>& out);
    // End of stream: what the encoder still holds.
    Status finish(std::vector<EncodedPacket>& out);

  private:
    struct State;
    explicit AudioEncoder(std::unique_ptr<State> state);
    Status drain_fifo(bool final, std::vector<EncodedPacket>& out);
    Status pass_on(int frames, bool final, std::vector<EncodedPacket>& out);
    Status collect(std::vector<EncodedPacket>& out);

    std::unique_ptr<State> state_;
    std::vector<std::uint8_t> format_;
    std::uint32_t samples_per_packet_ = 0;
};

}  // namespace vfw::codec
