// The frame decompressor: the picture shown at any sample position of a video
// stream, as a packed DIB in the uncompressed format the caller asked for.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "vfw/codec/codec_result.h"
#include "vfw/codec/frame_cache.h"
#include "vfw/codec/packet_source.h"
#include "wingdi.h"

namespace vfw::codec {

class PictureSource;
class DibWriter;

class FrameDecoder {
  public:
    // `format` is the stream's whole format record (BITMAPINFOHEADER, colour table and
    // codec data, as stored in the file). `wanted` is the output: BI_RGB at 8, 16, 24 or
    // 32 bits, any size (pictures are scaled), bottom-up unless its height is negative;
    // null asks for 24 bits at the stream's size. `handler` (the stream's fccHandler)
    // is consulted when biCompression names no known codec. The source must outlive
    // the decoder.
    static Result<std::unique_ptr<FrameDecoder>> open(PacketSource& source,
                                                      std::span<const std::uint8_t> format,
                                                      const BITMAPINFOHEADER* wanted = nullptr,
                                                      std::uint32_t handler = 0);
    // Whether open() would find a decoder for this format record.
    static bool can_decode(std::span<const std::uint8_t> format, std::uint32_t handler = 0);

    ~FrameDecoder();
    FrameDecoder(const FrameDecoder&) = delete;
    FrameDecoder& operator=(const FrameDecoder&) = delete;

    // The packed DIB (header, colour table at 8 bits, rows) shown at sample n; a dropped
    // (empty) sample shows the frame before it. Owned by the decoder and valid until the
    // next call; null on failure, with the reason in last_error().
    const BITMAPINFOHEADER* frame(std::int64_t n);
    // Bytes of the packed DIB frame() returns.
    std::size_t frame_size() const;
    const BITMAPINFOHEADER& output_format() const;
    const std::optional<Error>& last_error() const { return last_error_; }

    // Samples handed to a codec so far (0 for uncompressed streams).
    std::int64_t samples_decoded() const;

    // Frames delivered are kept, the least recently shown dropped first, so that
    // stepping back over them decodes nothing. Bounded by bytes, not frames, so
    // large and small pictures alike get a sensible depth.
    static constexpr std::size_t kDefaultCacheBytes = 64u << 20;
    void set_cache_limit(std::size_t bytes);
    std::size_t cache_bytes() const { return cache_.bytes(); }

  private:
    FrameDecoder(PacketSource& source, std::unique_ptr<PictureSource> pictures,
                 const BITMAPINFOHEADER& output, std::uint32_t colours);
    Error fail(Error error);
    const BITMAPINFOHEADER* show(std::int64_t position, std::uint8_t* dib);

    FrameCache cache_{kDefaultCacheBytes};
    std::vector<std::uint8_t> uncached_;  // the DIB, when the cache cannot hold one

    PacketSource& source_;
    std::unique_ptr<PictureSource> pictures_;
    std::unique_ptr<DibWriter> writer_;
    std::int64_t shown_ = -1;  // position of the DIB last handed out
    const BITMAPINFOHEADER* shown_dib_ = nullptr;
    std::optional<Error> last_error_;
};

}  // namespace vfw::codec
