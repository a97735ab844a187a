#include "vfw/codec/format_tags.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace vfw::codec {

namespace {

const AVCodecTag* const* video_tables() {
    static const AVCodecTag* const tables[] = {avformat_get_riff_video_tags(), nullptr};
    return tables;
}

const AVCodecTag* const* audio_tables() {
    static const AVCodecTag* const tables[] = {avformat_get_riff_audio_tags(), nullptr};
    return tables;
}

}  // namespace

AVCodecID video_codec_for_fourcc(std::uint32_t fourcc) {
    // av_codec_get_id already retries with the tag in upper case.
    return av_codec_get_id(video_tables(), fourcc);
}

std::uint32_t fourcc_for_video_codec(AVCodecID id) { return av_codec_get_tag(video_tables(), id); }

AVCodecID audio_codec_for_tag(std::uint16_t tag) { return av_codec_get_id(audio_tables(), tag); }

std::uint16_t tag_for_audio_codec(AVCodecID id) {
    return std::uint16_t(av_codec_get_tag(audio_tables(), id));
}

std::string fourcc_text(std::uint32_t fourcc) {
    std::string text(4, '.');
    for (int i = 0; i < 4; ++i) {
        const char c = char((fourcc >> (8 * i)) & 0xff);
        if (c >= 0x20 && c < 0x7f) text[i] = c;
    }
    return text;
}

}  // namespace vfw::codec
