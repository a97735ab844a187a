// AVIFile calls on streams: reference counts, records, positions, sample
// search and formats.
#include <algorithm>
#include <cstring>

#include "vfw/avifile/guard.h"
#include "vfw/avifile/objects.h"

using namespace vfw;

ULONG WINAPI AVIStreamAddRef(PAVISTREAM pavi) {
    StreamObject* stream = lookup(pavi);
    return stream ? ++stream->refs : 0;
}

ULONG WINAPI AVIStreamRelease(PAVISTREAM pavi) { return release_stream(pavi); }

static HRESULT AVIStreamInfoA_body(PAVISTREAM pavi, LPAVISTREAMINFOA psi, LONG lSize) {
    StreamHandler* handler = handler_of(pavi);
    StreamRef ref = resolve(pavi);
    if (!ref && !handler) return AVIERR_BADHANDLE;
    if (!psi) return AVIERR_BADPARAM;
    if (lSize < 0) return AVIERR_BADSIZE;
    const AVISTREAMINFOA& info = handler ? handler->info() : current_info(ref);
    std::memcpy(psi, &info, std::min<std::size_t>(std::size_t(lSize), sizeof(AVISTREAMINFOA)));
    return AVIERR_OK;
}

HRESULT WINAPI AVIStreamInfoA(PAVISTREAM pavi, LPAVISTREAMINFOA psi, LONG lSize) {
    return guard_call(AVIERR_MEMORY, [&] { return AVIStreamInfoA_body(pavi, psi, lSize); });
}

LONG WINAPI AVIStreamStart(PAVISTREAM pavi) {
    if (StreamHandler* handler = handler_of(pavi)) return LONG(handler->info().dwStart);
    StreamRef ref = resolve(pavi);
    return ref ? LONG(current_info(ref).dwStart) : -1;
}

LONG WINAPI AVIStreamLength(PAVISTREAM pavi) {
    if (StreamHandler* handler = handler_of(pavi)) return LONG(handler->info().dwLength);
    StreamRef ref = resolve(pavi);
    return ref ? LONG(current_info(ref).dwLength) : -1;
}

static LONG AVIStreamFindSample_body(PAVISTREAM pavi, LONG lPos, LONG lFlags) {
    if (StreamHandler* handler = handler_of(pavi)) return handler->find_sample(lPos, lFlags);
    StreamRef ref = resolve(pavi);
    if (!ref) return -1;
    ReadStream* stream = ref.read();
    if (!stream) return -1;
    const SampleMap& map = stream->samples;
    std::int64_t pos = lPos;
    bool backwards = (lFlags & FIND_PREV) != 0;
    if (lFlags & FIND_FROM_START) {
        pos = 0;
        backwards = false;
    }
    std::int64_t found = -1;
    switch (lFlags & FIND_TYPE) {
        case FIND_KEY:
            found = backwards ? map.key_at_or_before(pos) : map.key_at_or_after(pos);
            break;
        case FIND_FORMAT:
            // One format for the whole stream, in force from its first sample.
            found = map.length() == 0 ? -1 : backwards ? (pos >= 0 ? 0 : -1) : (pos <= 0 ? 0 : -1);
            break;
        default:
            if (map.length() == 0) break;
            if (backwards)
                found = pos < 0 ? -1 : std::min<std::int64_t>(pos, map.length() - 1);
            else
                found = pos >= map.length() ? -1 : std::max<std::int64_t>(pos, 0);
            break;
    }
    if (found < 0) return -1;

    std::size_t entry;
    std::uint64_t byte;
    switch (lFlags & FIND_RET) {
        case FIND_POS:
            return LONG(found);
        case FIND_LENGTH:
        case FIND_SIZE:
            if (!map.locate(found, entry, byte)) return -1;
            return map.fixed_size() ? LONG(map.sample_size()) : LONG(map.entry(entry).size);
        case FIND_OFFSET:
            if (!map.locate(found, entry, byte)) return -1;
            if (map.entry(entry).offset + byte > 0x7FFFFFFF) return -1;
            return LONG(map.entry(entry).offset + byte);
        case FIND_INDEX:
            if (!map.locate(found, entry, byte)) return -1;
            return LONG(std::min<std::size_t>(entry, 0x7FFFFFFF));
        default:
            return -1;
    }
}

