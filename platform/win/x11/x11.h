// The X11 display: every top-level window and popup becomes an X window.
#pragma once

#include <string>

namespace win::x11 {

struct [[nodiscard]] InstallResult {
    std::string error;  // empty when it worked; otherwise says what to do
    bool ok() const { return error.empty(); }
};

// Connects to display_name (null: $DISPLAY) and makes it the window
// system's display. On failure nothing changes and the error explains how
// to get a display.
InstallResult install(const char* display_name = nullptr);

}  // namespace win::x11
