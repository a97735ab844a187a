// Audio decompression to PCM: a stream's bytes in (in whatever pieces the file
// holds them), PCM in the wanted rate, channels and bits out.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "mmreg.h"
#include "vfw/codec/codec_result.h"

namespace vfw::codec {

class AudioDecoder {
  public:
    // `format` is the stream's whole format record (WAVEFORMATEX and its extra bytes).
    // `output` must be PCM at 8 or 16 bits, any rate and 1..8 channels; null keeps the
    // stream's rate and channels at 16 bits (8 for 8-bit PCM).
    static Result<std::unique_ptr<AudioDecoder>> open(std::span<const std::uint8_t> format,
                                                      const WAVEFORMATEX* output = nullptr);
    static bool can_decode(std::span<const std::uint8_t> format);
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    const WAVEFORMATEX& output_format() const { return output_; }

    // Appends the PCM that `data` completes to `pcm`. Incomplete blocks and frames wait
    // for the next call.
    Status decode(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& pcm);
    // Appends everything still held back (end of stream).
    Status finish(std::vector<std::uint8_t>& pcm);
    // Forgets held-back data, e.g. before reading from another position.
    void reset();

  private:
    struct State;
    AudioDecoder(std::unique_ptr<State> state, const WAVEFORMATEX& output);
    Status send(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& pcm);
    Status receive(std::vector<std::uint8_t>& pcm);
    Status append(const std::uint8_t* const* planes, int count, std::vector<std::uint8_t>& pcm);

    std::unique_ptr<State> state_;
    WAVEFORMATEX output_;
};

}  // namespace vfw::codec
