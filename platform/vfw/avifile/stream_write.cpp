// AVIStreamWrite: samples are appended at the stream's end only; a write
// that starts anywhere else stores nothing.
#include "vfw/avifile/guard.h"
#include "vfw/avifile/objects.h"

using namespace vfw;

static HRESULT AVIStreamWrite_body(PAVISTREAM pavi, LONG lStart, LONG lSamples, LPVOID lpBuffer,
                                   LONG cbBuffer, DWORD dwFlags, LONG* plSampWritten,
                                   LONG* plBytesWritten) {
    if (plSampWritten) *plSampWritten = 0;
    if (plBytesWritten) *plBytesWritten = 0;
    StreamRef ref = resolve(pavi);
    if (!ref) return AVIERR_BADHANDLE;
    WriteStream* stream = ref.write();
    if (!stream) return AVIERR_READONLY;
    if (cbBuffer < 0 || lSamples < 0 || (cbBuffer > 0 && !lpBuffer)) return AVIERR_BADPARAM;
    if (stream->format.empty()) return AVIERR_BADFORMAT;  // the format comes first
    const AVISTREAMINFOA& info = current_info(ref);
    if (lStart != -1 && DWORD(lStart) != info.dwLength) return AVIERR_UNSUPPORTED;

    LONG samples = 1;
    if (info.dwSampleSize) {
        if (DWORD(cbBuffer) % info.dwSampleSize != 0) return AVIERR_BADSIZE;
        samples = LONG(DWORD(cbBuffer) / info.dwSampleSize);
    }
    riff::Error e = ref.file->writer->write_sample(
        stream->writer_index, lpBuffer, std::uint32_t(cbBuffer), (dwFlags & AVIIF_KEYFRAME) != 0);
    if (!riff::ok(e)) return to_avierr(e);
    if (plSampWritten) *plSampWritten = samples;
    if (plBytesWritten) *plBytesWritten = cbBuffer;
    return AVIERR_OK;
}

HRESULT WINAPI AVIStreamWrite(PAVISTREAM pavi, LONG lStart, LONG lSamples, LPVOID lpBuffer,
                              LONG cbBuffer, DWORD dwFlags, LONG* plSampWritten,
                              LONG* plBytesWritten) {
    return guard_call(AVIERR_MEMORY, [&] {
        return AVIStreamWrite_body(pavi, lStart, lSamples, lpBuffer, cbBuffer, dwFlags,
                                   plSampWritten, plBytesWritten);
    });
}
