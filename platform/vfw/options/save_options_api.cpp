// AVISaveOptions and AVISaveOptionsFree: one chooser per stream, video or
// audio; the blocks the choosers attach are released by the free call.
#include <cstdlib>

#include "commctrl.h"
#include "vfw/options/audio_dialog.h"
#include "vfw/options/video_dialog.h"

INT_PTR WINAPI AVISaveOptions(HWND hwnd, UINT uiFlags, int nStreams, PAVISTREAM* ppavi,
                              LPAVICOMPRESSOPTIONS* plpOptions) {
    if (nStreams <= 0 || !ppavi || !plpOptions) return AVIERR_BADPARAM;
    for (int i = 0; i < nStreams; ++i)
        if (!plpOptions[i]) return AVIERR_BADPARAM;
    InitCommonControls();
    for (int i = 0; i < nStreams; ++i) {
        AVISTREAMINFOA info{};
        if (AVIStreamInfoA(ppavi[i], &info, sizeof info) != AVIERR_OK) return AVIERR_BADHANDLE;
        bool ok = false;
        if (info.fccType == streamtypeVIDEO)
            ok = vfw::options::run_video_dialog(hwnd, uiFlags, ppavi[i], *plpOptions[i]);
        else if (info.fccType == streamtypeAUDIO)
            ok = vfw::options::run_audio_dialog(hwnd, ppavi[i], *plpOptions[i]);
        else
            continue;  // other streams are saved as they are
        if (!ok) return FALSE;
    }
    return TRUE;
}

HRESULT WINAPI AVISaveOptionsFree(int nStreams, LPAVICOMPRESSOPTIONS* plpOptions) {
    if (nStreams < 0 || (nStreams > 0 && !plpOptions)) return AVIERR_BADPARAM;
    for (int i = 0; i < nStreams; ++i) {
        AVICOMPRESSOPTIONS* o = plpOptions[i];
        if (!o) continue;
        std::free(o->lpFormat);
        std::free(o->lpParms);
        o->lpFormat = nullptr;
        o->cbFormat = 0;
        o->lpParms = nullptr;
        o->cbParms = 0;
    }
    return AVIERR_OK;
}
