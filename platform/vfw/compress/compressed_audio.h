// An audio stream whose samples are another stream's sound decoded and
// encoded again in the chosen format (rate and channels converted on the
// way). Its samples are the output format's blocks. The length is an
// estimate from the source's duration until the encoding reaches the end.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vfw/avifile/stream_handler.h"
#include "vfw/codec/audio_decoder.h"
#include "vfw/codec/audio_encoder.h"

namespace vfw::compress {

class CompressedAudio final : public StreamHandler {
  public:
    // Errors as for CompressedVideo::open; lpFormat (at least a PCMWAVEFORMAT)
    // names the target, null keeps the source's rate and channels as 16-bit PCM.
    [[nodiscard]] static HRESULT open(PAVISTREAM source, const AVICOMPRESSOPTIONS& options,
                                      std::unique_ptr<CompressedAudio>& out);
    ~CompressedAudio() override;

    const AVISTREAMINFOA& info() override { return info_; }
    const std::vector<std::uint8_t>& format() override { return encoder_->output_format(); }
    HRESULT read(LONG start, LONG samples, LPVOID buffer, LONG cb, LONG* bytes,
                 LONG* samples_read) override;
    LONG find_sample(LONG pos, LONG flags) override;

  private:
    CompressedAudio() = default;
    HRESULT restart();
    // Encodes until `bytes` bytes past the start are held or the sound ends.
    [[nodiscard]] bool produce(std::uint64_t bytes);
    [[nodiscard]] bool pull_source();

    PAVISTREAM source_ = nullptr;  // one reference held
    std::vector<std::uint8_t> source_format_;
    std::uint32_t source_sample_size_ = 0;
    LONG source_length_ = 0;
    LONG source_pos_ = 0;
    WAVEFORMATEX target_{};
    std::unique_ptr<codec::AudioDecoder> decoder_;
    std::unique_ptr<codec::AudioEncoder> encoder_;
    AVISTREAMINFOA info_{};
    std::uint32_t block_ = 1;
    std::uint64_t base_ = 0;  // output bytes already dropped from held_
    std::vector<std::uint8_t> held_;
    std::vector<std::uint8_t> chunk_, pcm_;
    bool ended_ = false;
};

}  // namespace vfw::compress
