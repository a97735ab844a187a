// Frames for AVIStreamGetFrame, compressed or not: the stream's samples handed
// to the codec layer as packets, frames delivered as the caller asked.
#include "vfw/avifile/codec_decompressor.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "vfw.h"
#include "vfw/codec/frame_decoder.h"
#include "vfw/codec/packet_source.h"

namespace vfw {

namespace {

// Sizes come from the index; each sample's bytes are read once, when the
// decoder takes them.
class SamplePackets final : public codec::PacketSource {
  public:
    explicit SamplePackets(std::unique_ptr<SampleSource> source) : source_(std::move(source)) {}

    std::int64_t sample_count() const override { return source_->sample_count(); }
    std::int64_t sample_size(std::int64_t n) const override {
        return n >= 0 && n < sample_count() ? source_->size(std::int32_t(n)) : -1;
    }
    bool is_key_frame(std::int64_t n) const override {
        return n >= 0 && n < sample_count() && source_->is_key(std::int32_t(n));
    }
    codec::Status read_sample(std::int64_t n, std::vector<std::uint8_t>& out) override {
        if (n < 0 || n >= sample_count() || !source_->read(std::int32_t(n), out))
            return codec::make_error(codec::ErrorCode::ReadFailed,
                                     "sample " + std::to_string(n) + " unreadable");
        return codec::Status::ok();
    }

    const std::vector<RGBQUAD>* palette_at(std::int64_t n) override {
        return n >= 0 && n < sample_count() ? source_->palette_at(std::int32_t(n)) : nullptr;
    }

  private:
    std::unique_ptr<SampleSource> source_;
};

class CodecDecompressor final : public FrameDecompressor {
  public:
    CodecDecompressor(std::unique_ptr<SamplePackets> packets,
                      std::unique_ptr<codec::FrameDecoder> decoder)
        : packets_(std::move(packets)), decoder_(std::move(decoder)) {}

    const BITMAPINFOHEADER* frame(std::int32_t pos) override { return decoder_->frame(pos); }

  private:
    std::unique_ptr<SamplePackets> packets_;  // outlives the decoder that reads it
    std::unique_ptr<codec::FrameDecoder> decoder_;
};

}  // namespace

std::unique_ptr<FrameDecompressor> open_codec_decompressor(std::unique_ptr<SampleSource> source,
                                                           const BITMAPINFOHEADER* wanted) {
    const std::vector<std::uint8_t>& format = source->format();
    const std::uint32_t handler = source->handler();
    if (format.size() < sizeof(BITMAPINFOHEADER) ||
        !codec::FrameDecoder::can_decode(format, handler))
        return nullptr;
    BITMAPINFOHEADER stream;
    std::memcpy(&stream, format.data(), sizeof stream);
    const std::int32_t width = stream.biWidth;
    const std::int32_t height = stream.biHeight < 0 ? -stream.biHeight : stream.biHeight;
    const bool uncompressed =
        stream.biCompression == BI_RGB || stream.biCompression == BI_BITFIELDS;

    // Zero fields of a request mean "as the stream has it"; the best display
    // format is 32 bits. Uncompressed streams default to their own depth.
    BITMAPINFOHEADER out{};
    if (wanted == nullptr) {
        const WORD bits = !uncompressed ? 24 : stream.biBitCount <= 8 ? 8 : stream.biBitCount;
        out = BITMAPINFOHEADER{sizeof out, width, height, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
    } else if (reinterpret_cast<std::uintptr_t>(wanted) == AVIGETFRAMEF_BESTDISPLAYFMT) {
        out = BITMAPINFOHEADER{sizeof out, width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    } else {
        if (wanted->biCompression != BI_RGB) return nullptr;
        out = *wanted;
        out.biSize = sizeof out;
        if (out.biWidth == 0) out.biWidth = width;
        if (out.biHeight == 0) out.biHeight = height;
        if (out.biBitCount == 0) out.biBitCount = 24;
        out.biPlanes = 1;
        out.biSizeImage = 0;
    }

    auto packets = std::make_unique<SamplePackets>(std::move(source));
    auto decoder = codec::FrameDecoder::open(*packets, format, &out, handler);
    if (!decoder) return nullptr;
    return std::make_unique<CodecDecompressor>(std::move(packets), decoder.take());
}

std::unique_ptr<FrameDecompressor> make_frame_decompressor(std::unique_ptr<SampleSource> source,
                                                           const BITMAPINFOHEADER* wanted) {
    return open_codec_decompressor(std::move(source), wanted);
}

}  // namespace vfw
