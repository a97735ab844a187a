// AVISaveA: the streams are read through the ordinary stream calls and
// written interleaved by time through a new file's streams.
#include "vfw/compress/save.h"

#include <algorithm>
#include <cstdarg>
#include <vector>

#include "vfw/avifile/objects.h"
#include "vfw/compress/make_compressed.h"

namespace vfw::compress {

namespace {

// Audio goes out in chunks of about this many seconds.
constexpr double kAudioChunkSeconds = 0.5;

class StreamList {
  public:
    ~StreamList() {
        for (PAVISTREAM s : streams_) AVIStreamRelease(s);
    }
    void add(PAVISTREAM s) { streams_.push_back(s); }
    PAVISTREAM operator[](std::size_t i) const { return streams_[i]; }
    std::size_t size() const { return streams_.size(); }

  private:
    std::vector<PAVISTREAM> streams_;
};

struct Track {
    PAVISTREAM from = nullptr;
    PAVISTREAM to = nullptr;
    AVISTREAMINFOA info{};
    LONG pos = 0;
    LONG per_chunk = 1;
    bool done = false;
    double time() const { return info.dwRate ? double(pos) * info.dwScale / info.dwRate : pos; }
};

bool wants_compression(PAVISTREAM stream, const AVICOMPRESSOPTIONS* options) {
    if (!options || handler_of(stream)) return false;
    AVISTREAMINFOA info{};
    if (AVIStreamInfoA(stream, &info, sizeof info) != AVIERR_OK) return false;
    if (info.fccType == streamtypeVIDEO) return options->fccHandler != 0;
    if (info.fccType == streamtypeAUDIO) return options->lpFormat != nullptr;
    return false;
}

HRESULT copy_chunk(Track& t, std::vector<std::uint8_t>& buffer) {
    LONG bytes = 0, samples = 0;
    HRESULT hr = AVIStreamRead(t.from, t.pos, t.per_chunk, nullptr, 0, &bytes, &samples);
    if (hr == AVIERR_NODATA) {
        t.done = true;
        return AVIERR_OK;
    }
    if (hr != AVIERR_OK) return hr;
    buffer.resize(std::size_t(std::max<LONG>(bytes, 1)));
    hr = AVIStreamRead(t.from, t.pos, t.per_chunk, buffer.data(), LONG(buffer.size()), &bytes,
                       &samples);
    if (hr != AVIERR_OK) return hr;
    if (samples <= 0) {
        t.done = true;
        return AVIERR_OK;
    }
    DWORD flags = 0;
    if (t.info.dwSampleSize || AVIStreamFindSample(t.from, t.pos, FIND_PREV | FIND_KEY) == t.pos)
        flags = AVIIF_KEYFRAME;
    hr = AVIStreamWrite(t.to, -1, samples, buffer.data(), bytes, flags, nullptr, nullptr);
    if (hr != AVIERR_OK) return hr;
    t.pos += samples;
    return AVIERR_OK;
}

HRESULT write_all(PAVIFILE file, const StreamList& sources, AVISAVECALLBACK callback) {
    std::vector<Track> tracks(sources.size());
    StreamList created;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        Track& t = tracks[i];
        t.from = sources[i];
        if (HRESULT hr = AVIStreamInfoA(t.from, &t.info, sizeof t.info); hr != AVIERR_OK) return hr;
        AVISTREAMINFOA header = t.info;
        if (HRESULT hr = AVIFileCreateStreamA(file, &t.to, &header); hr != AVIERR_OK) return hr;
        created.add(t.to);
        LONG size = 0;
        if (HRESULT hr = AVIStreamReadFormat(t.from, 0, nullptr, &size); hr != AVIERR_OK) return hr;
        std::vector<std::uint8_t> format(std::size_t(std::max<LONG>(size, 0)));
        if (HRESULT hr = AVIStreamReadFormat(t.from, 0, format.data(), &size); hr != AVIERR_OK)
            return hr;
        if (HRESULT hr = AVIStreamSetFormat(t.to, 0, format.data(), size); hr != AVIERR_OK)
            return hr;
        if (t.info.dwSampleSize && t.info.dwScale)
            t.per_chunk =
                std::max<LONG>(LONG(kAudioChunkSeconds * t.info.dwRate / t.info.dwScale), 1);
    }

    std::vector<std::uint8_t> buffer;
    int reported = -1;
    for (;;) {
        Track* next = nullptr;
        for (Track& t : tracks)
            if (!t.done && (!next || t.time() < next->time())) next = &t;
        if (!next) break;
        if (HRESULT hr = copy_chunk(*next, buffer); hr != AVIERR_OK) return hr;
        if (callback) {
            double part = 0;
            for (const Track& t : tracks)
                part = std::max(part, t.info.dwLength ? double(t.pos) / t.info.dwLength : 1.0);
            const int percent = std::clamp(int(part * 100), 0, 100);
            if (percent != reported) {
                reported = percent;
                if (callback(percent) != AVIERR_OK) return AVIERR_USERABORT;
            }
        }
    }
    return AVIERR_OK;
}

}  // namespace

HRESULT save(const char* path, std::span<const SaveItem> items, AVISAVECALLBACK callback) {
    if (!path || !*path || items.empty()) return AVIERR_BADPARAM;
    StreamList sources;
    for (const SaveItem& item : items) {
        if (!lookup(item.stream)) return AVIERR_BADHANDLE;
        if (wants_compression(item.stream, item.options)) {
            PAVISTREAM compressed = nullptr;
            if (HRESULT hr = make_compressed(item.stream, *item.options, compressed);
                hr != AVIERR_OK)
                return hr;
            sources.add(compressed);
        } else {
            AVIStreamAddRef(item.stream);
            sources.add(item.stream);
        }
    }

    PAVIFILE file = nullptr;
    if (HRESULT hr = AVIFileOpenA(&file, path, OF_WRITE | OF_CREATE, nullptr); hr != AVIERR_OK)
        return hr;
    HRESULT hr = write_all(file, sources, callback);
    FileObject* object = lookup(file);
    if (!object || !object->writer) {
        hr = hr == AVIERR_OK ? AVIERR_INTERNAL : hr;
    } else if (hr == AVIERR_OK) {
        hr = to_avierr(object->writer->finish());
    } else {
        object->writer.reset();  // removes the unfinished file
    }
    AVIFileRelease(file);
    return hr;
}

}  // namespace vfw::compress

HRESULT AVISaveA(LPCSTR szFile, LPCLSID, AVISAVECALLBACK lpfnCallback, int nStreams,
                 PAVISTREAM pfile, LPAVICOMPRESSOPTIONS lpOptions, ...) {
    if (nStreams <= 0 || nStreams > 64) return AVIERR_BADPARAM;
    std::vector<vfw::compress::SaveItem> items;
    items.push_back({pfile, lpOptions});
    va_list more;
    va_start(more, lpOptions);
    for (int i = 1; i < nStreams; ++i) {
        PAVISTREAM stream = va_arg(more, PAVISTREAM);
        LPAVICOMPRESSOPTIONS options = va_arg(more, LPAVICOMPRESSOPTIONS);
        items.push_back({stream, options});
    }
    va_end(more);
    return vfw::compress::save(szFile, items, lpfnCallback);
}
