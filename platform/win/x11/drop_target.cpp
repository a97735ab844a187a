// The receiving side of XDND: every framed window says it takes drops; a
// drag of a text/uri-list over a window that accepts files is accepted, and
// the dropped list becomes WM_DROPFILES with an HDROP of its local files.
// Anything else is refused, and the source hears so.
#include <X11/Xatom.h>

#include "win/core/input.h"
#include "win/shell/drop_files.h"
#include "win/x11/x11_backend.h"

namespace win::x11 {

namespace {

constexpr long kXdndVersion = 5;

bool accepts_files(HWND hwnd) {
    win::Window* w = find_window(hwnd);
    return w && (w->ex_style & WS_EX_ACCEPTFILES) && !(w->style & WS_DISABLED);
}

// The head of an answer to the drag's source: who answers and whether it
// takes the drop; the action goes in a slot that differs per message.
XClientMessageEvent reply_to_source(::Window source, Atom type, const XWindow& x, bool yes) {
    XClientMessageEvent reply{};
    reply.type = ClientMessage;
    reply.window = source;
    reply.message_type = type;
    reply.format = 32;
    reply.data.l[0] = long(x.id);
    reply.data.l[1] = yes ? 1 : 0;
    return reply;
}

}  // namespace

void X11Backend::make_drop_target(XWindow& x) {
    long version = kXdndVersion;
    XChangeProperty(display_.get(), x.id, atoms_.xdnd_aware, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
}

bool X11Backend::on_drag_message(XWindow& x, const XClientMessageEvent& ev) {
    const Atom type = ev.message_type;
    if (ev.format != 32) return false;
    if (type == atoms_.xdnd_enter) {
        drag_ = Drag{};
        drag_.source = ::Window(ev.data.l[0]);
        drag_.target = x.id;
        if (ev.data.l[1] & 1) {
            // More than three types: the list is on the source window.
            Atom actual = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* raw = nullptr;
            ErrorTrap trap(display_.get());
            if (XGetWindowProperty(display_.get(), drag_.source, atoms_.xdnd_type_list, 0, 64,
                                   False, XA_ATOM, &actual, &format, &count, &after,
                                   &raw) == Success &&
                raw) {
                std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
                const long* types = reinterpret_cast<const long*>(data.get());
                for (unsigned long i = 0; format == 32 && i < count; ++i)
                    drag_.uri_list |= Atom(types[i]) == atoms_.uri_list;
            }
        } else {
            for (int i = 2; i < 5; ++i) drag_.uri_list |= Atom(ev.data.l[i]) == atoms_.uri_list;
        }
        return true;
    }
    if (type == atoms_.xdnd_position) {
        if (::Window(ev.data.l[0]) != drag_.source) return true;
        win::Window* w = find_window(x.hwnd);
        POINT root = from_screen(int(ev.data.l[2] >> 16), int(ev.data.l[2] & 0xffff));
        if (w) drag_.point = POINT{root.x - w->rect.left, root.y - w->rect.top};
        drag_.target = x.id;
        drag_status(x, drag_.uri_list && accepts_files(x.hwnd));
        return true;
    }
    if (type == atoms_.xdnd_leave) {
        drag_ = Drag{};
        return true;
    }
    if (type == atoms_.xdnd_drop) {
        if (::Window(ev.data.l[0]) != drag_.source) return true;
        if (!drag_.accepted || !accepts_files(x.hwnd)) {
            drag_finished(x, false);
            return true;
        }
        XConvertSelection(display_.get(), atoms_.xdnd_selection, atoms_.uri_list, atoms_.drop_data,
                          x.id, Time(ev.data.l[2]));
        XFlush(display_.get());
        return true;
    }
    return false;
}

void X11Backend::on_drop_data(XWindow& x, const XSelectionEvent& ev) {
    if (ev.selection != atoms_.xdnd_selection || !drag_.source) return;
    std::vector<std::string> paths;
    if (ev.property != None) {
        Atom actual = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* raw = nullptr;
        // A list of a few megabytes is plenty for any drop of files.
        if (XGetWindowProperty(display_.get(), x.id, ev.property, 0, 1 << 20, True, AnyPropertyType,
                               &actual, &format, &count, &after, &raw) == Success &&
            raw) {
            std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
            if (format == 8)
                paths = shell::paths_from_uri_list(
                    std::string_view(reinterpret_cast<char*>(data.get()), count));
        }
    }
    bool delivered = !paths.empty() && accepts_files(x.hwnd);
    if (delivered) {
        HDROP drop = shell::make_drop(std::move(paths), drag_.point);
        if (!PostMessageA(x.hwnd, WM_DROPFILES, WPARAM(drop), 0)) DragFinish(drop);
    }
    drag_finished(x, delivered);
}

void X11Backend::drag_status(XWindow& x, bool accept) {
    drag_.accepted = accept;
    // No rectangle: positions keep coming.
    XClientMessageEvent reply = reply_to_source(drag_.source, atoms_.xdnd_status, x, accept);
    reply.data.l[4] = accept ? long(atoms_.xdnd_action_copy) : long(None);
    ErrorTrap trap(display_.get());
    XSendEvent(display_.get(), drag_.source, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
}

void X11Backend::drag_finished(XWindow& x, bool accepted) {
    XClientMessageEvent reply = reply_to_source(drag_.source, atoms_.xdnd_finished, x, accepted);
    reply.data.l[2] = accepted ? long(atoms_.xdnd_action_copy) : long(None);
    {
        ErrorTrap trap(display_.get());
        XSendEvent(display_.get(), drag_.source, False, NoEventMask,
                   reinterpret_cast<XEvent*>(&reply));
    }
    drag_ = Drag{};
}

}  // namespace win::x11
