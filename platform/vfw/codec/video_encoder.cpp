#include "vfw/codec/video_encoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "vfw/codec/libav_log.h"

extern "C" {
#include <libavutil/opt.h>
}

#include "vfw/codec/av_ptr.h"
#include "vfw/codec/codec_tables.h"
#include "vfw/codec/dib_layout.h"
#include "vfw/codec/format_tags.h"
#include "vfw/codec/guarded.h"
#include "vfw/codec/raw_dib_source.h"

namespace vfw::codec {

struct VideoEncoder::State {
    BITMAPINFOHEADER input{};
    AVPixelFormat input_format = AV_PIX_FMT_NONE;
    bool full_frames = false;
    CodecContextPtr ctx;
    FramePtr picture;  // the encoder's input
    PacketPtr packet;
    SwsPtr sws;
    std::int64_t next_pts = 0;
    std::uint32_t palette[256] = {};
};

namespace {

Status check_input(const BITMAPINFOHEADER& h) {
    if (Status s = check_output_format(h); !s) return s;  // same set of DIBs as we produce
    return {};
}

void apply_quality(AVCodecContext* ctx, const VideoCompressorEntry& entry,
                   const VideoEncoderSettings& settings) {
    if (settings.bytes_per_second > 0) {
        ctx->bit_rate = std::int64_t(settings.bytes_per_second) * 8;
        ctx->rc_max_rate = ctx->bit_rate;
        ctx->rc_buffer_size = int(std::min<std::int64_t>(ctx->bit_rate * 2, INT32_MAX));
        return;
    }
    // Without a data rate, a quality is always set: the codecs' own bit-rate defaults
    // are far too low for anything but thumbnails.
    const int quality = settings.quality < 0 ? 7500 : std::min(settings.quality, 10000);
    switch (entry.quality_scale) {
        case QualityScale::QScale: {
            const int q = 31 - quality * 29 / 10000;  // 10000 -> 2, 0 -> 31
            ctx->flags |= AV_CODEC_FLAG_QSCALE;
            ctx->global_quality = q * FF_QP2LAMBDA;
            break;
        }
        case QualityScale::Crf: {
            const double crf = 45.0 - quality * 35.0 / 10000.0;  // 10000 -> 10, 7500 -> ~19
            av_opt_set_double(ctx->priv_data, "crf", crf, 0);
            break;
        }
        case QualityScale::None:
            break;
    }
}

std::vector<std::uint8_t> header_bytes(const BITMAPINFOHEADER& h, const std::uint8_t* extra,
                                       std::size_t extra_size) {
    std::vector<std::uint8_t> bytes(sizeof h + extra_size);
    std::memcpy(bytes.data(), &h, sizeof h);
    if (extra_size) std::memcpy(bytes.data() + sizeof h, extra, extra_size);
    return bytes;
}

}  // namespace

VideoEncoder::VideoEncoder(std::unique_ptr<State> state) : state_(std::move(state)) {}
VideoEncoder::~VideoEncoder() = default;

Result<std::unique_ptr<VideoEncoder>> VideoEncoder::open(const BITMAPINFOHEADER& input,
                                                         const VideoEncoderSettings& settings) {
    apply_libav_log_switch();
    return guarded([&]() -> Result<std::unique_ptr<VideoEncoder>> {
        if (Status s = check_input(input); !s) return s.error();
        const VideoCompressorEntry* entry = find_video_compressor_entry(settings.fourcc);
        if (!entry)
            return make_error(ErrorCode::Unsupported,
                              "no compressor '" + fourcc_text(settings.fourcc) + "'");
        if (settings.rate == 0 || settings.scale == 0)
            return make_error(ErrorCode::BadFormat, "frame rate must not be zero");

        auto state = std::make_unique<State>();
        state->input = make_rgb_header(input.biWidth, input.biHeight, input.biBitCount);
        VideoFormat described;
        described.header = state->input;
        state->input_format = RawDibSource::pixel_format_of(described);
        const int width = input.biWidth;
        const int height = std::abs(input.biHeight);

        if (!entry->encoder) {  // full frames: the DIB rows are the sample
            state->full_frames = true;
            BITMAPINFOHEADER out = make_rgb_header(width, height, input.biBitCount);
            out.biClrUsed = 0;
            std::vector<std::uint8_t> table;
            if (input.biBitCount == 8) table.resize(256 * sizeof(RGBQUAD));
            std::unique_ptr<VideoEncoder> enc(new VideoEncoder(std::move(state)));
            enc->format_ = header_bytes(out, table.data(), table.size());
            return enc;
        }

        const AVCodec* codec = avcodec_find_encoder_by_name(entry->encoder);
        if (!codec)
            return make_error(ErrorCode::Unsupported, std::string("no encoder ") + entry->encoder);
        state->ctx.reset(avcodec_alloc_context3(codec));
        state->picture.reset(av_frame_alloc());
        state->packet.reset(av_packet_alloc());
        if (!state->ctx || !state->picture || !state->packet)
            return make_error(ErrorCode::CodecFailed, "out of memory");
        AVCodecContext* ctx = state->ctx.get();
        ctx->width = width;
        ctx->height = height;
        ctx->time_base = AVRational{int(settings.scale), int(settings.rate)};
        ctx->framerate = AVRational{int(settings.rate), int(settings.scale)};
        ctx->sample_aspect_ratio = AVRational{1, 1};
        ctx->max_b_frames = 0;  // AVI keeps one frame per sample, in display order
        ctx->thread_count = 0;
        // Frame threads would hold samples back; slices keep one sample out per frame in.
        // (Encoders outside libavcodec, like x264, thread on their own terms.)
        if (codec->capabilities & AV_CODEC_CAP_FRAME_THREADS) ctx->thread_type = FF_THREAD_SLICE;
        AVPixelFormat pix = entry->pixel_format;
        if (pix == AV_PIX_FMT_NONE)
            pix =
                avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, state->input_format, 0, nullptr);
        ctx->pix_fmt = pix;
        if (settings.key_frame_every > 0 && entry->info.key_frames) {
            const int every = int(std::min<std::uint32_t>(settings.key_frame_every, 100000));
            switch (entry->key_interval) {
                case KeyInterval::GopSize:
                    ctx->gop_size = every;
                    break;
                case KeyInterval::MinimumInterval:
                    ctx->keyint_min = every;
                    break;
                case KeyInterval::MinimumPlusOne:
                    ctx->keyint_min = every - 1;
                    break;
            }
        }
        apply_quality(ctx, *entry, settings);
        if (const int rc = avcodec_open2(ctx, codec, nullptr); rc < 0)
            return make_error(ErrorCode::CodecFailed,
                              std::string("cannot open ") + codec->name +
                                  " with these settings: " + av_error_text(rc));
        AVFrame* picture = state->picture.get();
        picture->format = ctx->pix_fmt;
        picture->width = width;
        picture->height = height;
        if (av_frame_get_buffer(picture, 0) < 0)
            return make_error(ErrorCode::CodecFailed, "out of memory");

        BITMAPINFOHEADER out{};
        out.biSize = std::uint32_t(sizeof out + std::size_t(ctx->extradata_size));
        out.biWidth = width;
        out.biHeight = height;
        out.biPlanes = 1;
        out.biBitCount =
            std::uint16_t(ctx->bits_per_coded_sample > 0 ? ctx->bits_per_coded_sample : 24);
        out.biCompression =
            settings.fourcc == entry->info.fourcc ? entry->info.fourcc : settings.fourcc;
        out.biSizeImage = dib_stride(width, 24) * std::uint32_t(height);
        std::unique_ptr<VideoEncoder> enc(new VideoEncoder(std::move(state)));
        enc->format_ =
            header_bytes(out, ctx->extradata, std::size_t(std::max(ctx->extradata_size, 0)));
        return enc;
    });
}

