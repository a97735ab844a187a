// What the window core asks of a display: show top-level windows and their
// surfaces, and wait for input. Input comes back through input.h.
#pragma once

#include <string>

#include "windef.h"

namespace win {
namespace gdi {
struct Surface;
}

class Backend {
  public:
    virtual ~Backend() = default;
    virtual void window_created(HWND) {}
    virtual void window_destroyed(HWND) {}
    virtual void window_shown(HWND, bool /*visible*/) {}
    virtual void window_iconified(HWND, bool /*iconic*/) {}
    // Screen rectangle of the surface (menu bar and client area).
    virtual void window_moved(HWND, const RECT&) {}
    virtual void title_changed(HWND, const std::string&) {}
    virtual void icon_changed(HWND, HICON) {}
    virtual void capture_changed(HWND) {}
    // Copies the dirty part of a top-level window's surface to the screen.
    virtual void present(HWND, const gdi::Surface&, const RECT& /*dirty*/) {}
    // Waits up to timeout_ms (negative: no limit) for input and feeds it to
    // the input functions. Returns false when nothing arrived in time.
    virtual bool wait_events(int timeout_ms) = 0;
    virtual SIZE screen_size() const { return SIZE{1280, 1024}; }
};

// The default display: nothing is shown and waiting only moves time.
class NullBackend final : public Backend {
  public:
    bool wait_events(int timeout_ms) override;
};

}  // namespace win
