// Where each picture of a reordering codec is shown, learned from the samples as
// they go to the decoder, so that a picture the decoder drops moves no other one.
// Every picture is known by the sample whose timestamp the decoder gives it; a
// group of pictures runs in decode order from a key frame to the next, and its
// pictures fill the group's positions that hold one, in the order they are shown.
// MPEG-4 part 2 shows an anchor after the B-frames that follow it. H.264 shows by
// picture order count, and a picture is placed by its count's distance from the
// group's first, in steps of the group's spacing, rather than by rank: a damaged
// slice header reads as any count, and then moves only its own picture.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "vfw/codec/av_ptr.h"
#include "vfw/codec/picture_types.h"

namespace vfw::codec {

class DisplayOrder {
  public:
    // Nothing for a codec whose order this cannot learn.
    static std::unique_ptr<DisplayOrder> create(AVCodecID codec_id,
                                                const std::vector<std::uint8_t>& extradata);

    // Decoding starts again, at a key frame.
    void restart();
    // Sample n goes to the decoder; `types` are its pictures as picture_types reads them.
    void sent(std::int64_t n, bool key, const std::vector<std::uint8_t>& sample,
              const std::vector<PictureType>& types);
    // The position of the picture the decoder hands out with timestamp `pts`,
    // kNowhere for one that belongs to no position of its group, nothing where
    // the order could not be learned.
    std::optional<std::int64_t> position_of(std::int64_t pts);
    static constexpr std::int64_t kNowhere = -1;

  private:
    struct Picture {
        std::int64_t pts;
        bool anchor;             // not a B-frame
        std::optional<int> poc;  // H.264
    };
    struct Group {
        std::vector<Picture> pictures;    // in decode order
        std::vector<std::int64_t> shown;  // positions that hold a picture, ascending
        // H.264: the lowest count of the key frame and the B-frames right after it,
        // which are the first shown; unknown where one of them could not be read.
        std::optional<int> first;
        bool leading = true;  // still among those
    };
    DisplayOrder(AVCodecID codec_id, CodecContextPtr ctx);
    std::optional<int> picture_order(const std::vector<std::uint8_t>& sample);
    std::optional<std::int64_t> rank(const Group& group, std::size_t index) const;

    AVCodecID codec_id_;
    CodecContextPtr ctx_;  // the parser's own, holding the stream's extradata
    ParserPtr parser_;
    std::map<std::int64_t, Group> groups_;  // by key sample, since the last restart
    // A packed picture waits for the next sample: whether it is an anchor.
    std::optional<bool> deferred_;
    std::vector<std::uint8_t> padded_;  // the sample as the parser reads it
};

}  // namespace vfw::codec
