#include "win/x11/close_request.h"

#include "win/x11/display.h"

namespace win::x11 {

bool send_close_request(const char* display_name, unsigned long x_window) {
    DisplayPtr d(XOpenDisplay(display_name));
    if (!d) return false;
    Atoms atoms = Atoms::intern(d.get());
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = x_window;
    ev.xclient.message_type = atoms.wm_protocols;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = long(atoms.wm_delete_window);
    ev.xclient.data.l[1] = CurrentTime;
    install_error_handler();
    ErrorTrap trap(d.get());
    XSendEvent(d.get(), x_window, False, NoEventMask, &ev);
    return trap.check();
}

}  // namespace win::x11
