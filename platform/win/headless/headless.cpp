#include "win/headless/headless.h"

#include <chrono>
#include <thread>

#include "win/core/window.h"
#include "win/gdi/sys_colors.h"

namespace win::headless {

void HeadlessBackend::window_created(HWND hwnd) {
    Window* w = find_window(hwnd);
    if (!w || w->parent) return;
    ShownWindow& s = windows_[hwnd];
    s.title = w->text;
    s.rect = w->rect;
}

void HeadlessBackend::window_destroyed(HWND hwnd) { windows_.erase(hwnd); }

void HeadlessBackend::window_shown(HWND hwnd, bool visible) {
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) it->second.visible = visible;
}

void HeadlessBackend::window_iconified(HWND hwnd, bool iconic) {
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) it->second.iconic = iconic;
}

void HeadlessBackend::window_moved(HWND hwnd, const RECT& r) {
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) it->second.rect = r;
}

void HeadlessBackend::title_changed(HWND hwnd, const std::string& title) {
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) it->second.title = title;
}

void HeadlessBackend::icon_changed(HWND hwnd, HICON icon) {
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) it->second.icon = icon;
}

void HeadlessBackend::present(HWND hwnd, const gdi::Surface&, const RECT& dirty) {
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    ++it->second.presents;
    UnionRect(&it->second.presented, &it->second.presented, &dirty);
}

bool HeadlessBackend::wait_events(int timeout_ms) {
    if (timeout_ms < 0) return false;
    Clock& c = current_clock();
    if (c.is_virtual()) {
        c.advance_ms(timeout_ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeout_ms));
    }
    return false;
}

const ShownWindow* HeadlessBackend::window(HWND hwnd) const {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : &it->second;
}

HeadlessBackend& install(Clock* clock) {
    auto backend = std::make_unique<HeadlessBackend>();
    HeadlessBackend& ref = *backend;
    install_clock(clock);
    install_backend(std::move(backend));
    SIZE screen = ref.screen_size();
    gdi::set_screen_size(screen.cx, screen.cy);
    return ref;
}

}  // namespace win::headless