namespace {

// Drains what the encoder has ready.
Status collect(AVCodecContext* ctx, AVPacket* pkt, std::vector<EncodedPacket>& out) {
    for (;;) {
        const int rc = avcodec_receive_packet(ctx, pkt);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return {};
        if (rc < 0)
            return make_error(ErrorCode::CodecFailed, "encoding failed: " + av_error_text(rc));
        out.push_back({std::vector<std::uint8_t>(pkt->data, pkt->data + pkt->size),
                       (pkt->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(pkt);
    }
}

}  // namespace

Result<std::vector<EncodedPacket>> VideoEncoder::encode(const BITMAPINFOHEADER* dib) {
    return guarded([&]() -> Result<std::vector<EncodedPacket>> {
        State& st = *state_;
        if (!dib) return make_error(ErrorCode::BadFormat, "no picture");
        if (dib->biWidth != st.input.biWidth ||
            std::abs(dib->biHeight) != std::abs(st.input.biHeight) ||
            dib->biBitCount != st.input.biBitCount || dib->biCompression != BI_RGB)
            return make_error(ErrorCode::BadFormat, "picture does not match the input format");
        const std::size_t colors = dib_color_count(*dib);
        const auto* table = reinterpret_cast<const RGBQUAD*>(
            reinterpret_cast<const std::uint8_t*>(dib) + dib->biSize);
        const std::uint8_t* bits = reinterpret_cast<const std::uint8_t*>(table + colors);
        const std::uint32_t stride = dib_stride(dib->biWidth, dib->biBitCount);
        const int rows = std::abs(dib->biHeight);

        std::vector<EncodedPacket> out;
        if (st.full_frames) {
            if (dib->biBitCount == 8 && colors)  // keep the stream's colour table in step
                std::memcpy(format_.data() + sizeof(BITMAPINFOHEADER), table,
                            std::min<std::size_t>(colors, 256) * sizeof(RGBQUAD));
            EncodedPacket p{std::vector<std::uint8_t>(std::size_t(stride) * std::size_t(rows)),
                            true};
            for (int y = 0; y < rows; ++y) {  // stored bottom-up whatever the input's order
                const int src = dib->biHeight > 0 ? y : rows - 1 - y;
                std::memcpy(p.data.data() + std::size_t(y) * stride,
                            bits + std::size_t(src) * stride, stride);
            }
            out.push_back(std::move(p));
            return out;
        }

        for (std::size_t i = 0; i < colors && i < 256; ++i)
            st.palette[i] = 0xFF000000u | std::uint32_t(table[i].rgbRed) << 16 |
                            std::uint32_t(table[i].rgbGreen) << 8 | table[i].rgbBlue;
        const std::uint8_t* src[4] = {bits, reinterpret_cast<const std::uint8_t*>(st.palette),
                                      nullptr, nullptr};
        int src_stride[4] = {int(stride), 0, 0, 0};
        if (dib->biHeight > 0) {
            src[0] = bits + std::size_t(rows - 1) * stride;
            src_stride[0] = -int(stride);
        }
        AVCodecContext* ctx = st.ctx.get();
        SwsContext* sws =
            sws_getCachedContext(st.sws.release(), dib->biWidth, rows, st.input_format, ctx->width,
                                 ctx->height, ctx->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
        st.sws.reset(sws);
        if (!sws)
            return make_error(ErrorCode::Unsupported, "cannot convert pictures for this encoder");
        if (av_frame_make_writable(st.picture.get()) < 0)
            return make_error(ErrorCode::CodecFailed, "out of memory");
        sws_scale(sws, src, src_stride, 0, rows, st.picture->data, st.picture->linesize);
        st.picture->pts = st.next_pts++;
        st.picture->quality = ctx->global_quality;  // MPEG-style encoders read the quantiser here
        if (const int rc = avcodec_send_frame(ctx, st.picture.get()); rc < 0)
            return make_error(ErrorCode::CodecFailed, "encoding failed: " + av_error_text(rc));
        if (Status s = collect(ctx, st.packet.get(), out); !s) return s.error();
        return out;
    });
}

Result<std::vector<EncodedPacket>> VideoEncoder::finish() {
    return guarded([&]() -> Result<std::vector<EncodedPacket>> {
        State& st = *state_;
        std::vector<EncodedPacket> out;
        if (st.full_frames) return out;
        avcodec_send_frame(st.ctx.get(), nullptr);
        if (Status s = collect(st.ctx.get(), st.packet.get(), out); !s) return s.error();
        return out;
    });
}

}  // namespace vfw::codec
