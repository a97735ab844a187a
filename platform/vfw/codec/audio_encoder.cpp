#include "vfw/codec/audio_encoder.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "vfw/codec/libav_log.h"

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include "vfw/codec/av_ptr.h"
#include "vfw/codec/codec_tables.h"
#include "vfw/codec/guarded.h"
#include "vfw/codec/pcm_converter.h"
#include "vfw/codec/wave_format.h"

namespace vfw::codec {

namespace {

struct FifoDeleter {
    void operator()(AVAudioFifo* p) const { av_audio_fifo_free(p); }
};
using FifoPtr = std::unique_ptr<AVAudioFifo, FifoDeleter>;

constexpr WORD kTagImaAdpcm = 0x0011;
constexpr WORD kTagAc3 = 0x2000;
// Samples per packet for codecs that take any number (A-law, u-law).
constexpr int kLooseFrame = 1024;

void put16(std::vector<std::uint8_t>& v, unsigned x) {
    v.push_back(std::uint8_t(x & 0xff));
    v.push_back(std::uint8_t((x >> 8) & 0xff));
}
void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    put16(v, x & 0xffff);
    put16(v, x >> 16);
}

}  // namespace

struct AudioEncoder::State {
    WAVEFORMATEX input{};
    PcmLayout in_layout;
    PcmConverter converter;
    CodecContextPtr ctx;  // null for PCM, which is only converted
    FramePtr frame;
    PacketPtr packet;
    FifoPtr fifo;
    std::int64_t next_pts = 0;
    std::vector<std::uint8_t> partial;  // input bytes short of a whole block
};

AudioEncoder::AudioEncoder(std::unique_ptr<State> state) : state_(std::move(state)) {}
AudioEncoder::~AudioEncoder() = default;

