// Streams that belong to no file: other parts of the layer (the compressing
// streams) implement this and hand the result out as a PAVISTREAM, so the
// ordinary stream calls and AVIStreamRelease work on them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vfw.h"

namespace vfw {

class StreamHandler {
  public:
    virtual ~StreamHandler() = default;
    virtual const AVISTREAMINFOA& info() = 0;
    virtual const std::vector<std::uint8_t>& format() = 0;
    // As AVIStreamRead: null buffer or short buffer report the bytes needed.
    virtual HRESULT read(LONG start, LONG samples, LPVOID buffer, LONG cb, LONG* bytes,
                         LONG* samples_read) = 0;
    // As AVIStreamFindSample.
    virtual LONG find_sample(LONG pos, LONG flags) = 0;
};

// A new stream handle holding one reference; the handler lives until the last release.
PAVISTREAM add_handler_stream(std::unique_ptr<StreamHandler> handler);
// The handler behind a live stream handle, null for file streams and stale handles.
StreamHandler* handler_of(PAVISTREAM stream);

}  // namespace vfw
