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
        if (position == shown_) return writer_->dib();
        shown_ = -1;
        if (const BITMAPINFOHEADER* hit = cached(position)) return hit;
        auto picture = pictures_->picture_at(position);
        if (!picture) {
            fail(picture.error());
            return nullptr;
        }
        if (Status s = writer_->write(*picture.value()); !s) {
            fail(s.error());
            return nullptr;
        }
        shown_ = position;
        keep(position);
        return writer_->dib();
    } catch (const std::exception&) {
        shown_ = -1;
        fail(make_error(ErrorCode::CodecFailed, "out of memory"));
        return nullptr;
    }
}

void FrameDecoder::set_cache_limit(std::size_t bytes) {
    cache_limit_ = bytes;
    trim_cache();
}

const BITMAPINFOHEADER* FrameDecoder::cached(std::int64_t position) {
    const auto it = cache_index_.find(position);
    if (it == cache_index_.end()) return nullptr;
    cache_.splice(cache_.begin(), cache_, it->second);
    return reinterpret_cast<const BITMAPINFOHEADER*>(it->second->dib.data());
}

void FrameDecoder::keep(std::int64_t position) {
    const std::size_t size = writer_->dib_size();
    if (size > cache_limit_ || cache_index_.contains(position)) return;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(writer_->dib());
    // Once the cache is full the frame dropped lends its buffer, so that playing on
    // costs a copy per frame and no fresh memory.
    std::vector<std::uint8_t> dib;
    if (cache_bytes_ + size > cache_limit_ && !cache_.empty()) {
        dib = std::move(cache_.back().dib);
        cache_bytes_ -= dib.size();
        cache_index_.erase(cache_.back().position);
        cache_.pop_back();
    }
    dib.assign(bytes, bytes + size);
    cache_.push_front({position, std::move(dib)});
    cache_index_[position] = cache_.begin();
    cache_bytes_ += size;
    trim_cache();
}

void FrameDecoder::trim_cache() {
    while (cache_bytes_ > cache_limit_ && !cache_.empty()) {
        cache_bytes_ -= cache_.back().dib.size();
        cache_index_.erase(cache_.back().position);
        cache_.pop_back();
    }
}

}  // namespace vfw::codec
