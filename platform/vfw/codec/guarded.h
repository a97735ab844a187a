// Keeps exceptions (in practice std::bad_alloc on a huge or hostile format) from
// leaving the library: the public entry points run their bodies through guarded().
#pragma once

#include <exception>
#include <new>

#include "vfw/codec/codec_result.h"

namespace vfw::codec {

template <typename F>
auto guarded(F&& body) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return make_error(ErrorCode::CodecFailed, "out of memory");
    } catch (const std::exception& e) {
        return make_error(ErrorCode::CodecFailed, e.what());
    }
}

}  // namespace vfw::codec
