// AVIMakeCompressedStream: a stream over the source that delivers its
// samples compressed as the options record says.
#include "vfw/compress/compressed_audio.h"
#include "vfw/compress/compressed_video.h"
#include "vfw/compress/make_compressed.h"

namespace vfw::compress {

HRESULT make_compressed(PAVISTREAM source, const AVICOMPRESSOPTIONS& options, PAVISTREAM& out) {
    out = nullptr;
    AVISTREAMINFOA info{};
    if (AVIStreamInfoA(source, &info, sizeof info) != AVIERR_OK) return AVIERR_BADHANDLE;
    std::unique_ptr<StreamHandler> handler;
    if (info.fccType == streamtypeVIDEO) {
        std::unique_ptr<CompressedVideo> video;
        if (HRESULT hr = CompressedVideo::open(source, options, video); hr != AVIERR_OK) return hr;
        handler = std::move(video);
    } else if (info.fccType == streamtypeAUDIO) {
        std::unique_ptr<CompressedAudio> audio;
        if (HRESULT hr = CompressedAudio::open(source, options, audio); hr != AVIERR_OK) return hr;
        handler = std::move(audio);
    } else {
        return AVIERR_UNSUPPORTED;
    }
    out = add_handler_stream(std::move(handler));
    return out ? AVIERR_OK : AVIERR_MEMORY;
}

}  // namespace vfw::compress

HRESULT WINAPI AVIMakeCompressedStream(PAVISTREAM* ppsCompressed, PAVISTREAM psSource,
                                       LPAVICOMPRESSOPTIONS lpOptions, LPCLSID) {
    if (!ppsCompressed) return AVIERR_BADPARAM;
    *ppsCompressed = nullptr;
    if (!lpOptions) return AVIERR_BADPARAM;
    return vfw::compress::make_compressed(psSource, *lpOptions, *ppsCompressed);
}
