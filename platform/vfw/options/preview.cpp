#include "vfw/options/preview.h"

#include <cstdlib>
#include <cstring>

#include "vfw/codec/frame_decoder.h"
#include "vfw/codec/packet_source.h"

namespace vfw::options {

namespace {

// The one encoded picture as a stream of one key sample.
class OnePacket final : public codec::PacketSource {
  public:
    explicit OnePacket(std::vector<std::uint8_t> data) : data_(std::move(data)) {}
    std::int64_t sample_count() const override { return 1; }
    std::int64_t sample_size(std::int64_t n) const override {
        return n == 0 ? std::int64_t(data_.size()) : -1;
    }
    bool is_key_frame(std::int64_t n) const override { return n == 0; }
    codec::Status read_sample(std::int64_t n, std::vector<std::uint8_t>& out) override {
        if (n != 0) return codec::make_error(codec::ErrorCode::OutOfRange, "one sample only");
        out = data_;
        return codec::Status::ok();
    }

  private:
    std::vector<std::uint8_t> data_;
};

}  // namespace

Preview make_preview(const BITMAPINFOHEADER& frame, const codec::VideoEncoderSettings& settings) {
    Preview out;
    auto encoder = codec::VideoEncoder::open(frame, settings);
    if (!encoder) return out;
    auto first = encoder.value()->encode(&frame);
    if (!first) return out;
    std::vector<codec::EncodedPacket> packets = first.take();
    if (packets.empty()) {
        auto rest = encoder.value()->finish();
        if (!rest) return out;
        packets = rest.take();
    }
    if (packets.empty()) return out;
    out.compressed_bytes = packets.front().data.size();
    OnePacket source(std::move(packets.front().data));
    const BITMAPINFOHEADER want{
        sizeof want, frame.biWidth, std::abs(frame.biHeight), 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    auto decoder = codec::FrameDecoder::open(source, encoder.value()->output_format(), &want);
    if (!decoder) return out;
    const BITMAPINFOHEADER* picture = decoder.value()->frame(0);
    if (!picture) return out;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(picture);
    out.dib.assign(bytes, bytes + decoder.value()->frame_size());
    return out;
}

}  // namespace vfw::options
