#include "vfw/codec/libav_video_source.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "vfw/codec/picture_types.h"

extern "C" {
#include <libavutil/mem.h>
}

namespace vfw::codec {

namespace {

// libavcodec's form of a colour table: 256 opaque ARGB entries.
std::vector<std::uint32_t> argb_palette(const std::vector<RGBQUAD>& colours) {
    std::vector<std::uint32_t> argb;
    for (const RGBQUAD& c : colours)
        argb.push_back(0xFF000000u | std::uint32_t(c.rgbRed) << 16 |
                       std::uint32_t(c.rgbGreen) << 8 | c.rgbBlue);
    if (!argb.empty()) argb.resize(AVPALETTE_COUNT, 0xFF000000u);
    return argb;
}

}  // namespace

Result<std::unique_ptr<LibavVideoSource>> LibavVideoSource::open(PacketSource& source,
                                                                 const VideoFormat& format,
                                                                 AVCodecID codec_id) {
    const AVCodec* codec = avcodec_find_decoder(codec_id);
    if (!codec) return make_error(ErrorCode::Unsupported, "no decoder for this video format");
    std::unique_ptr<LibavVideoSource> s(new LibavVideoSource(source));
    s->ctx_.reset(avcodec_alloc_context3(codec));
    s->current_.reset(av_frame_alloc());
    s->scratch_.reset(av_frame_alloc());
    s->packet_.reset(av_packet_alloc());
    if (!s->ctx_ || !s->current_ || !s->scratch_ || !s->packet_)
        return make_error(ErrorCode::CodecFailed, "out of memory");

    AVCodecContext* ctx = s->ctx_.get();
    const BITMAPINFOHEADER& h = format.header;
    ctx->codec_type = AVMEDIA_TYPE_VIDEO;
    ctx->codec_id = codec_id;
    ctx->codec_tag = h.biCompression;
    ctx->width = h.biWidth;
    ctx->height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    ctx->bits_per_coded_sample = h.biBitCount;
    if (!format.extra.empty()) {
        ctx->extradata = static_cast<std::uint8_t*>(
            av_mallocz(format.extra.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!ctx->extradata) return make_error(ErrorCode::CodecFailed, "out of memory");
        std::memcpy(ctx->extradata, format.extra.data(), format.extra.size());
        ctx->extradata_size = int(format.extra.size());
    }
    ctx->thread_count = 0;  // as many as the machine has
    ctx->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (const int rc = avcodec_open2(ctx, codec, nullptr); rc < 0)
        return make_error(ErrorCode::CodecFailed, std::string("cannot open decoder ") +
                                                      codec->name + ": " + av_error_text(rc));

    s->codec_id_ = codec_id;
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec_id);
    s->reorders_ = descriptor && (descriptor->props & AV_CODEC_PROP_REORDER) != 0;
    if (s->reorders_) s->order_ = DisplayOrder::create(codec_id, format.extra);
    if (codec_id == AV_CODEC_ID_H264 && format.extra.size() > 4 && format.extra[0] == 1)
        s->nal_length_size_ = (format.extra[4] & 3) + 1;
    s->palette_ = argb_palette(format.palette);
    return s;
}

std::int64_t LibavVideoSource::next_non_empty(std::int64_t position) const {
    const std::int64_t count = source_.sample_count();
    while (position < count && source_.sample_size(position) == 0) ++position;
    return position;
}

std::int64_t LibavVideoSource::next_shown(std::int64_t position) const {
    const std::int64_t count = source_.sample_count();
    while (position < count && (source_.sample_size(position) == 0 || lost_.contains(position)))
        ++position;
    return position;
}

// Samples of reordering codecs with no picture in them (parameter sets alone) are
// known before decoding, so that counting pictures skips their positions.
bool LibavVideoSource::holds_picture(const std::vector<std::uint8_t>& sample) {
    if (codec_id_ == AV_CODEC_ID_H264)
        h264_picture_types(sample, nal_length_size_, types_);
    else if (codec_id_ == AV_CODEC_ID_MPEG4)
        mpeg4_picture_types(sample, types_);
    else
        return true;
    return !types_.empty();
}

void LibavVideoSource::restart(std::int64_t key_frame, std::int64_t shown_at) {
    if (started_) avcodec_flush_buffers(ctx_.get());
    started_ = true;
    drained_ = false;
    ended_ = false;
    have_current_ = false;
    current_pos_ = -1;
    next_sample_ = key_frame;
    chain_broken_ = false;
    recount_ = false;
    run_key_ = -1;
    next_display_ = next_shown(shown_at);
    if (order_) order_->restart();
    early_.clear();
    palette_pending_ = !palette_.empty();
}

// B-frames stored after a key frame but shown before it, as MPEG-4 part 2 (also
// packed with the key frame in one sample) and H.264 with open groups store them.
std::int64_t LibavVideoSource::leading_pictures(std::int64_t key_frame) {
    if (codec_id_ != AV_CODEC_ID_MPEG4 && codec_id_ != AV_CODEC_ID_H264) return 0;
    std::int64_t leading = 0;
    std::vector<PictureType> types;
    const std::int64_t count = source_.sample_count();
    for (std::int64_t n = key_frame; n < count && n < key_frame + 32; ++n) {
        if (source_.sample_size(n) <= 0) continue;
        if (!source_.read_sample(n, scan_)) break;
        if (codec_id_ == AV_CODEC_ID_MPEG4)
            mpeg4_picture_types(scan_, types);
        else
            h264_picture_types(scan_, nal_length_size_, types);
        for (std::size_t i = 0; i < types.size(); ++i) {
            if (n == key_frame && i == 0) continue;  // the key picture itself
            if (types[i] != PictureType::Bidirectional) return leading;
            ++leading;
        }
    }
    return leading;
}

// The B-frames that follow a key frame as it is sent, counted as leading_pictures
// counts them but from the types already read, so that no sample is read twice.
void LibavVideoSource::note_leading_pictures(std::int64_t n) {
    if (codec_id_ != AV_CODEC_ID_MPEG4 && codec_id_ != AV_CODEC_ID_H264) return;
    std::size_t first = 0;
    if (source_.is_key_frame(n)) {
        run_key_ = n;
        run_leading_ = 0;
        run_open_ = true;
        first = 1;  // the key picture itself
    }
    for (std::size_t i = first; run_open_ && i < types_.size(); ++i) {
        if (types_[i] != PictureType::Bidirectional)
            run_open_ = false;
        else
            ++run_leading_;
    }
}

std::int64_t LibavVideoSource::key_frame_position(std::int64_t key_frame) {
    if (key_frame == 0) return 0;
    if (auto it = key_positions_.find(key_frame); it != key_positions_.end()) return it->second;
    const std::int64_t position = key_frame + leading_pictures(key_frame);
    key_positions_[key_frame] = position;
    return position;
}

Status LibavVideoSource::send_next() {
    next_sample_ = next_non_empty(next_sample_);
    if (next_sample_ >= source_.sample_count()) {
        drained_ = true;
        avcodec_send_packet(ctx_.get(), nullptr);  // let the decoder hand out what it holds
        return {};
    }
    const std::int64_t n = next_sample_++;
    if (source_.sample_size(n) < 0) {  // no chunk behind this position: the decoder goes on
        if (reorders_) lost_.insert(n);
        chain_broken_ = true;
        recount_ = reorders_;
        return {};
    }
    if (source_.is_key_frame(n)) chain_broken_ = false;
    if (chain_broken_) unreliable_.insert(n);
    if (Status s = source_.read_sample(n, sample_); !s) return s;
    AVPacket* pkt = packet_.get();
    av_packet_unref(pkt);
    if (sample_.empty()) return {};
    if (av_new_packet(pkt, int(sample_.size())) < 0)
        return make_error(ErrorCode::CodecFailed, "out of memory");
    std::memcpy(pkt->data, sample_.data(), sample_.size());
    pkt->pts = n;
    if (source_.is_key_frame(n)) pkt->flags |= AV_PKT_FLAG_KEY;
    if (const std::vector<RGBQUAD>* colours = source_.palette_at(n)) {
        std::vector<std::uint32_t> in_force = argb_palette(*colours);
        if (in_force != palette_) {
            palette_ = std::move(in_force);
            palette_pending_ = !palette_.empty();
        }
    }
    if (palette_pending_) {
        std::uint8_t* side = av_packet_new_side_data(pkt, AV_PKT_DATA_PALETTE, AVPALETTE_SIZE);
        if (side) std::memcpy(side, palette_.data(), AVPALETTE_SIZE);
        palette_pending_ = false;
    }
    ++samples_sent_;
    if (reorders_) {
        if (!holds_picture(sample_)) lost_.insert(n);
        note_leading_pictures(n);
        if (order_) order_->sent(n, source_.is_key_frame(n), sample_, types_);
    }
    // A damaged sample gives no picture, which timestamps show. Its error is not
    // taken as its own: with frame threads it may come back for a later sample.
    const int rc = avcodec_send_packet(ctx_.get(), pkt);
    if (rc == AVERROR(ENOMEM)) return make_error(ErrorCode::CodecFailed, "out of memory");
    return {};
}

Result<const AVFrame*> LibavVideoSource::checked_current(std::int64_t target) const {
    if (unreliable_.contains(target))
        return make_error(ErrorCode::NoFrame, "sample " + std::to_string(target) +
                                                  " refers to a sample the file lacks");
    return static_cast<const AVFrame*>(current_.get());
}

std::int64_t LibavVideoSource::place(const AVFrame& picture, bool& ordered) {
    const std::int64_t pts = picture.pts;
    if (!reorders_) {  // pictures come out in the order their samples went in
        return pts != AV_NOPTS_VALUE ? pts : picture.best_effort_timestamp;
    }
    const bool key = pts != AV_NOPTS_VALUE && pts > 0 && source_.is_key_frame(pts);
    const std::optional<std::int64_t> placed =
        order_ && pts != AV_NOPTS_VALUE ? order_->position_of(pts) : std::nullopt;
    std::int64_t at = next_display_;
    if (placed) {
        ordered = true;
        if (*placed == DisplayOrder::kNowhere) return *placed;
        at = *placed;
        if (key) recount_ = false;
    } else if (key) {
        // Where the order is unknown, outputs are counted. Past a missing or damaged
        // sample the decoder may drop pictures it cannot build; every key picture
        // says where counting resumes.
        const auto learned = key_positions_.find(pts);
        if (learned != key_positions_.end())
            at = learned->second;
        else if (pts == run_key_)
            at = pts + run_leading_;
        else if (recount_)
            at = key_frame_position(pts);
        recount_ = false;
    }
    next_display_ = ordered ? std::max(next_display_, next_shown(at + 1)) : next_shown(at + 1);
    // Learn where key frames are shown, to start there next time.
    if (key) key_positions_.try_emplace(pts, at);
    return at;
}

Result<const AVFrame*> LibavVideoSource::picture_at(std::int64_t target) {
    if (have_current_ && current_pos_ == target) return checked_current(target);
    if (const auto held = early_.find(target); held != early_.end()) {
        av_frame_unref(current_.get());
        av_frame_move_ref(current_.get(), held->second.get());
        early_.erase(early_.begin(), std::next(held));
        have_current_ = true;
        current_pos_ = target;
        return checked_current(target);
    }
    early_.erase(early_.begin(), early_.lower_bound(target));
    // Keep going forward unless the target is behind us or a key frame lies between.
    std::int64_t key = std::max<std::int64_t>(source_.key_frame_at_or_before(target), 0);
    const bool forward = started_ && !ended_ && current_pos_ < target &&
                         (!reorders_ || next_display_ <= target) && key <= next_sample_;
    if (!forward) {
        std::int64_t shown_at = key_frame_position(key);
        while (key > 0 && shown_at > target) {  // the target is shown before its key frame
            key = std::max<std::int64_t>(source_.key_frame_at_or_before(key - 1), 0);
            shown_at = key_frame_position(key);
        }
        restart(key, shown_at);
    }

    int failures = 0;
    int late = 0;  // pictures shown after the target that came out before it
    while (!have_current_ || current_pos_ < target) {
        const int rc = avcodec_receive_frame(ctx_.get(), scratch_.get());
        if (rc >= 0) {
            bool ordered = false;
            const std::int64_t at = place(*scratch_, ordered);
            if (at == DisplayOrder::kNowhere) {
                av_frame_unref(scratch_.get());
                continue;
            }
            // Past a damaged anchor the decoder may hand out the pictures around it
            // out of order: the target's own picture can still come, as late as the
            // decoder's reorder depth allows.
            if (ordered && at > target && !lost_.contains(target) &&
                late++ < 2 * ctx_->has_b_frames + 4) {
                FramePtr held(av_frame_alloc());
                if (!held) return make_error(ErrorCode::CodecFailed, "out of memory");
                av_frame_move_ref(held.get(), scratch_.get());
                early_[at] = std::move(held);
                continue;
            }
            av_frame_unref(current_.get());
            av_frame_move_ref(current_.get(), scratch_.get());
            have_current_ = true;
            current_pos_ = at;
            continue;
        }
        if (rc == AVERROR_EOF) {
            ended_ = true;
            break;
        }
        if (rc != AVERROR(EAGAIN)) {
            // One picture failed; the next may not. A decoder that only fails is given up on.
            if (++failures > 64) {
                started_ = false;
                return make_error(ErrorCode::CodecFailed,
                                  "decoder keeps failing: " + av_error_text(rc));
            }
            continue;
        }
        if (drained_) break;
        if (Status s = send_next(); !s) {
            started_ = false;  // the position count is no longer trustworthy
            return s.error();
        }
    }
    if (!have_current_ || current_pos_ != target)
        return make_error(ErrorCode::NoFrame,
                          "no picture decoded for sample " + std::to_string(target));
    return checked_current(target);
}

}  // namespace vfw::codec
