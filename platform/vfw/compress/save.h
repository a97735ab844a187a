// The work of AVISaveA: a new AVI file from (stream, options) pairs.
#pragma once

#include <span>

#include "vfw.h"

namespace vfw::compress {

struct SaveItem {
    PAVISTREAM stream = nullptr;
    const AVICOMPRESSOPTIONS* options = nullptr;
};

// Streams that are already compressing streams are copied as they are; other
// streams are compressed when their options name a compressor (video) or a
// format (audio), else copied sample for sample. The file is complete or
// absent: on any failure nothing is left at `path` that was not there before.
[[nodiscard]] HRESULT save(const char* path, std::span<const SaveItem> items,
                           AVISAVECALLBACK callback);

}  // namespace vfw::compress
