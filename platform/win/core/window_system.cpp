// The window system's state record, the display and the clock.
#include <strings.h>

#include <chrono>
#include <thread>

#include "win/core/window.h"

namespace win {

bool CaseBlindLess::operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

std::int64_t MonotonicClock::now_ms() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool NullBackend::wait_events(int timeout_ms) {
    Clock& c = current_clock();
    if (timeout_ms < 0) return false;
    if (c.is_virtual()) {
        c.advance_ms(timeout_ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeout_ms));
    }
    return false;
}

WindowSystem& system_state() {
    static WindowSystem state;
    return state;
}

Window* find_window(HWND hwnd) { return system_state().windows.get(hwnd); }

void install_backend(std::unique_ptr<Backend> b) { system_state().backend = std::move(b); }

void install_clock(Clock* c) {
    system_state().owned_clock.reset();
    system_state().clock = c;
}

void install_owned_clock(std::unique_ptr<Clock> c) {
    system_state().clock = c.get();
    system_state().owned_clock = std::move(c);
}

Clock& current_clock() {
    WindowSystem& s = system_state();
    if (!s.clock) install_owned_clock(std::make_unique<MonotonicClock>());
    return *s.clock;
}

Backend& backend() {
    WindowSystem& s = system_state();
    if (!s.backend) s.backend = std::make_unique<NullBackend>();
    return *s.backend;
}

void set_menu_bar_hooks(const MenuBarHooks& hooks) { system_state().menu_hooks = hooks; }
const MenuBarHooks& menu_bar_hooks() { return system_state().menu_hooks; }

LRESULT send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = find_window(hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(hwnd, msg, wp, lp);
}

HWND top_level_of(HWND hwnd) {
    Window* w = find_window(hwnd);
    while (w && w->parent) w = find_window(w->parent);
    return w ? w->handle : nullptr;
}

}  // namespace win
