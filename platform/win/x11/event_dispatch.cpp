// X events become the window core's input: mouse, keys, close requests,
// activation; exposure and moves are handled here without the program.
#include <X11/Xutil.h>
#include <poll.h>

#include <cerrno>

#include "win/core/input.h"
#include "win/x11/key_map.h"
#include "win/x11/x11_backend.h"

namespace win::x11 {

namespace {

bool button_of(unsigned x_button, input::Button& out) {
    switch (x_button) {
        case Button1:
            out = input::Button::Left;
            return true;
        case Button2:
            out = input::Button::Middle;
            return true;
        case Button3:
            out = input::Button::Right;
            return true;
    }
    return false;  // the wheel and extra buttons have no messages here
}

// Mouse input belongs to the capturing window's top level, in the
// coordinates of its surface, whichever X window reported it: the pointer
// grab cannot start before that window is on screen.
void follow_capture(HWND& top, POINT& pt) {
    HWND capture = system_state().capture;
    HWND capture_top = capture ? top_level_of(capture) : nullptr;
    if (!capture_top || capture_top == top) return;
    win::Window* from = find_window(top);
    win::Window* to = find_window(capture_top);
    if (!from || !to) return;
    pt.x += from->rect.left - to->rect.left;
    pt.y += from->rect.top - to->rect.top;
    top = capture_top;
}

}  // namespace

bool X11Backend::wait_events(int timeout_ms) {
    if (drain_events()) return true;
    if (timeout_ms == 0) return false;
    pollfd p{ConnectionNumber(display_.get()), POLLIN, 0};
    int r;
    do {
        r = poll(&p, 1, timeout_ms < 0 ? -1 : timeout_ms);
    } while (r < 0 && errno == EINTR);
    return r > 0 && drain_events();
}

bool X11Backend::drain_events() {
    Display* d = display_.get();
    bool got = false;
    // XPending also sends what is buffered, so nothing waits on our side.
    while (XPending(d) > 0) {
        XEvent ev;
        XNextEvent(d, &ev);
        got = true;
        // One piece of input at a time, taken only when the program's queue
        // has run dry: what a key press translates into (WM_CHAR) and what
        // a click starts (capture) come before the next key or click.
        if (handle(ev)) break;
    }
    return got;
}

bool X11Backend::handle(XEvent& ev) {
    if (ev.type == MappingNotify) {
        XRefreshKeyboardMapping(&ev.xmapping);
        return false;
    }
    XWindow* x = find(ev.xany.window);
    if (!x) return false;
    HWND hwnd = x->hwnd;
    switch (ev.type) {
        case Expose: {
            // In the core's pixels, rounded outwards.
            POINT a = from_screen(ev.xexpose.x, ev.xexpose.y);
            POINT b = from_screen(ev.xexpose.x + ev.xexpose.width + scale_ - 1,
                                  ev.xexpose.y + ev.xexpose.height + scale_ - 1);
            RECT r{a.x, a.y, b.x, b.y};
            UnionRect(&x->exposed, &x->exposed, &r);
            if (ev.xexpose.count == 0) present_exposed(*x);
            break;
        }
        case MotionNotify: {
            // Only the newest position matters.
            while (XCheckTypedWindowEvent(display_.get(), x->id, MotionNotify, &ev)) {
            }
            POINT pt = from_screen(ev.xmotion.x, ev.xmotion.y);
            follow_capture(hwnd, pt);
            input::mouse_move(hwnd, pt);
            return true;
        }
        case ButtonPress:
        case ButtonRelease: {
            input::Button b;
            if (!button_of(ev.xbutton.button, b)) break;
            POINT pt = from_screen(ev.xbutton.x, ev.xbutton.y);
            follow_capture(hwnd, pt);
            input::mouse_button(hwnd, pt, b, ev.type == ButtonPress);
            return true;
        }
        case KeyPress:
        case KeyRelease: {
            char text[8] = {};
            KeySym typed = NoSymbol;
            int n = XLookupString(&ev.xkey, text, sizeof text, &typed, nullptr);
            KeySym base = XLookupKeysym(&ev.xkey, 0);
            UINT vk = virtual_key(std::uint32_t(base), std::uint32_t(typed));
            char ch = ev.type == KeyPress
                          ? typed_char(vk, std::string_view(text, std::size_t(n > 0 ? n : 0)))
                          : 0;
            if (!vk && !ch) break;
            input::key(hwnd, vk, ev.type == KeyPress, ch);
            return true;
        }
        case FocusIn:
        case FocusOut:
            // Grabs and moves inside the window do not change activation.
            if (ev.xfocus.mode == NotifyGrab || ev.xfocus.mode == NotifyUngrab) break;
            if (ev.xfocus.detail == NotifyInferior || ev.xfocus.detail == NotifyPointer) break;
            if (ev.type == FocusIn) {
                activate(*x);
            } else {
                input::activated(hwnd, false);
            }
            break;
        case ConfigureNotify:
            on_configure(*x, ev.xconfigure);
            break;
        case UnmapNotify:
            on_unmap(*x);
            break;
        case MapNotify:
            on_map(*x);
            break;
        case ClientMessage:
            on_client_message(*x, ev.xclient);
            break;
        case SelectionNotify:
            on_drop_data(*x, ev.xselection);
            break;
        case DestroyNotify:
            // Destroyed from outside (our own windows are forgotten first):
            // the program decides what a vanished window means.
            by_id_.erase(x->id);
            x->id = 0;
            input::close_requested(hwnd);
            break;
    }
    return false;
}

void X11Backend::activate(XWindow& x) {
    sync_modifiers();
    XWindow* target = focus_target(x);
    if (target != &x) {
        // A window disabled by a modal dialog hands activation to the dialog,
        // as the platform does when such an owner is clicked.
        XRaiseWindow(display_.get(), target->id);
        XSetInputFocus(display_.get(), target->id, RevertToParent, CurrentTime);
    }
    input::activated(target->hwnd, true);
}

void X11Backend::on_configure(XWindow& x, const XConfigureEvent& ev) {
    int left = ev.x, top = ev.y;
    if (!ev.send_event) {
        // Real events are relative to the parent, which is the window
        // manager's frame when there is one.
        ::Window child;
        XTranslateCoordinates(display_.get(), x.id, root_, 0, 0, &left, &top, &child);
    }
    win::Window* w = find_window(x.hwnd);
    if (!w) return;
    POINT at = from_screen(left, top);
    RECT now{at.x, at.y, at.x + ev.width / scale_, at.y + ev.height / scale_};
    if (EqualRect(&now, &w->rect)) return;
    ++following_server_;
    SetWindowPos(x.hwnd, nullptr, now.left, now.top, now.right - now.left, now.bottom - now.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    --following_server_;
}

void X11Backend::on_unmap(XWindow& x) {
    if (x.popup || !x.mapped || x.iconic) return;
    // Only the window manager unmaps a window we keep mapped: when it says
    // the window is iconic, the program hears of it as a minimise.
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(display_.get(), x.id, atoms_.wm_state, 0, 2, False, AnyPropertyType,
                           &type, &format, &count, &after, &raw) != Success)
        return;
    std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
    bool iconic =
        data && format == 32 && count >= 1 && reinterpret_cast<long*>(data.get())[0] == IconicState;
    if (!iconic) return;
    ++following_server_;
    ShowWindow(x.hwnd, SW_MINIMIZE);
    --following_server_;
}

void X11Backend::on_map(XWindow& x) {
    if (!x.popup && !x.iconic) take_focus(x, CurrentTime);
    HWND capture = system_state().capture;
    if (capture && top_level_of(capture) == x.hwnd) capture_changed(capture);  // now it can grab
    if (!x.iconic) return;
    ++following_server_;
    ShowWindow(x.hwnd, SW_RESTORE);
    --following_server_;
}

void X11Backend::on_client_message(XWindow& x, const XClientMessageEvent& ev) {
    if (on_drag_message(x, ev)) return;
    if (ev.message_type != atoms_.wm_protocols || ev.format != 32) return;
    Atom protocol = Atom(ev.data.l[0]);
    if (protocol == atoms_.wm_delete_window) {
        input::close_requested(x.hwnd);
    } else if (protocol == atoms_.wm_take_focus) {
        XSetInputFocus(display_.get(), focus_target(x)->id, RevertToParent, Time(ev.data.l[1]));
    } else if (protocol == atoms_.net_wm_ping) {
        // Answering tells the window manager the program is alive.
        XClientMessageEvent reply = ev;
        reply.window = root_;
        XSendEvent(display_.get(), root_, False, SubstructureNotifyMask | SubstructureRedirectMask,
                   reinterpret_cast<XEvent*>(&reply));
    }
}

}  // namespace win::x11
