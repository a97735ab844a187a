// Who gets the keys: a window that appears takes the keyboard focus, and a
// window that goes hands it back to its owner. Through the window manager
// when one runs; directly when none does, since the bare server's default
// (keys to the window under the pointer) would send typing astray.
#include <string>

#include "win/x11/x11_backend.h"

namespace win::x11 {

bool X11Backend::window_manager_running() const {
    // Every ICCCM window manager owns the WM_Sn selection of its screen.
    std::string name = "WM_S" + std::to_string(screen_);
    Atom selection = XInternAtom(display_.get(), name.c_str(), False);
    return XGetSelectionOwner(display_.get(), selection) != None;
}

XWindow* X11Backend::focus_target(XWindow& x) {
    win::Window* w = find_window(x.hwnd);
    if (!w || !(w->style & WS_DISABLED)) return &x;
    const auto& tops = system_state().top_levels;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        win::Window* o = find_window(*it);
        XWindow* ox = find(*it);
        if (o && ox && o->owner == x.hwnd && ox->mapped && !(o->style & WS_DISABLED)) return ox;
    }
    return &x;
}

void X11Backend::take_focus(XWindow& x, Time when) {
    Display* d = display_.get();
    XWindow& target = *focus_target(x);
    if (window_manager_running()) {
        XClientMessageEvent ask{};
        ask.type = ClientMessage;
        ask.window = target.id;
        ask.message_type = atoms_.net_active_window;
        ask.format = 32;
        ask.data.l[0] = 1;  // asked by an application
        ask.data.l[1] = long(when);
        XSendEvent(d, root_, False, SubstructureNotifyMask | SubstructureRedirectMask,
                   reinterpret_cast<XEvent*>(&ask));
    } else {
        // Only a viewable window can take the focus; a late map is harmless.
        ErrorTrap trap(d);
        XSetInputFocus(d, target.id, RevertToPointerRoot, when);
    }
    XFlush(d);
}

void X11Backend::give_focus_back(XWindow& x) {
    if (x.popup || !x.id) return;
    x.mapped = false;  // not a focus target any more
    XWindow* owner = find(x.owner);
    if (!owner || !owner->mapped || owner->iconic) return;
    ::Window focus = None;
    int revert = 0;
    XGetInputFocus(display_.get(), &focus, &revert);
    if (focus != x.id && focus != PointerRoot && focus != None) return;
    take_focus(*owner, CurrentTime);
}

void X11Backend::sync_modifiers() {
    ::Window root = None, child = None;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    if (!XQueryPointer(display_.get(), root_, &root, &child, &rx, &ry, &wx, &wy, &mask)) return;
    auto& down = system_state().key_down;
    down[VK_SHIFT] = (mask & ShiftMask) != 0;
    down[VK_CONTROL] = (mask & ControlMask) != 0;
    down[VK_MENU] = (mask & Mod1Mask) != 0;
}

}  // namespace win::x11
