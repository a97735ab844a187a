// AVIStreamRead: one sample of a chunked stream, or a run of fixed-size
// samples that may span several chunks. A missing or short buffer learns
// how many bytes the read needs; nothing is read past the stream's end.
#include <algorithm>

#include "avifile/guard.h"
#include "avifile/objects.h"

using namespace vfw;

namespace {

void report(LONG* plBytes, LONG* plSamples, std::int64_t bytes, std::int64_t samples) {
    if (plBytes) *plBytes = LONG(bytes);
    if (plSamples) *plSamples = LONG(samples);
}

}  // namespace

static HRESULT AVIStreamRead_body(PAVISTREAM pavi, LONG lStart, LONG lSamples, LPVOID lpBuffer, LONG cbBuffer,
                             LONG* plBytes, LONG* plSamples) {
    report(plBytes, plSamples, 0, 0);
    if (StreamHandler* handler = handler_of(pavi))
        return handler->read(lStart, lSamples, lpBuffer, cbBuffer, plBytes, plSamples);
    StreamRef ref = resolve(pavi);
    if (!ref) return AVIERR_BADHANDLE;
    ReadStream* stream = ref.read();
    if (!stream) return AVIERR_UNSUPPORTED;
    if (cbBuffer < 0 || (lSamples < 0 && lSamples != AVISTREAMREAD_CONVENIENT)) return AVIERR_BADPARAM;
    const SampleMap& map = stream->samples;
    if (lStart < 0 || lStart >= map.length()) return AVIERR_NODATA;
    if (lSamples == 0) return AVIERR_OK;
    auto* out = static_cast<std::uint8_t*>(lpBuffer);
    const riff::AviReader& reader = *ref.file->reader;

    if (!map.fixed_size()) {
        const riff::IndexEntry& e = map.entry(std::size_t(lStart));
        if (!out) {
            report(plBytes, plSamples, e.size, 1);
            return AVIERR_OK;
        }
        if (std::uint64_t(cbBuffer) < e.size) {
            report(plBytes, plSamples, e.size, 0);
            return AVIERR_BUFFERTOOSMALL;
        }
        if (!riff::ok(reader.read_chunk(e, out))) return AVIERR_FILEREAD;
        report(plBytes, plSamples, e.size, 1);
        return AVIERR_OK;
    }

    const std::int64_t size = map.sample_size();
    std::int64_t count = lSamples == AVISTREAMREAD_CONVENIENT ? map.samples_left_in_chunk(lStart)
                                                              : std::min<std::int64_t>(lSamples, map.length() - lStart);
    count = std::min<std::int64_t>(count, 0x7FFFFFFF / size);  // the byte count must fit a LONG
    if (count <= 0) return AVIERR_NODATA;
    const std::int64_t bytes = count * size;
    if (!out) {
        report(plBytes, plSamples, bytes, count);
        return AVIERR_OK;
    }
    if (cbBuffer < bytes) {
        report(plBytes, plSamples, bytes, 0);
        return AVIERR_BUFFERTOOSMALL;
    }
    std::size_t entry;
    std::uint64_t at;
    if (!map.locate(lStart, entry, at)) return AVIERR_NODATA;
    std::int64_t done = 0;
    while (done < bytes) {
        if (entry >= map.entry_count()) return AVIERR_FILEREAD;
        const riff::IndexEntry& e = map.entry(entry);
        std::uint64_t usable = e.size / std::uint64_t(size) * std::uint64_t(size);
        if (at < usable) {
            std::uint64_t take = std::min<std::uint64_t>(usable - at, std::uint64_t(bytes - done));
            riff::IndexEntry part{e.offset + at, std::uint32_t(take), e.key};
            if (!riff::ok(reader.read_chunk(part, out + done))) return AVIERR_FILEREAD;
            done += std::int64_t(take);
        }
        ++entry;
        at = 0;
    }
    report(plBytes, plSamples, bytes, count);
    return AVIERR_OK;
}

HRESULT WINAPI AVIStreamRead(PAVISTREAM pavi, LONG lStart, LONG lSamples, LPVOID lpBuffer,
                             LONG cbBuffer, LONG* plBytes, LONG* plSamples) {
    return guard_call(AVIERR_MEMORY, [&] {
        return AVIStreamRead_body(pavi, lStart, lSamples, lpBuffer, cbBuffer, plBytes, plSamples);
    });
}
