// The open-file state the main dialog holds for its whole life.
#pragma once

#include "mmreg.h"
#include "playback/format_buffer.h"
#include "vfw.h"

struct AviState {
    PAVIFILE aviFile = nullptr;
    AVISTREAMINFOA videoInfo{};
    AVISTREAMINFOA audioInfo{};
    AVIFILEINFOA fileInfo{};
    PAVISTREAM videoStream = nullptr;
    PAVISTREAM audioStream = nullptr;
    PGETFRAME getFrame = nullptr;
    korvane::FormatBuffer<BITMAPINFOHEADER> frameFormat;
    korvane::FormatBuffer<BITMAPINFOHEADER> videoFormat;
    korvane::FormatBuffer<WAVEFORMATEX> audioFormat;
    HRESULT lastResult = 0;
    HRESULT audioResult = 0;
    LONG formatSize = 0;
    LONG firstFrame = 0;
    LONG frameCount = 0;
    int isOpen = 0;
    int audioOpen = 0;
};
