// Errors of the container layer, as values.
#pragma once

namespace vfw::riff {

enum class [[nodiscard]] Error{
    None,
    BadFormat,    // not an AVI file, or a structure that cannot be made sense of
    FileOpen,     // the path cannot be opened or created
    FileRead,     // a read failed or ran past the end of the file
    FileWrite,    // a write failed (disk full, closed file)
    Unsupported,  // valid request the container cannot honour (too many parts, late format)
    BadParam,     // a caller's argument is out of range
};

inline bool ok(Error e) { return e == Error::None; }

// Returns from the calling function with the error of a step that failed.
#define RIFF_TRY(step)                                                                    \
    do {                                                                                  \
        if (::vfw::riff::Error riff_try_error = (step); !::vfw::riff::ok(riff_try_error)) \
            return riff_try_error;                                                        \
    } while (0)

// The same, with the error handed to on_error (a function of the error) and
// its result returned.
#define RIFF_TRY_OR(step, on_error)                                                       \
    do {                                                                                  \
        if (::vfw::riff::Error riff_try_error = (step); !::vfw::riff::ok(riff_try_error)) \
            return on_error(riff_try_error);                                              \
    } while (0)

}  // namespace vfw::riff
