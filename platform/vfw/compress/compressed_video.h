// A video stream whose samples are another stream's frames re-encoded with
// the chosen compressor. Samples come out in order as they are asked for;
// asking for an earlier one starts the encoding again from the first frame.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "vfw/avifile/stream_handler.h"
#include "vfw/codec/encoded_packet.h"
#include "vfw/codec/video_encoder.h"

namespace vfw::compress {

class CompressedVideo final : public StreamHandler {
  public:
    // AVIERR_NOCOMPRESSOR for a compressor this layer does not have,
    // AVIERR_UNSUPPORTED when it refuses the settings or the source cannot be decoded.
    [[nodiscard]] static HRESULT open(PAVISTREAM source, const AVICOMPRESSOPTIONS& options,
                                      std::unique_ptr<CompressedVideo>& out);
    ~CompressedVideo() override;

    const AVISTREAMINFOA& info() override { return info_; }
    const std::vector<std::uint8_t>& format() override { return encoder_->output_format(); }
    HRESULT read(LONG start, LONG samples, LPVOID buffer, LONG cb, LONG* bytes,
                 LONG* samples_read) override;
    LONG find_sample(LONG pos, LONG flags) override;

  private:
    CompressedVideo() = default;
    HRESULT restart();
    // Encodes until sample pos is held (or the stream ends); false on failure.
    [[nodiscard]] bool produce(std::int64_t pos);

    PAVISTREAM source_ = nullptr;  // one reference held
    PGETFRAME frames_ = nullptr;
    BITMAPINFOHEADER input_{};
    codec::VideoEncoderSettings settings_;
    std::unique_ptr<codec::VideoEncoder> encoder_;
    AVISTREAMINFOA info_{};
    std::int64_t fed_ = 0;  // source frames handed to the encoder
    bool flushed_ = false;
    std::int64_t first_held_ = 0;  // position of held_.front()
    std::deque<codec::EncodedPacket> held_;
    std::vector<bool> keys_;  // key flags of every sample produced so far
};

}  // namespace vfw::compress
