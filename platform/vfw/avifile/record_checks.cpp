// The Video for Windows records keep their classic sizes and offsets on LP64.
#include <cstddef>

#include "vfw.h"

static_assert(sizeof(AVIFILEINFOA) == 108);
static_assert(offsetof(AVIFILEINFOA, dwCaps) == 8 && offsetof(AVIFILEINFOA, dwStreams) == 12);
static_assert(offsetof(AVIFILEINFOA, dwSuggestedBufferSize) == 16 &&
              offsetof(AVIFILEINFOA, dwWidth) == 20);
static_assert(offsetof(AVIFILEINFOA, dwScale) == 28 && offsetof(AVIFILEINFOA, dwRate) == 32);
static_assert(offsetof(AVIFILEINFOA, dwLength) == 36 && offsetof(AVIFILEINFOA, dwEditCount) == 40);
static_assert(offsetof(AVIFILEINFOA, szFileType) == 44);

static_assert(sizeof(AVISTREAMINFOA) == 140);
static_assert(offsetof(AVISTREAMINFOA, fccHandler) == 4 && offsetof(AVISTREAMINFOA, dwCaps) == 12);
static_assert(offsetof(AVISTREAMINFOA, wPriority) == 16 &&
              offsetof(AVISTREAMINFOA, wLanguage) == 18);
static_assert(offsetof(AVISTREAMINFOA, dwScale) == 20 && offsetof(AVISTREAMINFOA, dwStart) == 28);
static_assert(offsetof(AVISTREAMINFOA, dwLength) == 32 &&
              offsetof(AVISTREAMINFOA, dwInitialFrames) == 36);
static_assert(offsetof(AVISTREAMINFOA, dwSuggestedBufferSize) == 40 &&
              offsetof(AVISTREAMINFOA, dwQuality) == 44);
static_assert(offsetof(AVISTREAMINFOA, dwSampleSize) == 48 &&
              offsetof(AVISTREAMINFOA, rcFrame) == 52);
static_assert(offsetof(AVISTREAMINFOA, dwEditCount) == 68 &&
              offsetof(AVISTREAMINFOA, dwFormatChangeCount) == 72);
static_assert(offsetof(AVISTREAMINFOA, szName) == 76);

static_assert(sizeof(AVICOMPRESSOPTIONS) == 56);
static_assert(offsetof(AVICOMPRESSOPTIONS, dwFlags) == 20 &&
              offsetof(AVICOMPRESSOPTIONS, lpFormat) == 24);
static_assert(offsetof(AVICOMPRESSOPTIONS, cbFormat) == 32 &&
              offsetof(AVICOMPRESSOPTIONS, lpParms) == 40);
static_assert(offsetof(AVICOMPRESSOPTIONS, cbParms) == 48 &&
              offsetof(AVICOMPRESSOPTIONS, dwInterleaveEvery) == 52);

static_assert(AVIERR_BADFORMAT == HRESULT(0x80044066u) && AVIERR_NODATA == HRESULT(0x80044073u));
static_assert(AVIERR_BUFFERTOOSMALL == HRESULT(0x80044074u) &&
              AVIERR_ERROR == HRESULT(0x800440C7u));
static_assert(streamtypeVIDEO == 0x73646976 && streamtypeAUDIO == 0x73647561);