LONG WINAPI AVIStreamFindSample(PAVISTREAM pavi, LONG lPos, LONG lFlags) {
    return guard_call(LONG(-1), [&] { return AVIStreamFindSample_body(pavi, lPos, lFlags); });
}

static HRESULT AVIStreamReadFormat_body(PAVISTREAM pavi, LONG, LPVOID lpFormat, LONG* lpcbFormat) {
    StreamHandler* handler = handler_of(pavi);
    StreamRef ref = resolve(pavi);
    if (!ref && !handler) return AVIERR_BADHANDLE;
    if (!lpcbFormat) return AVIERR_BADPARAM;
    const std::vector<std::uint8_t>& format = handler      ? handler->format()
                                              : ref.read() ? ref.read()->data->format
                                                           : ref.write()->format;
    LONG full = LONG(std::min<std::size_t>(format.size(), 0x7FFFFFFF));
    if (!lpFormat) {
        *lpcbFormat = full;
        return AVIERR_OK;
    }
    LONG room = std::max<LONG>(*lpcbFormat, 0);
    // An empty format has no bytes to copy (and no data pointer to copy from).
    if (std::min(room, full) > 0)
        std::memcpy(lpFormat, format.data(), std::size_t(std::min(room, full)));
    // The full size goes back even when the buffer was short, so that a
    // second call can read it all.
    *lpcbFormat = full;
    return room < full ? AVIERR_BUFFERTOOSMALL : AVIERR_OK;
}

HRESULT WINAPI AVIStreamReadFormat(PAVISTREAM pavi, LONG lPos, LPVOID lpFormat, LONG* lpcbFormat) {
    return guard_call(AVIERR_MEMORY,
                      [&] { return AVIStreamReadFormat_body(pavi, lPos, lpFormat, lpcbFormat); });
}

static HRESULT AVIStreamSetFormat_body(PAVISTREAM pavi, LONG, LPVOID lpFormat, LONG cbFormat) {
    StreamRef ref = resolve(pavi);
    if (!ref) return AVIERR_BADHANDLE;
    WriteStream* stream = ref.write();
    if (!stream) return AVIERR_READONLY;
    if (!lpFormat || cbFormat <= 0) return AVIERR_BADPARAM;
    auto* bytes = static_cast<const std::uint8_t*>(lpFormat);
    riff::AviWriter& writer = *ref.file->writer;
    if (writer.is_laid_out()) {
        // Once data is written the header is fixed; repeating the same format is harmless.
        bool same = stream->format.size() == std::size_t(cbFormat) &&
                    std::equal(stream->format.begin(), stream->format.end(), bytes);
        return same ? AVIERR_OK : AVIERR_UNSUPPORTED;
    }
    if (HRESULT hr =
            to_avierr(writer.set_format(stream->writer_index, bytes, std::size_t(cbFormat)));
        hr != AVIERR_OK)
        return hr;
    stream->format.assign(bytes, bytes + cbFormat);
    if (stream->info.fccType == streamtypeVIDEO && cbFormat >= LONG(sizeof(BITMAPINFOHEADER))) {
        BITMAPINFOHEADER bi;
        std::memcpy(&bi, bytes, sizeof bi);
        bool raw = bi.biCompression == BI_RGB || bi.biCompression == BI_BITFIELDS;
        (void)writer.set_chunk_type(stream->writer_index,
                                    raw ? cktypeDIBbits : cktypeDIBcompressed);
        riff::StreamHeader h = writer.header(stream->writer_index);
        if (!h.frame_left && !h.frame_top && !h.frame_right && !h.frame_bottom) {
            h.frame_right = std::int16_t(std::clamp<LONG>(bi.biWidth, 0, INT16_MAX));
            h.frame_bottom = std::int16_t(
                std::clamp<LONG>(bi.biHeight < 0 ? -bi.biHeight : bi.biHeight, 0, INT16_MAX));
            stream->info.rcFrame = {0, 0, h.frame_right, h.frame_bottom};
            (void)writer.set_header(stream->writer_index, h);
        }
    }
    return AVIERR_OK;
}

HRESULT WINAPI AVIStreamSetFormat(PAVISTREAM pavi, LONG lPos, LPVOID lpFormat, LONG cbFormat) {
    return guard_call(AVIERR_MEMORY,
                      [&] { return AVIStreamSetFormat_body(pavi, lPos, lpFormat, cbFormat); });
}
