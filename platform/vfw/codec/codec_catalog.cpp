#include "vfw/codec/codec_catalog.h"

#include "vfw/codec/codec_tables.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vfw::codec {

namespace {

bool encoder_present(const char* name) {
    return name == nullptr || avcodec_find_encoder_by_name(name);
}

}  // namespace

std::vector<VideoCompressorInfo> video_compressors() {
    std::vector<VideoCompressorInfo> list;
    for (const VideoCompressorEntry& e : video_compressor_table())
        if (encoder_present(e.encoder)) list.push_back(e.info);
    return list;
}

std::optional<VideoCompressorInfo> find_video_compressor(std::uint32_t fourcc) {
    const VideoCompressorEntry* e = find_video_compressor_entry(fourcc);
    if (!e || !encoder_present(e->encoder)) return std::nullopt;
    return e->info;
}

std::vector<AudioFormatInfo> audio_formats() {
    std::vector<AudioFormatInfo> list;
    for (const AudioFormatEntry& e : audio_format_table())
        if (encoder_present(e.encoder)) list.push_back(e.info);
    return list;
}

std::optional<AudioFormatInfo> find_audio_format(std::uint16_t tag) {
    const AudioFormatEntry* e = find_audio_format_entry(tag);
    if (!e || !encoder_present(e->encoder)) return std::nullopt;
    return e->info;
}

}  // namespace vfw::codec
