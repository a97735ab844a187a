#include "vfw/codec/codec_tables.h"

#include <vector>

#include "mmreg.h"
#include "vfw/codec/format_tags.h"

namespace vfw::codec {

namespace {

constexpr std::uint32_t fcc(const char (&s)[5]) { return make_fourcc(s[0], s[1], s[2], s[3]); }

const std::vector<VideoCompressorEntry>& video_entries() {
    static const std::vector<VideoCompressorEntry> table = {
        {{"Full Frames (Uncompressed)", kFullFramesFourcc, false, false, false, true},
         nullptr,
         AV_PIX_FMT_NONE,
         QualityScale::None,
         KeyInterval::GopSize},
        {{"Motion JPEG", fcc("MJPG"), true, false, true, false},
         "mjpeg",
         AV_PIX_FMT_YUVJ420P,
         QualityScale::QScale,
         KeyInterval::GopSize},
        {{"MPEG-4 Part 2", fcc("FMP4"), true, true, true, false},
         "mpeg4",
         AV_PIX_FMT_YUV420P,
         QualityScale::QScale,
         KeyInterval::GopSize},
        {{"H.264 (x264)", fcc("H264"), true, true, true, false},
         "libx264",
         AV_PIX_FMT_YUV420P,
         QualityScale::Crf,
         KeyInterval::GopSize},
        {{"FFV1 Lossless", fcc("FFV1"), false, true, false, true},
         "ffv1",
         AV_PIX_FMT_NONE,
         QualityScale::None,
         KeyInterval::GopSize},
        {{"HuffYUV Lossless", fcc("HFYU"), false, false, false, true},
         "huffyuv",
         AV_PIX_FMT_NONE,
         QualityScale::None,
         KeyInterval::GopSize},
        {{"Microsoft Video 1", fcc("CRAM"), false, true, false, false},
         "msvideo1",
         AV_PIX_FMT_RGB555LE,
         QualityScale::None,
         KeyInterval::MinimumPlusOne},
        {{"Cinepak", fcc("cvid"), false, true, false, false},
         "cinepak",
         AV_PIX_FMT_RGB24,
         QualityScale::None,
         KeyInterval::GopSize},
        {{"Microsoft MPEG-4 V2", fcc("MP42"), true, true, true, false},
         "msmpeg4v2",
         AV_PIX_FMT_YUV420P,
         QualityScale::QScale,
         KeyInterval::GopSize},
        {{"Microsoft MPEG-4 V3", fcc("MP43"), true, true, true, false},
         "msmpeg4",
         AV_PIX_FMT_YUV420P,
         QualityScale::QScale,
         KeyInterval::GopSize},
        {{"Zip Motion Blocks", fcc("ZMBV"), false, true, false, true},
         "zmbv",
         AV_PIX_FMT_BGR0,
         QualityScale::None,
         KeyInterval::MinimumInterval},
    };
    return table;
}

const std::vector<AudioFormatEntry>& audio_entries() {
    const std::vector<std::uint32_t> pcm_rates = {8000, 11025, 16000, 22050, 32000, 44100, 48000};
    const std::vector<std::uint32_t> adpcm_rates = {8000, 11025, 22050, 44100};
    static const std::vector<AudioFormatEntry> table = {
        {{"PCM", WAVE_FORMAT_PCM, pcm_rates, {1, 2}, {8, 16}, {}}, nullptr},
        {{"MPEG Layer-3",
          WAVE_FORMAT_MPEGLAYER3,
          {32000, 44100, 48000},
          {1, 2},
          {},
          {32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000, 160000, 192000, 224000,
           256000, 320000}},
         "libmp3lame"},
        {{"AC-3",
          0x2000,
          {32000, 44100, 48000},
          {1, 2},
          {},
          {96000, 128000, 192000, 256000, 384000, 448000}},
         "ac3"},
        {{"Microsoft ADPCM", WAVE_FORMAT_ADPCM, adpcm_rates, {1, 2}, {4}, {}}, "adpcm_ms"},
        {{"IMA ADPCM", 0x0011, adpcm_rates, {1, 2}, {4}, {}}, "adpcm_ima_wav"},
        {{"CCITT A-Law", WAVE_FORMAT_ALAW, adpcm_rates, {1, 2}, {8}, {}}, "pcm_alaw"},
        {{"CCITT u-Law", WAVE_FORMAT_MULAW, adpcm_rates, {1, 2}, {8}, {}}, "pcm_mulaw"},
    };
    return table;
}

}  // namespace

std::span<const VideoCompressorEntry> video_compressor_table() { return video_entries(); }

const VideoCompressorEntry* find_video_compressor_entry(std::uint32_t fourcc) {
    for (const VideoCompressorEntry& e : video_entries())
        if (e.info.fourcc == fourcc) return &e;
    // FourCCs differ in case between writers ('cvid', 'CVID').
    const AVCodecID wanted = video_codec_for_fourcc(fourcc);
    if (wanted == AV_CODEC_ID_NONE || fourcc == kFullFramesFourcc) return nullptr;
    for (const VideoCompressorEntry& e : video_entries())
        if (e.encoder && video_codec_for_fourcc(e.info.fourcc) == wanted) return &e;
    return nullptr;
}

std::span<const AudioFormatEntry> audio_format_table() { return audio_entries(); }

const AudioFormatEntry* find_audio_format_entry(std::uint16_t tag) {
    for (const AudioFormatEntry& e : audio_entries())
        if (e.info.tag == tag) return &e;
    return nullptr;
}

}  // namespace vfw::codec
