// Compressed video through libavcodec, mapping the decoder's output back to sample
// positions. Every packet carries its sample index as its timestamp. Codecs that
// never reorder show each picture at its own sample; for reordering codecs the
// display order learned from the samples (DisplayOrder) places each picture, so
// that a picture the decoder drops costs its own position only. Where that order
// cannot be learned, outputs are counted from a key frame whose position is known,
// leaving out the samples without a picture.
// A key frame followed in the file by B-frames shown before it ("open" groups of
// pictures) is shown that many positions later; those B-frames need the group before,
// and decoders drop them when started at the key frame.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "vfw/codec/dib_layout.h"
#include "vfw/codec/display_order.h"
#include "vfw/codec/packet_source.h"
#include "vfw/codec/picture_source.h"
#include "vfw/codec/picture_types.h"

namespace vfw::codec {

class LibavVideoSource final : public PictureSource {
  public:
    static Result<std::unique_ptr<LibavVideoSource>> open(PacketSource& source,
                                                          const VideoFormat& format,
                                                          AVCodecID codec_id);
    Result<const AVFrame*> picture_at(std::int64_t position) override;

    // Samples handed to the decoder since it was opened (for tests of "one step, one sample").
    std::int64_t samples_sent() const { return samples_sent_; }

  private:
    explicit LibavVideoSource(PacketSource& source) : source_(source) {}
    void restart(std::int64_t key_frame, std::int64_t shown_at);
    std::int64_t key_frame_position(std::int64_t key_frame);
    std::int64_t leading_pictures(std::int64_t key_frame);
    Status send_next();
    // The position of a picture the decoder handed out; `ordered` when the display
    // order placed it.
    std::int64_t place(const AVFrame& picture, bool& ordered);
    // The picture held, unless it was decoded past a missing sample.
    Result<const AVFrame*> checked_current(std::int64_t target) const;
    std::int64_t next_non_empty(std::int64_t position) const;
    std::int64_t next_shown(std::int64_t position) const;
    bool holds_picture(const std::vector<std::uint8_t>& sample);
    void note_leading_pictures(std::int64_t sample);

    PacketSource& source_;
    CodecContextPtr ctx_;
    FramePtr current_;  // the last picture the decoder produced
    FramePtr scratch_;
    PacketPtr packet_;
    std::vector<std::uint8_t> sample_;
    std::vector<std::uint32_t> palette_;  // ARGB; empty unless the format carries colours

    bool started_ = false;  // decoder has been fed since the last restart
    bool drained_ = false;  // end of stream was signalled to the decoder
    bool ended_ = false;    // and the decoder has handed out everything
    bool have_current_ = false;
    bool palette_pending_ = false;
    std::int64_t next_sample_ = 0;   // next sample to send
    std::int64_t next_display_ = 0;  // position of the next picture the decoder will output
    std::int64_t current_pos_ = -1;
    std::int64_t samples_sent_ = 0;
    AVCodecID codec_id_ = AV_CODEC_ID_NONE;
    int nal_length_size_ = 0;  // H.264 with an 'avcC' record: size of the NAL length fields
    std::map<std::int64_t, std::int64_t> key_positions_;  // key sample -> position it is shown at
    std::vector<std::uint8_t> scan_;
    std::vector<PictureType> types_;
    bool reorders_ = false;  // the codec may show pictures in another order than stored
    std::unique_ptr<DisplayOrder> order_;     // null where the order cannot be learned
    std::map<std::int64_t, FramePtr> early_;  // pictures out ahead of the one sought
    std::set<std::int64_t> lost_;             // positions whose sample holds no picture
    // A sample with no chunk behind it breaks the chain of references up to the
    // next key frame: the pictures decoded in between are not the file's.
    bool chain_broken_ = false;
    bool recount_ = false;  // place the next key picture by its sample, not by counting
    std::set<std::int64_t> unreliable_;
    // The last key frame sent and the B-frames sent after it that are shown before it.
    std::int64_t run_key_ = -1;
    std::int64_t run_leading_ = 0;
    bool run_open_ = false;
};

}  // namespace vfw::codec
