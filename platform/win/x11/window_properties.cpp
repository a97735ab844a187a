// What the window manager reads about a window: class, protocols, type,
// owner, size limits, title and icon.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <vector>

#include "win/x11/property_data.h"
#include "win/x11/x11_backend.h"

namespace win::x11 {

namespace {

void set_atom_list(Display* d, ::Window id, Atom property, Atom type,
                   const std::vector<Atom>& values) {
    XChangeProperty(d, id, property, type, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()), int(values.size()));
}

}  // namespace

void X11Backend::set_identity(XWindow& x, const win::Window& w) {
    Display* d = display_.get();
    std::unique_ptr<XClassHint, XFreeDeleter> class_hint(XAllocClassHint());
    if (class_hint) {
        char name[] = "korvane";
        class_hint->res_name = name;
        class_hint->res_class = name;
        XSetClassHint(d, x.id, class_hint.get());
    }
    std::unique_ptr<XWMHints, XFreeDeleter> hints(XAllocWMHints());
    if (hints) {
        hints->flags = InputHint | StateHint;
        hints->input = True;
        hints->initial_state = NormalState;
        XSetWMHints(d, x.id, hints.get());
    }
    set_size_hints(x, to_screen(w.rect), w.style);

    XWindow* owner = find(w.owner);
    if (owner) XSetTransientForHint(d, x.id, owner->id);
    Atom type = x.popup                                         ? atoms_.type_popup_menu
                : (owner || (w.ex_style & WS_EX_DLGMODALFRAME)) ? atoms_.type_dialog
                                                                : atoms_.type_normal;
    set_atom_list(d, x.id, atoms_.net_wm_window_type, XA_ATOM, {type});
    if (x.popup) return;

    std::vector<Atom> protocols{atoms_.wm_delete_window, atoms_.net_wm_ping, atoms_.wm_take_focus};
    XSetWMProtocols(d, x.id, protocols.data(), int(protocols.size()));
    long pid = long(getpid());
    XChangeProperty(d, x.id, atoms_.net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
}

void X11Backend::set_size_hints(XWindow& x, const RECT& r, DWORD style) {
    std::unique_ptr<XSizeHints, XFreeDeleter> hints(XAllocSizeHints());
    if (!hints) return;
    int w = std::max<int>(r.right - r.left, 1), h = std::max<int>(r.bottom - r.top, 1);
    // The program places its windows itself, in the coordinates of the
    // surface (the frame sits around it).
    hints->flags = USPosition | USSize | PWinGravity;
    hints->x = r.left;
    hints->y = r.top;
    hints->width = w;
    hints->height = h;
    hints->win_gravity = StaticGravity;
    if (!(style & WS_THICKFRAME)) {
        // Without a sizing border the user cannot resize it: dialogs.
        hints->flags |= PMinSize | PMaxSize;
        hints->min_width = hints->max_width = w;
        hints->min_height = hints->max_height = h;
    }
    XSetWMNormalHints(display_.get(), x.id, hints.get());
}

void X11Backend::title_changed(HWND hwnd, const std::string& text) {
    XWindow* x = find(hwnd);
    if (!x) return;
    Display* d = display_.get();
    std::string utf8 = utf8_from_ansi(text);
    auto bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    XChangeProperty(d, x->id, atoms_.net_wm_name, atoms_.utf8_string, 8, PropModeReplace, bytes,
                    int(utf8.size()));
    XChangeProperty(d, x->id, atoms_.net_wm_icon_name, atoms_.utf8_string, 8, PropModeReplace,
                    bytes, int(utf8.size()));
    // The ICCCM names are Latin-1, which the ANSI text mostly is.
    XStoreName(d, x->id, text.c_str());
    XSetIconName(d, x->id, text.c_str());
    XFlush(d);
}

void X11Backend::set_icons(XWindow& x, HWND hwnd) {
    win::Window* w = find_window(hwnd);
    if (!w) return;
    HICON big = w->icon_big, small = w->icon_small;
    // Until the program sets one, the class icon stands for the window.
    if (!big && !small && w->window_class) big = w->window_class->info.hIcon;
    std::vector<unsigned long> data = net_wm_icon_data({big, small});
    Display* d = display_.get();
    if (data.empty()) {
        XDeleteProperty(d, x.id, atoms_.net_wm_icon);
    } else {
        XChangeProperty(d, x.id, atoms_.net_wm_icon, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
    }
}

void X11Backend::icon_changed(HWND hwnd, HICON) {
    // Both sizes go to the window manager, whichever one changed.
    XWindow* x = find(hwnd);
    if (!x) return;
    set_icons(*x, hwnd);
    XFlush(display_.get());
}

}  // namespace win::x11
