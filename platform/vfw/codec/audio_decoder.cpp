#include "vfw/codec/audio_decoder.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "vfw/codec/libav_log.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include "vfw/codec/av_ptr.h"
#include "vfw/codec/format_tags.h"
#include "vfw/codec/guarded.h"
#include "vfw/codec/pcm_converter.h"
#include "vfw/codec/wave_format.h"

namespace vfw::codec {

struct AudioDecoder::State {
    CodecContextPtr ctx;
    ParserPtr parser;  // frames of MP3, AC-3... may straddle the file's chunks
    FramePtr frame;
    PacketPtr packet;
    PcmConverter converter;
    PcmLayout out_layout;
    std::size_t block = 0;  // block-based formats are fed whole blocks
    std::vector<std::uint8_t> pending;
};

namespace {

AVCodecID codec_for(const WAVEFORMATEX& h) {
    if (h.wFormatTag == WAVE_FORMAT_PCM) {
        switch (h.wBitsPerSample) {
            case 8:
                return AV_CODEC_ID_PCM_U8;
            case 16:
                return AV_CODEC_ID_PCM_S16LE;
            case 24:
                return AV_CODEC_ID_PCM_S24LE;
            case 32:
                return AV_CODEC_ID_PCM_S32LE;
            default:
                return AV_CODEC_ID_NONE;
        }
    }
    if (h.wFormatTag == WAVE_FORMAT_IEEE_FLOAT)
        return h.wBitsPerSample == 64 ? AV_CODEC_ID_PCM_F64LE : AV_CODEC_ID_PCM_F32LE;
    return audio_codec_for_tag(h.wFormatTag);
}

bool block_based(AVCodecID id) {
    const AVCodecDescriptor* d = avcodec_descriptor_get(id);
    const bool pcm = id >= AV_CODEC_ID_FIRST_AUDIO && id < AV_CODEC_ID_ADPCM_IMA_QT;
    const bool adpcm = id >= AV_CODEC_ID_ADPCM_IMA_QT && id < AV_CODEC_ID_AMR_NB;
    return d && (pcm || adpcm);
}

}  // namespace

AudioDecoder::AudioDecoder(std::unique_ptr<State> state, const WAVEFORMATEX& output)
    : state_(std::move(state)), output_(output) {}
AudioDecoder::~AudioDecoder() = default;

bool AudioDecoder::can_decode(std::span<const std::uint8_t> format) {
    auto parsed = parse_wave_format(format);
    if (!parsed) return false;
    const AVCodecID id = codec_for(parsed.value().header);
    return id != AV_CODEC_ID_NONE && avcodec_find_decoder(id);
}

Result<std::unique_ptr<AudioDecoder>> AudioDecoder::open(std::span<const std::uint8_t> format,
                                                         const WAVEFORMATEX* output) {
    apply_libav_log_switch();
    return guarded([&]() -> Result<std::unique_ptr<AudioDecoder>> {
        auto parsed = parse_wave_format(format);
        if (!parsed) return parsed.error();
        const WAVEFORMATEX& in = parsed.value().header;
        const std::vector<std::uint8_t>& extra = parsed.value().extra;
        const WAVEFORMATEX out =
            output ? *output
                   : make_pcm_format(
                         in.nSamplesPerSec, in.nChannels,
                         in.wFormatTag == WAVE_FORMAT_PCM && in.wBitsPerSample == 8 ? 8 : 16);
        if (out.wFormatTag != WAVE_FORMAT_PCM ||
            (out.wBitsPerSample != 8 && out.wBitsPerSample != 16) || out.nChannels == 0 ||
            out.nChannels > 8 || out.nSamplesPerSec == 0 || out.nSamplesPerSec > 768000)
            return make_error(ErrorCode::Unsupported, "audio output must be 8- or 16-bit PCM");

        const AVCodecID id = codec_for(in);
        const AVCodec* codec = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(id);
        if (!codec)
            return make_error(ErrorCode::Unsupported,
                              "no decoder for audio format tag " + std::to_string(in.wFormatTag));
        auto st = std::make_unique<State>();
        st->ctx.reset(avcodec_alloc_context3(codec));
        st->frame.reset(av_frame_alloc());
        st->packet.reset(av_packet_alloc());
        if (!st->ctx || !st->frame || !st->packet)
            return make_error(ErrorCode::CodecFailed, "out of memory");
        AVCodecContext* ctx = st->ctx.get();
        ctx->sample_rate = int(in.nSamplesPerSec);
        av_channel_layout_default(&ctx->ch_layout, in.nChannels);
        ctx->block_align = in.nBlockAlign;
        ctx->bit_rate = std::int64_t(in.nAvgBytesPerSec) * 8;
        ctx->bits_per_coded_sample = in.wBitsPerSample;
        ctx->codec_tag = in.wFormatTag;
        if (!extra.empty()) {
            ctx->extradata =
                static_cast<std::uint8_t*>(av_mallocz(extra.size() + AV_INPUT_BUFFER_PADDING_SIZE));
            if (!ctx->extradata) return make_error(ErrorCode::CodecFailed, "out of memory");
            std::memcpy(ctx->extradata, extra.data(), extra.size());
            ctx->extradata_size = int(extra.size());
        }
        if (const int rc = avcodec_open2(ctx, codec, nullptr); rc < 0)
            return make_error(ErrorCode::CodecFailed, std::string("cannot open decoder ") +
                                                          codec->name + ": " + av_error_text(rc));
        if (block_based(id)) {
            if (in.nBlockAlign == 0) return make_error(ErrorCode::BadFormat, "block size 0");
            st->block = in.nBlockAlign;
        } else {
            st->parser.reset(av_parser_init(id));  // null when the codec needs none
        }
        st->out_layout = {out.wBitsPerSample == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16,
                          int(out.nSamplesPerSec), int(out.nChannels)};
        const WAVEFORMATEX exact =
            make_pcm_format(out.nSamplesPerSec, out.nChannels, out.wBitsPerSample);
        return std::unique_ptr<AudioDecoder>(new AudioDecoder(std::move(st), exact));
    });
}

Status AudioDecoder::append(const std::uint8_t* const* planes, int count,
                            std::vector<std::uint8_t>& pcm) {
    PcmConverter& conv = state_->converter;
    auto done = conv.convert(planes, count);
    if (!done) return done.status();
    const std::size_t bytes = std::size_t(done.value()) * output_.nBlockAlign;
    pcm.insert(pcm.end(), conv.planes()[0], conv.planes()[0] + bytes);
    return {};
}

Status AudioDecoder::receive(std::vector<std::uint8_t>& pcm) {
    State& st = *state_;
    for (int failures = 0;;) {
        const int rc = avcodec_receive_frame(st.ctx.get(), st.frame.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return {};
        if (rc < 0) {  // a damaged frame is skipped, the next may decode
            if (++failures > 64)
                return make_error(ErrorCode::CodecFailed, "audio decoder keeps failing");
            continue;
        }
        AVFrame* f = st.frame.get();
        const PcmLayout in{AVSampleFormat(f->format), f->sample_rate, f->ch_layout.nb_channels};
        if (!st.converter.configured_for(in)) {
            if (st.converter.output().format != AV_SAMPLE_FMT_NONE) {
                // The stream changed mid-way: hand out what the old set-up holds first.
                if (Status s = append(nullptr, 0, pcm); !s) return s;
            }
            if (Status s = st.converter.configure(in, st.out_layout); !s) return s;
        }
        Status s = append(f->extended_data, f->nb_samples, pcm);
        av_frame_unref(f);
        if (!s) return s;
    }
}

Status AudioDecoder::send(const std::uint8_t* data, std::size_t size,
                          std::vector<std::uint8_t>& pcm) {
    State& st = *state_;
    AVPacket* pkt = st.packet.get();
    av_packet_unref(pkt);
    if (data) {
        if (av_new_packet(pkt, int(size)) < 0)
            return make_error(ErrorCode::CodecFailed, "out of memory");
        std::memcpy(pkt->data, data, size);
    }
    const int rc = avcodec_send_packet(st.ctx.get(), data ? pkt : nullptr);
    if (rc < 0 && rc != AVERROR_EOF && rc != AVERROR_INVALIDDATA)
        return make_error(ErrorCode::CodecFailed, "audio decoding failed: " + av_error_text(rc));
    return receive(pcm);
}

Status AudioDecoder::decode(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& pcm) {
    return guarded([&]() -> Status {
        State& st = *state_;
        if (st.block) {
            st.pending.insert(st.pending.end(), data.begin(), data.end());
            const std::size_t whole = st.pending.size() / st.block * st.block;
            // Many blocks go in one packet: the PCM decoders take any whole number of them.
            const bool one_at_a_time = st.ctx->codec_id >= AV_CODEC_ID_ADPCM_IMA_QT;
            for (std::size_t at = 0; at < whole;) {
                const std::size_t n = one_at_a_time ? st.block : whole;
                if (Status s = send(st.pending.data() + at, n, pcm); !s) return s;
                at += n;
            }
            st.pending.erase(st.pending.begin(), st.pending.begin() + std::ptrdiff_t(whole));
            return {};
        }
        if (!st.parser) return data.empty() ? Status{} : send(data.data(), data.size(), pcm);
        const std::uint8_t* p = data.data();
        int left = int(data.size());
        while (left > 0) {
            std::uint8_t* frame = nullptr;
            int frame_size = 0;
            const int used = av_parser_parse2(st.parser.get(), st.ctx.get(), &frame, &frame_size, p,
                                              left, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
            if (used < 0) return make_error(ErrorCode::CodecFailed, "audio parsing failed");
            p += used;
            left -= used;
            if (frame_size > 0)
                if (Status s = send(frame, std::size_t(frame_size), pcm); !s) return s;
            if (used == 0 && frame_size == 0) break;
        }
        return {};
    });
}

Status AudioDecoder::finish(std::vector<std::uint8_t>& pcm) {
    return guarded([&]() -> Status {
        State& st = *state_;
        if (st.parser) {
            std::uint8_t* frame = nullptr;
            int frame_size = 0;
            av_parser_parse2(st.parser.get(), st.ctx.get(), &frame, &frame_size, nullptr, 0,
                             AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
            if (frame_size > 0)
                if (Status s = send(frame, std::size_t(frame_size), pcm); !s) return s;
        }
        st.pending.clear();  // a partial block cannot be decoded
        if (Status s = send(nullptr, 0, pcm); !s) return s;
        if (st.converter.output().format != AV_SAMPLE_FMT_NONE)
            if (Status s = append(nullptr, 0, pcm); !s) return s;
        reset();
        return {};
    });
}

void AudioDecoder::reset() {
    State& st = *state_;
    avcodec_flush_buffers(st.ctx.get());
    st.pending.clear();
    if (st.parser) st.parser.reset(av_parser_init(st.ctx->codec_id));
    st.converter = PcmConverter{};
}

}  // namespace vfw::codec