Result<std::unique_ptr<AudioEncoder>> AudioEncoder::open(const WAVEFORMATEX& input,
                                                         const WAVEFORMATEX& target) {
    apply_libav_log_switch();
    return guarded([&]() -> Result<std::unique_ptr<AudioEncoder>> {
        if (input.wFormatTag != WAVE_FORMAT_PCM ||
            (input.wBitsPerSample != 8 && input.wBitsPerSample != 16) || input.nChannels == 0 ||
            input.nChannels > 8 || input.nSamplesPerSec == 0 || input.nSamplesPerSec > 768000)
            return make_error(ErrorCode::Unsupported, "audio input must be 8- or 16-bit PCM");
        const AudioFormatEntry* entry = find_audio_format_entry(target.wFormatTag);
        if (!entry)
            return make_error(ErrorCode::Unsupported,
                              "no audio compressor for tag " + std::to_string(target.wFormatTag));
        if (target.nChannels == 0 || target.nChannels > 8 || target.nSamplesPerSec == 0 ||
            target.nSamplesPerSec > 768000)
            return make_error(ErrorCode::BadFormat, "audio target needs a rate and 1..8 channels");

        auto st = std::make_unique<State>();
        st->input = make_pcm_format(input.nSamplesPerSec, input.nChannels, input.wBitsPerSample);
        st->in_layout = {input.wBitsPerSample == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16,
                         int(input.nSamplesPerSec), int(input.nChannels)};
        const int rate = int(target.nSamplesPerSec);
        const int channels = target.nChannels;

        if (!entry->encoder) {  // PCM: convert only
            if (target.wBitsPerSample != 8 && target.wBitsPerSample != 16)
                return make_error(ErrorCode::Unsupported, "PCM output must be 8 or 16 bits");
            const PcmLayout out{target.wBitsPerSample == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16,
                                rate, channels};
            if (Status s = st->converter.configure(st->in_layout, out); !s) return s.error();
            std::unique_ptr<AudioEncoder> enc(new AudioEncoder(std::move(st)));
            enc->format_ = wave_format_bytes(
                make_pcm_format(target.nSamplesPerSec, target.nChannels, target.wBitsPerSample));
            return enc;
        }

        const AVCodec* codec = avcodec_find_encoder_by_name(entry->encoder);
        if (!codec)
            return make_error(ErrorCode::Unsupported, std::string("no encoder ") + entry->encoder);
        st->ctx.reset(avcodec_alloc_context3(codec));
        st->frame.reset(av_frame_alloc());
        st->packet.reset(av_packet_alloc());
        if (!st->ctx || !st->frame || !st->packet)
            return make_error(ErrorCode::CodecFailed, "out of memory");
        AVCodecContext* ctx = st->ctx.get();
        ctx->sample_rate = rate;
        av_channel_layout_default(&ctx->ch_layout, channels);
        ctx->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        ctx->time_base = AVRational{1, rate};
        const bool bitrate_format =
            target.wFormatTag == WAVE_FORMAT_MPEGLAYER3 || target.wFormatTag == kTagAc3;
        if (bitrate_format) {
            const std::int64_t fallback = target.wFormatTag == kTagAc3 ? 192000 : 128000;
            ctx->bit_rate =
                target.nAvgBytesPerSec ? std::int64_t(target.nAvgBytesPerSec) * 8 : fallback;
        }
        if (target.wFormatTag == WAVE_FORMAT_ADPCM || target.wFormatTag == kTagImaAdpcm) {
            // The block sizes ACM used: 256 bytes per channel at 11 kHz, doubling with the rate.
            const int block = 256 * channels * std::max(1, rate / 11025);
            av_opt_set_int(ctx->priv_data, "block_size", block, 0);
        }
        if (const int rc = avcodec_open2(ctx, codec, nullptr); rc < 0)
            return make_error(ErrorCode::CodecFailed,
                              std::string("cannot open ") + codec->name +
                                  " with these settings: " + av_error_text(rc));
        const PcmLayout enc_layout{ctx->sample_fmt, rate, channels};
        if (Status s = st->converter.configure(st->in_layout, enc_layout); !s) return s.error();
        st->fifo.reset(av_audio_fifo_alloc(ctx->sample_fmt, channels, 4096));
        if (!st->fifo) return make_error(ErrorCode::CodecFailed, "out of memory");

        WAVEFORMATEX out{};
        out.wFormatTag = target.wFormatTag;
        out.nChannels = WORD(channels);
        out.nSamplesPerSec = std::uint32_t(rate);
        std::vector<std::uint8_t> extra;
        const int frame = ctx->frame_size;
        switch (target.wFormatTag) {
            case WAVE_FORMAT_MPEGLAYER3:
                // MPEGLAYER3WAVEFORMAT: byte-stream MP3 as ACM described it.
                out.nBlockAlign = 1;
                out.nAvgBytesPerSec = std::uint32_t(ctx->bit_rate / 8);
                put16(extra, 1);                                     // wID: MPEG
                put32(extra, 2);                                     // fdwFlags: padding off
                put16(extra, unsigned(144 * ctx->bit_rate / rate));  // nBlockSize
                put16(extra, 1);                                     // nFramesPerBlock
                put16(extra, 1393);                                  // nCodecDelay
                break;
            case kTagAc3:
                out.nBlockAlign = 1;
                out.nAvgBytesPerSec = std::uint32_t(ctx->bit_rate / 8);
                break;
            case WAVE_FORMAT_ADPCM:
            case kTagImaAdpcm:
                out.nBlockAlign = WORD(ctx->block_align);
                out.wBitsPerSample = 4;
                out.nAvgBytesPerSec =
                    std::uint32_t(std::int64_t(rate) * ctx->block_align / std::max(frame, 1));
                if (ctx->extradata_size > 0)
                    extra.assign(ctx->extradata, ctx->extradata + ctx->extradata_size);
                else
                    put16(extra, unsigned(frame));  // wSamplesPerBlock
                break;
            default:  // A-law, u-law: one byte per sample and channel
                out.wBitsPerSample = 8;
                out.nBlockAlign = WORD(channels);
                out.nAvgBytesPerSec = std::uint32_t(rate * channels);
                break;
        }
        std::unique_ptr<AudioEncoder> enc(new AudioEncoder(std::move(st)));
        enc->format_ = wave_format_bytes(out, extra);
        enc->samples_per_packet_ = std::uint32_t(std::max(frame, 0));
        return enc;
    });
}

