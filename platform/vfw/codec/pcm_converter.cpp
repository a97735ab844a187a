#include "vfw/codec/pcm_converter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

namespace vfw::codec {

Status PcmConverter::configure(const PcmLayout& in, const PcmLayout& out) {
    AVChannelLayout in_layout, out_layout;
    av_channel_layout_default(&in_layout, in.channels);
    av_channel_layout_default(&out_layout, out.channels);
    SwrContext* raw = nullptr;
    int rc = swr_alloc_set_opts2(&raw, &out_layout, out.format, out.rate, &in_layout, in.format,
                                 in.rate, 0, nullptr);
    swr_.reset(raw);
    if (rc >= 0) rc = swr_init(raw);
    av_channel_layout_uninit(&in_layout);
    av_channel_layout_uninit(&out_layout);
    if (rc < 0) {
        swr_.reset();
        return make_error(ErrorCode::CodecFailed, "cannot convert audio: " + av_error_text(rc));
    }
    in_ = in;
    out_ = out;
    const int planes = av_sample_fmt_is_planar(out.format) ? out.channels : 1;
    buffers_.assign(std::size_t(planes), {});
    pointers_.assign(std::size_t(planes), nullptr);
    return {};
}

Result<int> PcmConverter::convert(const std::uint8_t* const* in, int count) {
    if (!swr_) return make_error(ErrorCode::CodecFailed, "audio converter not set up");
    const int room = swr_get_out_samples(swr_.get(), count) + 32;
    int line = 0;
    const int bytes = av_samples_get_buffer_size(&line, out_.channels, room, out_.format, 1);
    if (bytes < 0) return make_error(ErrorCode::CodecFailed, "audio buffer size");
    for (std::size_t i = 0; i < buffers_.size(); ++i) {
        if (buffers_[i].size() < std::size_t(line)) buffers_[i].resize(std::size_t(line));
        pointers_[i] = buffers_[i].data();
    }
    const int done = swr_convert(swr_.get(), pointers_.data(), room,
                                 const_cast<const std::uint8_t**>(in), count);
    if (done < 0)
        return make_error(ErrorCode::CodecFailed,
                          "audio conversion failed: " + av_error_text(done));
    return done;
}

}  // namespace vfw::codec
