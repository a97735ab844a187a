// The connection to the X server, the atoms the backend speaks, and a trap
// for the errors a request may raise, so that none of them ends the program.
#pragma once

#include <X11/Xlib.h>

#include <memory>

namespace win::x11 {

struct DisplayCloser {
    void operator()(Display* d) const {
        if (d) XCloseDisplay(d);
    }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// For what Xlib allocates and XFree releases (hints, property data).
struct XFreeDeleter {
    void operator()(void* p) const {
        if (p) XFree(p);
    }
};

struct Atoms {
    Atom wm_protocols = None;
    Atom wm_delete_window = None;
    Atom wm_state = None;
    Atom net_wm_ping = None;
    Atom net_wm_name = None;
    Atom net_wm_icon_name = None;
    Atom net_wm_icon = None;
    Atom net_wm_pid = None;
    Atom net_wm_window_type = None;
    Atom type_normal = None;
    Atom type_dialog = None;
    Atom type_popup_menu = None;
    Atom utf8_string = None;
    Atom wm_take_focus = None;
    Atom net_active_window = None;
    Atom xdnd_aware = None, xdnd_enter = None, xdnd_position = None, xdnd_status = None;
    Atom xdnd_leave = None, xdnd_drop = None, xdnd_finished = None, xdnd_selection = None;
    Atom xdnd_type_list = None, xdnd_action_copy = None, uri_list = None, drop_data = None;

    static Atoms intern(Display* d);
};

// Counts the errors raised while it lives; requests are synchronised on
// check(). Errors outside a trap are logged and ignored.
class ErrorTrap {
  public:
    explicit ErrorTrap(Display* d);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    // Waits for the server to answer everything sent so far; true when no
    // request failed.
    [[nodiscard]] bool check();

  private:
    Display* display_;
    int saved_errors_;
};

// Makes X errors harmless for the whole connection (Xlib's default handler
// exits the process).
void install_error_handler();

}  // namespace win::x11
