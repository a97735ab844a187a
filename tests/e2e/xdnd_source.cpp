#include "xdnd_source.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace e2e {

namespace {

struct Closer {
    void operator()(Display* d) const { XCloseDisplay(d); }
};

void send(Display* d, ::Window to, ::Window source, Atom type, long l1, long l2, long l3, long l4) {
    XClientMessageEvent m{};
    m.type = ClientMessage;
    m.window = to;
    m.message_type = type;
    m.format = 32;
    m.data.l[0] = long(source);
    m.data.l[1] = l1;
    m.data.l[2] = l2;
    m.data.l[3] = l3;
    m.data.l[4] = l4;
    XSendEvent(d, to, False, NoEventMask, reinterpret_cast<XEvent*>(&m));
    XFlush(d);
}

// Handles events until `done` says so or three seconds pass.
bool pump(Display* d, const std::function<bool(XEvent&)>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) {
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (done(ev)) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace

DropResult xdnd_drop(const std::string& display, unsigned long target, int x, int y,
                     const std::string& type, const std::string& data) {
    DropResult out;
    std::unique_ptr<Display, Closer> owned(XOpenDisplay(display.c_str()));
    Display* d = owned.get();
    if (!d) return out;
    ::Window source = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    Atom enter = XInternAtom(d, "XdndEnter", False),
         position = XInternAtom(d, "XdndPosition", False);
    Atom status = XInternAtom(d, "XdndStatus", False), drop = XInternAtom(d, "XdndDrop", False);
    Atom leave = XInternAtom(d, "XdndLeave", False),
         finished = XInternAtom(d, "XdndFinished", False);
    Atom selection = XInternAtom(d, "XdndSelection", False),
         copy = XInternAtom(d, "XdndActionCopy", False);
    Atom offered = XInternAtom(d, type.c_str(), False);
    XSetSelectionOwner(d, selection, source, CurrentTime);

    send(d, target, source, enter, 5L << 24, long(offered), 0, 0);
    send(d, target, source, position, 0, long(x) << 16 | long(y), CurrentTime, long(copy));
    bool answered = pump(d, [&](XEvent& ev) {
        if (ev.type != ClientMessage || ev.xclient.message_type != status) return false;
        out.accepted = ev.xclient.data.l[1] & 1;
        return true;
    });
    if (!answered || !out.accepted) {
        send(d, target, source, leave, 0, 0, 0, 0);
        XDestroyWindow(d, source);
        return out;
    }
    send(d, target, source, drop, 0, CurrentTime, 0, 0);
    pump(d, [&](XEvent& ev) {
        if (ev.type == SelectionRequest) {
            // Hands the data over, as the owner of XdndSelection does.
            const XSelectionRequestEvent& r = ev.xselectionrequest;
            out.data_asked = true;
            XSelectionEvent reply{};
            reply.type = SelectionNotify;
            reply.requestor = r.requestor;
            reply.selection = r.selection;
            reply.target = r.target;
            reply.time = r.time;
            reply.property = None;
            if (r.target == offered) {
                XChangeProperty(d, r.requestor, r.property, offered, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(data.data()),
                                int(data.size()));
                reply.property = r.property;
            }
            XSendEvent(d, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
            XFlush(d);
            return false;
        }
        if (ev.type != ClientMessage || ev.xclient.message_type != finished) return false;
        out.finished = ev.xclient.data.l[1] & 1;
        return true;
    });
    XDestroyWindow(d, source);
    return out;
}

}  // namespace e2e
