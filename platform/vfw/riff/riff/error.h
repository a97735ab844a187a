// Errors of the container layer, as values.
#pragma once

namespace vfw::riff {

enum class [[nodiscard]] Error {
    None,
    BadFormat,    // not an AVI file, or a structure that cannot be made sense of
    FileOpen,     // the path cannot be opened or created
    FileRead,     // a read failed or ran past the end of the file
    FileWrite,    // a write failed (disk full, closed file)
    Unsupported,  // valid request the container cannot honour (too many parts, late format)
    BadParam,     // a caller's argument is out of range
};

inline bool ok(Error e) { return e == Error::None; }

}  // namespace vfw::riff
