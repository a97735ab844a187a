// The window record and the state the window system keeps for all windows.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "win/base/handle_table.h"
#include "win/core/backend.h"
#include "win/core/clock.h"
#include "win/core/nonclient_hooks.h"
#include "winuser.h"

namespace win {
namespace gdi {
struct Surface;
}

struct WindowClass {
    std::string name;
    WNDCLASSA info{};
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<const WindowClass> window_class;
    WNDPROC proc = nullptr;
    HWND parent = nullptr;       // null for top-level windows
    HWND owner = nullptr;        // top-level windows only
    std::vector<HWND> children;  // front to back
    DWORD style = 0;
    DWORD ex_style = 0;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    std::string text;
    LONG_PTR user_data = 0;
    std::vector<LONG_PTR> extra;
    RECT rect{};    // in the parent's client coordinates; screen for top-level
    RECT insets{};  // non-client widths on each side
    HMENU menu = nullptr;
    HICON icon_big = nullptr;
    HICON icon_small = nullptr;
    RECT update{};  // client coordinates
    bool erase_pending = false;
    bool nc_pending = false;
    bool iconic = false;
    bool destroying = false;
    bool created = false;
    std::shared_ptr<gdi::Surface> surface;  // top-level windows own one
    RECT dirty{};                           // surface coordinates
};

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT interval;
    TIMERPROC proc;
    std::int64_t due;
    bool signalled = false;
};

struct CaseBlindLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct WindowSystem {
    HandleTable<Window> windows{HandleKind::Window};
    std::vector<HWND> top_levels;  // creation order
    std::map<std::string, std::shared_ptr<const WindowClass>, CaseBlindLess> classes;
    std::deque<MSG> posted;
    bool quit_posted = false;
    int quit_code = 0;
    std::vector<Timer> timers;
    UINT_PTR next_timer_id = 0x7fff0000;
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    std::array<BYTE, 256> key_down{};
    POINT cursor{};
    HWND last_click_window = nullptr;  // for double clicks
    std::int64_t last_click_time = 0;
    POINT last_click_point{};
    DWORD last_message_time = 0;
    std::unique_ptr<Clock> owned_clock;
    Clock* clock = nullptr;
    std::unique_ptr<Backend> backend;
    MenuBarHooks menu_hooks;
    std::function<void(HWND)> modal_hook;
    int modal_depth = 0;
};

// The layer's one state record.
WindowSystem& system_state();

// Lookups that fail cleanly on stale or bogus handles.
Window* find_window(HWND hwnd);
inline HWND to_hwnd(std::uintptr_t v) { return reinterpret_cast<HWND>(v); }

// Installs the display and the clock (the core keeps the clock alive only
// when it owns it). Without a call, a NullBackend and the monotonic clock.
void install_backend(std::unique_ptr<Backend> backend);
void install_clock(Clock* clock);
void install_owned_clock(std::unique_ptr<Clock> clock);
Clock& current_clock();
Backend& backend();

// Calls the window procedure; 0 for a window that is gone.
LRESULT send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

HWND top_level_of(HWND hwnd);
// Client rectangle of a window in the coordinates of its top-level surface.
RECT client_rect_on_surface(const Window& w);
// The part of the client area that is visible through all ancestors.
RECT visible_client_on_surface(const Window& w);
POINT client_origin_on_surface(const Window& w);
bool is_visible_chain(const Window& w);
bool is_enabled_chain(const Window& w);
void recalc_nonclient(Window& w);
void mark_surface_dirty(HWND top, const RECT& surface_rect);
void flush_dirty_surfaces();
// When the earliest timer is due; -1 when there is none.
std::int64_t next_timer_due();

}  // namespace win
