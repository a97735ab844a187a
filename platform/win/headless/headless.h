// The display for tests: nothing reaches a screen, but what a screen would
// show is kept in memory to be checked (surfaces stay readable through
// automation::pixel and automation::save_png).
#pragma once

#include <map>
#include <string>

#include "win/core/backend.h"
#include "win/core/clock.h"

namespace win::headless {

// What the display knows of one top-level window.
struct ShownWindow {
    bool visible = false;
    bool iconic = false;
    std::string title;
    HICON icon = nullptr;
    RECT rect{};       // screen rectangle of the surface
    int presents = 0;  // how often pixels were handed over
    RECT presented{};  // union of everything handed over
};

class HeadlessBackend final : public Backend {
  public:
    explicit HeadlessBackend(SIZE screen = SIZE{1280, 1024}) : screen_(screen) {}

    void window_created(HWND) override;
    void window_destroyed(HWND) override;
    void window_shown(HWND, bool visible) override;
    void window_iconified(HWND, bool iconic) override;
    void window_moved(HWND, const RECT&) override;
    void title_changed(HWND, const std::string&) override;
    void icon_changed(HWND, HICON) override;
    void present(HWND, const gdi::Surface&, const RECT& dirty) override;
    // Nothing ever arrives: waiting moves a virtual clock, or sleeps.
    bool wait_events(int timeout_ms) override;
    SIZE screen_size() const override { return screen_; }

    // Null for a window the display does not know (child, destroyed).
    const ShownWindow* window(HWND hwnd) const;
    std::size_t window_count() const { return windows_.size(); }

  private:
    SIZE screen_;
    std::map<HWND, ShownWindow> windows_;
};

// Installs a fresh headless display and the clock (kept by the caller).
// The reference is valid until another display is installed.
HeadlessBackend& install(Clock* clock);

}  // namespace win::headless
