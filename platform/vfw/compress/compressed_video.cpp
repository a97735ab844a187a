#include "vfw/compress/compressed_video.h"

#include <algorithm>
#include <cstring>

#include "vfw/codec/codec_catalog.h"
#include "vfw/compress/find_sample.h"

namespace vfw::compress {

CompressedVideo::~CompressedVideo() {
    encoder_.reset();
    if (frames_) AVIStreamGetFrameClose(frames_);
    if (source_) AVIStreamRelease(source_);
}

HRESULT CompressedVideo::open(PAVISTREAM source, const AVICOMPRESSOPTIONS& options,
                              std::unique_ptr<CompressedVideo>& out) {
    std::unique_ptr<CompressedVideo> s(new CompressedVideo());
    if (AVIStreamInfoA(source, &s->info_, sizeof s->info_) != AVIERR_OK) return AVIERR_BADHANDLE;
    if (s->info_.fccType != streamtypeVIDEO) return AVIERR_UNSUPPORTED;
    const DWORD handler = options.fccHandler ? options.fccHandler : codec::kFullFramesFourcc;
    if (!codec::find_video_compressor(handler)) return AVIERR_NOCOMPRESSOR;
    AVIStreamAddRef(source);
    s->source_ = source;

    LONG size = 0;
    if (AVIStreamReadFormat(source, 0, nullptr, &size) != AVIERR_OK ||
        size < LONG(sizeof(BITMAPINFOHEADER)))
        return AVIERR_BADFORMAT;
    std::vector<std::uint8_t> format(std::size_t(size), 0);
    if (AVIStreamReadFormat(source, 0, format.data(), &size) != AVIERR_OK) return AVIERR_BADFORMAT;
    BITMAPINFOHEADER stream;
    std::memcpy(&stream, format.data(), sizeof stream);
    // The encoders take RGB; 24 bits keeps every source's colours.
    s->input_ = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER),
                                 stream.biWidth,
                                 std::abs(stream.biHeight),
                                 1,
                                 24,
                                 BI_RGB,
                                 0,
                                 0,
                                 0,
                                 0,
                                 0};
    s->frames_ = AVIStreamGetFrameOpen(source, &s->input_);
    if (!s->frames_) return AVIERR_UNSUPPORTED;

    codec::VideoEncoderSettings& set = s->settings_;
    set.fourcc = handler;
    set.quality = options.dwQuality > ICQUALITY_HIGH ? -1 : std::int32_t(options.dwQuality);
    if (options.dwFlags & AVICOMPRESSF_KEYFRAMES) set.key_frame_every = options.dwKeyFrameEvery;
    if (options.dwFlags & AVICOMPRESSF_DATARATE) set.bytes_per_second = options.dwBytesPerSecond;
    set.rate = s->info_.dwRate ? s->info_.dwRate : 25;
    set.scale = s->info_.dwScale ? s->info_.dwScale : 1;
    if (HRESULT hr = s->restart(); hr != AVIERR_OK) return hr;

    const BITMAPINFOHEADER& coded = s->encoder_->output_header();
    s->info_.fccHandler = handler;
    s->info_.dwQuality = set.quality < 0 ? DWORD(ICQUALITY_DEFAULT) : DWORD(set.quality);
    s->info_.dwSuggestedBufferSize = 0;
    s->info_.dwSampleSize = 0;
    s->info_.dwStart = 0;
    s->info_.dwLength = DWORD(std::max<LONG>(AVIStreamLength(source), 0));
    s->info_.rcFrame = RECT{0, 0, coded.biWidth, std::abs(coded.biHeight)};
    s->info_.dwEditCount = 0;
    s->info_.dwFormatChangeCount = 0;
    out = std::move(s);
    return AVIERR_OK;
}

HRESULT CompressedVideo::restart() {
    encoder_.reset();
    auto opened = codec::VideoEncoder::open(input_, settings_);
    if (!opened)
        return opened.error().code == codec::ErrorCode::BadFormat ? AVIERR_BADFORMAT
                                                                  : AVIERR_UNSUPPORTED;
    encoder_ = opened.take();
    fed_ = 0;
    flushed_ = false;
    first_held_ = 0;
    held_.clear();
    return AVIERR_OK;
}

bool CompressedVideo::produce(std::int64_t pos) {
    if (pos < first_held_ && restart() != AVIERR_OK) return false;
    // Samples before pos are never asked for again in a forward run.
    while (!held_.empty() && first_held_ < pos) {
        held_.pop_front();
        ++first_held_;
    }
    const std::int64_t length = info_.dwLength;
    while (first_held_ + std::int64_t(held_.size()) <= pos) {
        if (flushed_) return false;
        const bool more = fed_ < length;
        const BITMAPINFOHEADER* picture = nullptr;
        if (more) {
            picture = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames_, LONG(fed_)));
            if (!picture) return false;
        }
        codec::Result<std::vector<codec::EncodedPacket>> got =
            more ? encoder_->encode(picture) : encoder_->finish();
        if (!got) return false;
        if (more)
            ++fed_;
        else
            flushed_ = true;
        for (codec::EncodedPacket& p : got.value()) {
            const std::size_t at = std::size_t(first_held_ + std::int64_t(held_.size()));
            if (keys_.size() <= at) keys_.resize(at + 1);
            keys_[at] = p.key;
            held_.push_back(std::move(p));
        }
        while (!held_.empty() && first_held_ < pos) {
            held_.pop_front();
            ++first_held_;
        }
    }
    return true;
}

HRESULT CompressedVideo::read(LONG start, LONG samples, LPVOID buffer, LONG cb, LONG* bytes,
                              LONG* samples_read) {
    if (cb < 0 || (samples < 0 && samples != AVISTREAMREAD_CONVENIENT)) return AVIERR_BADPARAM;
    if (start < 0 || DWORD(start) >= info_.dwLength) return AVIERR_NODATA;
    if (samples == 0) return AVIERR_OK;
    if (!produce(start)) return AVIERR_CANTCOMPRESS;
    const std::vector<std::uint8_t>& data = held_.front().data;
    const LONG size = LONG(data.size());
    info_.dwSuggestedBufferSize = std::max<DWORD>(info_.dwSuggestedBufferSize, DWORD(size));
    if (bytes) *bytes = size;
    if (!buffer) {
        if (samples_read) *samples_read = 1;
        return AVIERR_OK;
    }
    if (cb < size) return AVIERR_BUFFERTOOSMALL;
    std::memcpy(buffer, data.data(), data.size());
    if (samples_read) *samples_read = 1;
    return AVIERR_OK;
}

LONG CompressedVideo::find_sample(LONG pos, LONG flags) {
    // Key flags are known once a sample is encoded: encode up to the answer.
    return compress::find_sample(pos, flags, LONG(info_.dwLength), [this](LONG i) {
        if (std::int64_t(keys_.size()) <= i && !produce(i)) return -1;
        return keys_[std::size_t(i)] ? 1 : 0;
    });
}

}  // namespace vfw::compress
