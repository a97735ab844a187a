#include "vfw/codec/display_order.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <numeric>

extern "C" {
#include <libavutil/mem.h>
}

namespace vfw::codec {

std::unique_ptr<DisplayOrder> DisplayOrder::create(AVCodecID codec_id,
                                                   const std::vector<std::uint8_t>& extradata) {
    if (codec_id == AV_CODEC_ID_MPEG4)
        return std::unique_ptr<DisplayOrder>(new DisplayOrder(codec_id, nullptr));
    if (codec_id != AV_CODEC_ID_H264) return nullptr;
    // The parser reads the parameter sets (and an 'avcC' record's NAL length size) from here.
    CodecContextPtr ctx(avcodec_alloc_context3(nullptr));
    if (!ctx) return nullptr;
    if (!extradata.empty()) {
        ctx->extradata =
            static_cast<std::uint8_t*>(av_mallocz(extradata.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!ctx->extradata) return nullptr;
        std::memcpy(ctx->extradata, extradata.data(), extradata.size());
        ctx->extradata_size = int(extradata.size());
    }
    return std::unique_ptr<DisplayOrder>(new DisplayOrder(codec_id, std::move(ctx)));
}

DisplayOrder::DisplayOrder(AVCodecID codec_id, CodecContextPtr ctx)
    : codec_id_(codec_id), ctx_(std::move(ctx)) {}

void DisplayOrder::restart() {
    groups_.clear();
    deferred_.reset();
    if (codec_id_ != AV_CODEC_ID_H264) return;
    // Picture order counts are learned afresh from the key frame on.
    parser_.reset(av_parser_init(AV_CODEC_ID_H264));
    if (parser_) parser_->flags |= PARSER_FLAG_COMPLETE_FRAMES;
}

std::optional<int> DisplayOrder::picture_order(const std::vector<std::uint8_t>& sample) {
    if (!parser_ || sample.size() > std::size_t(INT_MAX - AV_INPUT_BUFFER_PADDING_SIZE))
        return std::nullopt;
    padded_.assign(sample.begin(), sample.end());
    padded_.resize(sample.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    parser_->output_picture_number = INT_MIN;  // left so when no slice header was read
    std::uint8_t* out = nullptr;
    int out_size = 0;
    const int rc = av_parser_parse2(parser_.get(), ctx_.get(), &out, &out_size, padded_.data(),
                                    int(sample.size()), AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
    if (rc < 0 || parser_->output_picture_number == INT_MIN) return std::nullopt;
    return parser_->output_picture_number;
}

void DisplayOrder::sent(std::int64_t n, bool key, const std::vector<std::uint8_t>& sample,
                        const std::vector<PictureType>& types) {
    if (key || groups_.empty()) groups_[n] = Group{};
    Group& group = groups_.rbegin()->second;
    // The parser sees parameter sets, alone in a sample or not.
    const std::optional<int> poc =
        codec_id_ == AV_CODEC_ID_H264 ? picture_order(sample) : std::nullopt;
    if (types.empty()) return;  // no picture: the position shows none
    group.shown.push_back(n);
    if (codec_id_ == AV_CODEC_ID_H264) {
        const bool anchor = types[0] != PictureType::Bidirectional;
        if (group.pictures.empty()) {
            group.first = poc;
        } else if (group.leading && !anchor && group.first) {
            group.first = poc ? std::min(*group.first, *poc) : poc;
        }
        group.leading = group.leading && (group.pictures.empty() || !anchor);
        group.pictures.push_back({n, anchor, poc});
        return;
    }
    // A packed sample's second picture is decoded with the next sample, in place of
    // that sample's own not-coded one, and takes its timestamp.
    const bool anchor = deferred_ ? *deferred_ : types[0] != PictureType::Bidirectional;
    group.pictures.push_back({n, anchor, std::nullopt});
    deferred_.reset();
    if (types.size() > 1) deferred_ = types[1] != PictureType::Bidirectional;
}

std::optional<std::int64_t> DisplayOrder::rank(const Group& group, std::size_t index) const {
    const std::vector<Picture>& pictures = group.pictures;
    // Without B-frames pictures are shown in the order they are decoded, whatever their
    // counts say: encoders that skip frames leave gaps in the counts.
    const bool bidirectional =
        std::any_of(pictures.begin(), pictures.end(), [](const Picture& p) { return !p.anchor; });
    if (codec_id_ == AV_CODEC_ID_H264 && bidirectional) {
        const std::optional<int> own = pictures[index].poc;
        if (!group.first || !own) return std::nullopt;
        if (*own < *group.first) return kNowhere;
        // Every picture shown before this one has gone to the decoder by now.
        std::int64_t spacing = 0;
        for (const Picture& p : pictures)
            if (p.poc && *p.poc > *group.first && *p.poc <= *own)
                spacing = std::gcd(spacing, std::int64_t(*p.poc) - *group.first);
        if (spacing == 0) return 0;
        return (std::int64_t(*own) - *group.first) / spacing;
    }
    // A B-frame is shown after everything decoded before it but the last anchor;
    // an anchor after the B-frames that follow it, which the decoder has by then.
    if (!pictures[index].anchor) {
        if (index == 0) return std::nullopt;
        return std::int64_t(index) - 1;
    }
    std::size_t after = index + 1;
    while (after < pictures.size() && !pictures[after].anchor) ++after;
    return std::int64_t(after) - 1;
}

std::optional<std::int64_t> DisplayOrder::position_of(std::int64_t pts) {
    auto group = groups_.upper_bound(pts);
    if (group == groups_.begin()) return std::nullopt;
    --group;
    const std::vector<Picture>& pictures = group->second.pictures;
    const auto picture =
        std::lower_bound(pictures.begin(), pictures.end(), pts,
                         [](const Picture& p, std::int64_t value) { return p.pts < value; });
    if (picture == pictures.end() || picture->pts != pts) return std::nullopt;
    const std::optional<std::int64_t> shown_as =
        rank(group->second, std::size_t(picture - pictures.begin()));
    const std::vector<std::int64_t>& shown = group->second.shown;
    if (!shown_as) return std::nullopt;
    if (*shown_as < 0 || *shown_as >= std::int64_t(shown.size())) return kNowhere;
    // Pictures come out in display order: the groups before this one are done.
    const std::int64_t position = shown[std::size_t(*shown_as)];
    groups_.erase(groups_.begin(), group);
    return position;
}

}  // namespace vfw::codec
