// Tracking a menu: the open popups, the highlight, and the nested message
// loop that runs while the user moves through them.
#pragma once

#include <vector>

#include "win/menus/menu_table.h"

namespace win::menus {

struct TrackRequest {
    HWND owner = nullptr;
    HMENU bar = nullptr;    // the window's menu bar, when tracking starts from it
    HMENU popup = nullptr;  // a popup opened on its own (system menu, TrackPopupMenu)
    bool system = false;    // commands come back as WM_SYSCOMMAND
    int bar_item = -1;      // the bar item to highlight at the start
    bool open_bar_item = false;
    bool by_mouse = false;
    POINT popup_at{};  // screen position of `popup`, TPM_ alignment applied
    UINT tpm_flags = 0;
};

struct Level {
    HMENU menu = nullptr;
    HWND window = nullptr;
    bool painted = false;  // selection draws wait for the first full paint
};

struct Tracker {
    TrackRequest request;
    std::vector<Level> levels;  // open popups, outermost first
    bool done = false;
    UINT chosen = 0;
    bool has_choice = false;
    bool chosen_by_mouse = false;
    bool alt_went_down = false;
    bool notify() const { return !(request.tpm_flags & TPM_NONOTIFY); }
};

// Runs the menu loop to its end and delivers the command (posted WM_COMMAND
// or WM_SYSCOMMAND) unless TPM_RETURNCMD asks for it back. Returns the
// chosen command, 0 when none; -1 when a menu is already being tracked or
// the request names stale objects.
[[nodiscard]] long track(const TrackRequest& request);

bool tracking();

// Steps of tracking, used by the input handlers.
void select_bar_item(Tracker& t, int index, bool by_mouse);
void open_bar_popup(Tracker& t, bool select_first);
void open_submenu(Tracker& t, bool select_first);
void close_top_level(Tracker& t);
void close_all_levels(Tracker& t);
void select_item(Tracker& t, std::size_t level, int index, bool by_mouse);
void choose(Tracker& t, std::size_t level, int index, bool by_mouse);
void popup_painted(HWND popup_window);

// Input while tracking; true when the message belonged to the menu.
bool handle_key(Tracker& t, const MSG& msg);
bool handle_mouse(Tracker& t, const MSG& msg);

}  // namespace win::menus
