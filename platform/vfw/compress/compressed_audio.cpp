#include "vfw/compress/compressed_audio.h"

#include <algorithm>
#include <cstring>

#include "vfw/codec/codec_catalog.h"
#include "vfw/codec/wave_format.h"
#include "vfw/compress/find_sample.h"

namespace vfw::compress {

namespace {

// Source bytes pulled per step: big enough to keep the codecs busy, small
// enough that a long stream never sits in memory.
constexpr LONG kPullBytes = 64 * 1024;

}  // namespace

CompressedAudio::~CompressedAudio() {
    encoder_.reset();
    decoder_.reset();
    if (source_) AVIStreamRelease(source_);
}

HRESULT CompressedAudio::open(PAVISTREAM source, const AVICOMPRESSOPTIONS& options,
                              std::unique_ptr<CompressedAudio>& out) {
    std::unique_ptr<CompressedAudio> s(new CompressedAudio());
    AVISTREAMINFOA src{};
    if (AVIStreamInfoA(source, &src, sizeof src) != AVIERR_OK) return AVIERR_BADHANDLE;
    if (src.fccType != streamtypeAUDIO) return AVIERR_UNSUPPORTED;
    AVIStreamAddRef(source);
    s->source_ = source;
    s->source_sample_size_ = src.dwSampleSize;
    s->source_length_ = std::max<LONG>(AVIStreamLength(source), 0);

    LONG size = 0;
    if (AVIStreamReadFormat(source, 0, nullptr, &size) != AVIERR_OK || size < 16)
        return AVIERR_BADFORMAT;
    s->source_format_.assign(std::size_t(size), 0);
    if (AVIStreamReadFormat(source, 0, s->source_format_.data(), &size) != AVIERR_OK)
        return AVIERR_BADFORMAT;
    auto source_format = codec::parse_wave_format(s->source_format_);
    if (!source_format) return AVIERR_BADFORMAT;
    const WAVEFORMATEX& in = source_format.value().header;

    if (options.lpFormat && options.cbFormat >= 16) {
        std::memcpy(&s->target_, options.lpFormat,
                    std::min<std::size_t>(options.cbFormat, sizeof s->target_));
        if (options.cbFormat < sizeof(WAVEFORMATEX)) s->target_.cbSize = 0;
    } else {
        s->target_ = codec::make_pcm_format(in.nSamplesPerSec, in.nChannels, 16);
    }
    if (!codec::find_audio_format(s->target_.wFormatTag)) return AVIERR_NOCOMPRESSOR;
    if (HRESULT hr = s->restart(); hr != AVIERR_OK) return hr;

    const WAVEFORMATEX& coded = s->encoder_->output_header();
    s->block_ = std::max<std::uint32_t>(coded.nBlockAlign, 1);
    AVISTREAMINFOA& info = s->info_;
    info = src;
    info.fccHandler = 0;
    info.dwScale = s->block_;
    info.dwRate = std::max<DWORD>(coded.nAvgBytesPerSec, 1);
    info.dwSampleSize = s->block_;
    info.dwStart = 0;
    info.dwInitialFrames = 0;
    info.dwSuggestedBufferSize = 0;
    info.dwQuality = options.dwQuality;
    info.rcFrame = RECT{0, 0, 0, 0};
    info.dwEditCount = 0;
    info.dwFormatChangeCount = 0;
    const double seconds = src.dwRate ? double(s->source_length_) * src.dwScale / src.dwRate : 0.0;
    info.dwLength = DWORD(seconds * info.dwRate / info.dwScale + 0.5);
    out = std::move(s);
    return AVIERR_OK;
}

HRESULT CompressedAudio::restart() {
    encoder_.reset();
    decoder_.reset();
    auto decoder = codec::AudioDecoder::open(source_format_);
    if (!decoder) return AVIERR_UNSUPPORTED;
    auto encoder = codec::AudioEncoder::open(decoder.value()->output_format(), target_);
    if (!encoder)
        return encoder.error().code == codec::ErrorCode::BadFormat ? AVIERR_BADFORMAT
                                                                   : AVIERR_UNSUPPORTED;
    decoder_ = decoder.take();
    encoder_ = encoder.take();
    source_pos_ = 0;
    base_ = 0;
    held_.clear();
    ended_ = false;
    return AVIERR_OK;
}

bool CompressedAudio::pull_source() {
    std::vector<codec::EncodedPacket> packets;
    pcm_.clear();
    if (source_pos_ >= source_length_) {
        if (!decoder_->finish(pcm_) || !encoder_->encode(pcm_, packets) ||
            !encoder_->finish(packets))
            return false;
        ended_ = true;
    } else {
        LONG want =
            source_sample_size_ ? std::max<LONG>(kPullBytes / LONG(source_sample_size_), 1) : 1;
        want = std::min(want, source_length_ - source_pos_);
        LONG bytes = 0, samples = 0;
        if (AVIStreamRead(source_, source_pos_, want, nullptr, 0, &bytes, &samples) != AVIERR_OK)
            return false;
        chunk_.resize(std::size_t(std::max<LONG>(bytes, 0)));
        if (AVIStreamRead(source_, source_pos_, want, chunk_.data(), bytes, &bytes, &samples) !=
                AVIERR_OK ||
            samples <= 0)
            return false;
        source_pos_ += samples;
        if (!decoder_->decode(chunk_, pcm_) || !encoder_->encode(pcm_, packets)) return false;
    }
    for (const codec::EncodedPacket& p : packets)
        held_.insert(held_.end(), p.data.begin(), p.data.end());
    if (ended_) info_.dwLength = DWORD((base_ + held_.size()) / block_);
    return true;
}

bool CompressedAudio::produce(std::uint64_t bytes) {
    while (base_ + held_.size() < bytes && !ended_)
        if (!pull_source()) return false;
    return true;
}

HRESULT CompressedAudio::read(LONG start, LONG samples, LPVOID buffer, LONG cb, LONG* bytes,
                              LONG* samples_read) {
    if (cb < 0 || (samples < 0 && samples != AVISTREAMREAD_CONVENIENT)) return AVIERR_BADPARAM;
    if (start < 0) return AVIERR_NODATA;
    const std::uint64_t from = std::uint64_t(start) * block_;
    if (from < base_ && restart() != AVIERR_OK) return AVIERR_CANTCOMPRESS;
    // What lies before the start is never asked for again in a forward run.
    const std::size_t drop = std::size_t(std::min<std::uint64_t>(from - base_, held_.size()));
    held_.erase(held_.begin(), held_.begin() + std::ptrdiff_t(drop));
    base_ += drop;
    if (samples == AVISTREAMREAD_CONVENIENT)
        samples = LONG(std::max<std::uint32_t>(kPullBytes / block_, 1));
    if (samples == 0) return AVIERR_OK;
    const std::uint64_t want = std::uint64_t(samples) * block_;
    if (!produce(from + want)) return AVIERR_CANTCOMPRESS;
    if (from >= base_ + held_.size()) return AVIERR_NODATA;
    const std::uint64_t have =
        std::min<std::uint64_t>(want, base_ + held_.size() - from) / block_ * block_;
    if (have == 0) return AVIERR_NODATA;
    if (bytes) *bytes = LONG(have);
    if (samples_read) *samples_read = LONG(have / block_);
    if (!buffer) return AVIERR_OK;
    if (std::uint64_t(cb) < have) {
        if (samples_read) *samples_read = 0;
        return AVIERR_BUFFERTOOSMALL;
    }
    std::memcpy(buffer, held_.data() + (from - base_), std::size_t(have));
    info_.dwSuggestedBufferSize = std::max<DWORD>(info_.dwSuggestedBufferSize, DWORD(have));
    return AVIERR_OK;
}

LONG CompressedAudio::find_sample(LONG pos, LONG flags) {
    // Every block of sound stands alone: each sample is a key sample.
    return compress::find_sample(pos, flags, LONG(info_.dwLength), [](LONG) { return 1; });
}

}  // namespace vfw::compress
