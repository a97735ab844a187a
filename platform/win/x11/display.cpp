#include "win/x11/display.h"

#include <cstdio>

namespace win::x11 {

namespace {

// Xlib calls the handler without a context pointer, so the count lives here.
int g_error_count = 0;
int g_trap_depth = 0;

int on_x_error(Display* d, XErrorEvent* e) {
    ++g_error_count;
    if (g_trap_depth == 0) {
        char text[128] = {};
        XGetErrorText(d, e->error_code, text, sizeof text);
        std::fprintf(stderr, "korvane: X error ignored: %s (request %d)\n", text, e->request_code);
    }
    return 0;
}

}  // namespace

Atoms Atoms::intern(Display* d) {
    const char* names[] = {"WM_PROTOCOLS",
                           "WM_DELETE_WINDOW",
                           "WM_STATE",
                           "_NET_WM_PING",
                           "_NET_WM_NAME",
                           "_NET_WM_ICON_NAME",
                           "_NET_WM_ICON",
                           "_NET_WM_PID",
                           "_NET_WM_WINDOW_TYPE",
                           "_NET_WM_WINDOW_TYPE_NORMAL",
                           "_NET_WM_WINDOW_TYPE_DIALOG",
                           "_NET_WM_WINDOW_TYPE_POPUP_MENU",
                           "UTF8_STRING",
                           "WM_TAKE_FOCUS",
                           "_NET_ACTIVE_WINDOW",
                           "XdndAware",
                           "XdndEnter",
                           "XdndPosition",
                           "XdndStatus",
                           "XdndLeave",
                           "XdndDrop",
                           "XdndFinished",
                           "XdndSelection",
                           "XdndTypeList",
                           "XdndActionCopy",
                           "text/uri-list",
                           "KORVANE_DROP"};
    constexpr int count = sizeof names / sizeof names[0];
    Atom got[count] = {};
    XInternAtoms(d, const_cast<char**>(names), count, False, got);
    Atoms a;
    Atom* fields[count] = {
        &a.wm_protocols,       &a.wm_delete_window, &a.wm_state,          &a.net_wm_ping,
        &a.net_wm_name,        &a.net_wm_icon_name, &a.net_wm_icon,       &a.net_wm_pid,
        &a.net_wm_window_type, &a.type_normal,      &a.type_dialog,       &a.type_popup_menu,
        &a.utf8_string,        &a.wm_take_focus,    &a.net_active_window, &a.xdnd_aware,
        &a.xdnd_enter,         &a.xdnd_position,    &a.xdnd_status,       &a.xdnd_leave,
        &a.xdnd_drop,          &a.xdnd_finished,    &a.xdnd_selection,    &a.xdnd_type_list,
        &a.xdnd_action_copy,   &a.uri_list,         &a.drop_data};
    for (int i = 0; i < count; ++i) *fields[i] = got[i];
    return a;
}

ErrorTrap::ErrorTrap(Display* d) : display_(d), saved_errors_(g_error_count) {
    XSync(display_, False);
    saved_errors_ = g_error_count;
    ++g_trap_depth;
}

ErrorTrap::~ErrorTrap() {
    XSync(display_, False);
    --g_trap_depth;
}

bool ErrorTrap::check() {
    XSync(display_, False);
    return g_error_count == saved_errors_;
}

void install_error_handler() { XSetErrorHandler(on_x_error); }

}  // namespace win::x11