Status AudioEncoder::collect(std::vector<EncodedPacket>& out) {
    State& st = *state_;
    for (;;) {
        const int rc = avcodec_receive_packet(st.ctx.get(), st.packet.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return {};
        if (rc < 0)
            return make_error(ErrorCode::CodecFailed,
                              "audio encoding failed: " + av_error_text(rc));
        out.push_back(
            {std::vector<std::uint8_t>(st.packet->data, st.packet->data + st.packet->size), true});
        av_packet_unref(st.packet.get());
    }
}

Status AudioEncoder::drain_fifo(bool final, std::vector<EncodedPacket>& out) {
    State& st = *state_;
    AVCodecContext* ctx = st.ctx.get();
    const int frame_size = ctx->frame_size > 0 ? ctx->frame_size : kLooseFrame;
    const bool may_be_short =
        ctx->frame_size == 0 || (ctx->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) != 0;
    while (av_audio_fifo_size(st.fifo.get()) >= frame_size ||
           (final && av_audio_fifo_size(st.fifo.get()) > 0)) {
        const int available = av_audio_fifo_size(st.fifo.get());
        const int take = std::min(available, frame_size);
        AVFrame* f = st.frame.get();
        av_frame_unref(f);
        f->format = ctx->sample_fmt;
        f->sample_rate = ctx->sample_rate;
        f->nb_samples = take < frame_size && !may_be_short ? frame_size : take;
        if (av_channel_layout_copy(&f->ch_layout, &ctx->ch_layout) < 0 ||
            av_frame_get_buffer(f, 0) < 0)
            return make_error(ErrorCode::CodecFailed, "out of memory");
        if (f->nb_samples > take)  // pad the last frame with silence
            av_samples_set_silence(f->extended_data, take, f->nb_samples - take,
                                   ctx->ch_layout.nb_channels, ctx->sample_fmt);
        av_audio_fifo_read(st.fifo.get(), reinterpret_cast<void**>(f->extended_data), take);
        f->pts = st.next_pts;
        st.next_pts += f->nb_samples;
        if (const int rc = avcodec_send_frame(ctx, f); rc < 0)
            return make_error(ErrorCode::CodecFailed,
                              "audio encoding failed: " + av_error_text(rc));
        if (Status s = collect(out); !s) return s;
    }
    return {};
}

// Hands on what the converter gave: straight out as PCM, or through the FIFO
// to the encoder.
Status AudioEncoder::pass_on(int frames, bool final, std::vector<EncodedPacket>& out) {
    State& st = *state_;
    if (!st.ctx) {
        const std::size_t bytes = std::size_t(frames) * output_header().nBlockAlign;
        const std::uint8_t* pcm = st.converter.planes()[0];
        if (bytes) out.push_back({std::vector<std::uint8_t>(pcm, pcm + bytes), true});
        return {};
    }
    auto** planes = reinterpret_cast<void**>(st.converter.planes());
    if (frames > 0 && av_audio_fifo_write(st.fifo.get(), planes, frames) < 0)
        return make_error(ErrorCode::CodecFailed, "out of memory");
    return drain_fifo(final, out);
}

Status AudioEncoder::encode(std::span<const std::uint8_t> pcm, std::vector<EncodedPacket>& out) {
    return guarded([&]() -> Status {
        State& st = *state_;
        // Whole sample frames only; a split one waits for the rest.
        st.partial.insert(st.partial.end(), pcm.begin(), pcm.end());
        const std::size_t block = st.input.nBlockAlign;
        const int count = int(st.partial.size() / block);
        const std::uint8_t* in[1] = {st.partial.data()};
        auto done = st.converter.convert(in, count);
        st.partial.erase(st.partial.begin(),
                         st.partial.begin() + std::ptrdiff_t(std::size_t(count) * block));
        if (!done) return done.status();
        return pass_on(done.value(), false, out);
    });
}

Status AudioEncoder::finish(std::vector<EncodedPacket>& out) {
    return guarded([&]() -> Status {
        State& st = *state_;
        st.partial.clear();
        auto done = st.converter.convert(nullptr, 0);
        if (!done) return done.status();
        if (Status s = pass_on(done.value(), true, out); !s || !st.ctx) return s;
        avcodec_send_frame(st.ctx.get(), nullptr);
        return collect(out);
    });
}

}  // namespace vfw::codec
