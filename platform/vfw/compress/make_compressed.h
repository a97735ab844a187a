// The compressing streams behind AVIMakeCompressedStream, for the save call.
#pragma once

#include "vfw.h"

namespace vfw::compress {

// A new stream handle (one reference) delivering source compressed per options.
[[nodiscard]] HRESULT make_compressed(PAVISTREAM source, const AVICOMPRESSOPTIONS& options,
                                      PAVISTREAM& out);

}  // namespace vfw::compress
