// No exception leaves the library's C calls: a bad_alloc from a hostile header
// or index becomes the call's error result.
#pragma once

namespace vfw {

template <typename T, typename F>
T guard_call(T on_failure, F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return on_failure;
    }
}

}  // namespace vfw
