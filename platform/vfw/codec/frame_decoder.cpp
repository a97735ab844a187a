#include "vfw/codec/frame_decoder.h"

#include <cstdlib>
#include <exception>
#include <string>

#include "vfw/codec/dib_layout.h"
#include "vfw/codec/dib_writer.h"
#include "vfw/codec/format_tags.h"
#include "vfw/codec/guarded.h"
#include "vfw/codec/libav_log.h"
#include "vfw/codec/libav_video_source.h"
#include "vfw/codec/raw_dib_source.h"

namespace vfw::codec {

namespace {

bool is_plain_dib(const BITMAPINFOHEADER& h) {
    return h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS;
}

AVCodecID codec_for(const BITMAPINFOHEADER& h, std::uint32_t handler) {
    AVCodecID id = video_codec_for_fourcc(h.biCompression);
    if (id == AV_CODEC_ID_NONE && handler != 0) id = video_codec_for_fourcc(handler);
    if (id == AV_CODEC_ID_NONE || !avcodec_find_decoder(id)) return AV_CODEC_ID_NONE;
    return id;
}

// An uncompressed paletted stream shown unscaled at 8 bits keeps its own colour
// table, at its own length unless the palette changes along the way.
std::uint32_t colours_kept(const VideoFormat& input, const BITMAPINFOHEADER& output,
                           PacketSource& source) {
    const BITMAPINFOHEADER& h = input.header;
    const bool own = is_plain_dib(h) && h.biBitCount <= 8 && output.biBitCount == 8 &&
                     output.biWidth == h.biWidth &&
                     std::abs(std::int64_t{output.biHeight}) == std::abs(std::int64_t{h.biHeight});
    if (!own || input.palette.empty() || source.palette_at(0)) return 256;
    return std::uint32_t(input.palette.size());
}

}  // namespace

Result<std::unique_ptr<FrameDecoder>> FrameDecoder::open(PacketSource& source,
                                                         std::span<const std::uint8_t> format,
                                                         const BITMAPINFOHEADER* wanted,
                                                         std::uint32_t handler) {
    apply_libav_log_switch();
    return guarded([&]() -> Result<std::unique_ptr<FrameDecoder>> {
        auto parsed = parse_video_format(format);
        if (!parsed) return parsed.error();
        const VideoFormat& input = parsed.value();
        const BITMAPINFOHEADER output =
            wanted ? *wanted
                   : make_rgb_header(input.header.biWidth, std::abs(input.header.biHeight), 24);
        if (Status s = check_output_format(output); !s) return s.error();

        std::unique_ptr<PictureSource> pictures;
        if (is_plain_dib(input.header)) {
            auto raw = RawDibSource::open(source, input);
            if (!raw) return raw.error();
            pictures = raw.take();
        } else {
            const AVCodecID id = codec_for(input.header, handler);
            if (id == AV_CODEC_ID_NONE)
                return make_error(
                    ErrorCode::Unsupported,
                    "no decoder for '" + fourcc_text(input.header.biCompression) + "'");
            auto decoder = LibavVideoSource::open(source, input, id);
            if (!decoder) return decoder.error();
            pictures = decoder.take();
        }
        return std::unique_ptr<FrameDecoder>(new FrameDecoder(source, std::move(pictures), output,
                                                              colours_kept(input, output, source)));
    });
}

bool FrameDecoder::can_decode(std::span<const std::uint8_t> format, std::uint32_t handler) {
    auto parsed = parse_video_format(format);
    if (!parsed) return false;
    const BITMAPINFOHEADER& h = parsed.value().header;
    if (is_plain_dib(h)) return RawDibSource::handles(parsed.value());
    return codec_for(h, handler) != AV_CODEC_ID_NONE;
}

FrameDecoder::FrameDecoder(PacketSource& source, std::unique_ptr<PictureSource> pictures,
                           const BITMAPINFOHEADER& output, std::uint32_t colours)
    : source_(source), pictures_(std::move(pictures)), writer_(std::make_unique<DibWriter>()) {
    writer_->configure(output, colours);
}

FrameDecoder::~FrameDecoder() = default;

const BITMAPINFOHEADER& FrameDecoder::output_format() const { return writer_->header(); }
std::size_t FrameDecoder::frame_size() const { return writer_->dib_size(); }

std::int64_t FrameDecoder::samples_decoded() const {
    const auto* libav = dynamic_cast<const LibavVideoSource*>(pictures_.get());
    return libav ? libav->samples_sent() : 0;
}

Error FrameDecoder::fail(Error error) {
    last_error_ = error;
    return error;
}

const BITMAPINFOHEADER* FrameDecoder::frame(std::int64_t n) {
    std::int64_t writing = -1;  // the cache entry being written, dropped if that fails
    try {
        last_error_.reset();
        if (n < 0 || n >= source_.sample_count()) {
            fail(make_error(ErrorCode::OutOfRange, "no sample " + std::to_string(n)));
            return nullptr;
        }
        // A dropped sample repeats the picture before it.
        std::int64_t position = n;
        std::int64_t size = 0;
        while (position >= 0 && (size = source_.sample_size(position)) == 0) --position;
        if (position < 0) {
            fail(make_error(ErrorCode::NoFrame, "only dropped samples up to " + std::to_string(n)));
            return nullptr;
        }
        if (size < 0) {
            fail(make_error(ErrorCode::ReadFailed,
                            "sample " + std::to_string(position) + " unreadable"));
            return nullptr;
        }
        if (position == shown_) return shown_dib_;
        shown_ = -1;
        if (std::uint8_t* hit = cache_.find(position)) return show(position, hit);
        auto picture = pictures_->picture_at(position);
        if (!picture) {
            fail(picture.error());
            return nullptr;
        }
        // Converted straight into the cache, so that keeping the frame copies nothing.
        std::uint8_t* dib = cache_.insert(position, writer_->dib_size());
        writing = position;
        if (!dib) {
            uncached_.resize(writer_->dib_size());
            dib = uncached_.data();
        }
        if (Status s = writer_->write(*picture.value(), dib); !s) {
            cache_.erase(position);
            fail(s.error());
            return nullptr;
        }
        return show(position, dib);
    } catch (const std::exception&) {
        if (writing >= 0) cache_.erase(writing);
        shown_ = -1;
        fail(make_error(ErrorCode::CodecFailed, "out of memory"));
        return nullptr;
    }
}

const BITMAPINFOHEADER* FrameDecoder::show(std::int64_t position, std::uint8_t* dib) {
    shown_ = position;
    shown_dib_ = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    return shown_dib_;
}

void FrameDecoder::set_cache_limit(std::size_t bytes) {
    cache_.set_limit(bytes);
    shown_ = -1;  // its DIB may have been dropped
}

}  // namespace vfw::codec
