// Opening the display and mirroring the window core's top-level windows.
#include "win/x11/x11_backend.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <cstdlib>

#include "win/gdi/fine_patch.h"
#include "win/gdi/sys_colors.h"
#include "win/x11/display_scale.h"
#include "win/x11/doubled_surface.h"
#include "win/x11/x11.h"

namespace win::x11 {

namespace {

constexpr long kEventMask = ExposureMask | StructureNotifyMask | ButtonPressMask |
                            ButtonReleaseMask | PointerMotionMask | KeyPressMask | KeyReleaseMask |
                            FocusChangeMask;

unsigned side(LONG a, LONG b) { return unsigned(std::max<LONG>(b - a, 1)); }

// Popups without a caption (menus, drop-down lists) are placed exactly and
// get no frame; everything else is left to the window manager.
bool is_unframed_popup(DWORD style) {
    return (style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION;
}

}  // namespace

std::unique_ptr<X11Backend> X11Backend::open(const char* display_name, std::string& error) {
    const char* name = display_name ? display_name : std::getenv("DISPLAY");
    if (!name || !*name) {
        error =
            "No X display: the DISPLAY environment variable is not set. Start Korvane from a "
            "desktop session, or under a virtual X server: xvfb-run -a ./run.sh";
        return nullptr;
    }
    DisplayPtr d(XOpenDisplay(name));
    if (!d) {
        error = std::string("Cannot open the X display \"") + name +
                "\". Check that DISPLAY names a running X server you may use, or run Korvane "
                "under a virtual X server: xvfb-run -a ./run.sh";
        return nullptr;
    }
    int screen = DefaultScreen(d.get());
    Visual* visual = DefaultVisual(d.get(), screen);
    if (visual->c_class != TrueColor && visual->c_class != DirectColor) {
        error = "The X display has no true-colour visual; Korvane needs a 24-bit display.";
        return nullptr;
    }
    install_error_handler();
    return std::unique_ptr<X11Backend>(new X11Backend(std::move(d)));
}

ArrowCursor::ArrowCursor(Display* d) : display_(d), cursor_(XCreateFontCursor(d, XC_left_ptr)) {}

ArrowCursor::~ArrowCursor() {
    if (cursor_) XFreeCursor(display_, cursor_);
}

X11Backend::X11Backend(DisplayPtr display)
    : display_(std::move(display)), gc_(nullptr, GcFreer{display_.get()}) {
    Display* d = display_.get();
    screen_ = DefaultScreen(d);
    root_ = RootWindow(d, screen_);
    visual_ = DefaultVisual(d, screen_);
    depth_ = DefaultDepth(d, screen_);
    colormap_ = DefaultColormap(d, screen_);
    atoms_ = Atoms::intern(d);
    gc_.reset(XCreateGC(d, root_, 0, nullptr));
    cursor_ = std::make_unique<ArrowCursor>(d);
    const char* dpi = XGetDefault(d, "Xft", "dpi");
    scale_ = choose_scale(std::getenv("KORVANE_SCALE"), std::getenv("GDK_SCALE"), dpi);
    // Held keys repeat as presses only, like the platform's repeated WM_KEYDOWN.
    XkbSetDetectableAutoRepeat(d, True, nullptr);
}

X11Backend::~X11Backend() {
    // Windows and images go before the connection does.
    windows_.clear();
    gc_.reset();
    cursor_.reset();
}

XWindow* X11Backend::find(HWND hwnd) {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second.get();
}

XWindow* X11Backend::find(::Window id) {
    auto it = by_id_.find(id);
    return it == by_id_.end() ? nullptr : find(it->second);
}

void X11Backend::window_created(HWND hwnd) {
    win::Window* w = find_window(hwnd);
    if (!w || w->parent || windows_.count(hwnd)) return;
    Display* d = display_.get();
    bool popup = is_unframed_popup(w->style);
    XSetWindowAttributes a{};
    a.background_pixmap = None;  // the surface paints every pixel
    a.border_pixel = 0;
    a.colormap = colormap_;
    a.bit_gravity = NorthWestGravity;
    a.event_mask = kEventMask;
    a.override_redirect = popup ? True : False;
    a.cursor = cursor_->get();
    const RECT r = to_screen(w->rect);
    ::Window id = XCreateWindow(d, root_, r.left, r.top, side(r.left, r.right),
                                side(r.top, r.bottom), 0, depth_, InputOutput, visual_,
                                CWBackPixmap | CWBorderPixel | CWColormap | CWBitGravity |
                                    CWEventMask | CWOverrideRedirect | CWCursor,
                                &a);
    if (!id) return;
    auto x = std::make_unique<XWindow>(d, id);
    x->hwnd = hwnd;
    x->popup = popup;
    x->owner = w->owner;
    XWindow& made = *x;
    by_id_[id] = hwnd;
    windows_[hwnd] = std::move(x);
    set_identity(made, *w);
    title_changed(hwnd, w->text);
    set_icons(made, hwnd);
    if (!popup) make_drop_target(made);
}

void X11Backend::window_destroyed(HWND hwnd) {
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    give_focus_back(*it->second);
    by_id_.erase(it->second->id);
    windows_.erase(it);
    XFlush(display_.get());
}

void X11Backend::window_shown(HWND hwnd, bool visible) {
    XWindow* x = find(hwnd);
    if (!x || x->mapped == visible) return;
    x->mapped = visible;
    Display* d = display_.get();
    if (visible) {
        if (!x->iconic) XMapRaised(d, x->id);
    } else if (x->popup) {
        XUnmapWindow(d, x->id);
    } else {
        give_focus_back(*x);
        // Tells the window manager too, so it forgets an iconified window.
        XWithdrawWindow(d, x->id, screen_);
    }
    XFlush(d);
}

void X11Backend::window_iconified(HWND hwnd, bool iconic) {
    XWindow* x = find(hwnd);
    if (!x || x->iconic == iconic) return;
    x->iconic = iconic;
    if (following_server_) return;
    Display* d = display_.get();
    if (iconic) {
        if (x->popup) {
            XUnmapWindow(d, x->id);
        } else {
            XIconifyWindow(d, x->id, screen_);
        }
    } else if (x->mapped) {
        XMapRaised(d, x->id);
    }
    XFlush(d);
}

void X11Backend::window_moved(HWND hwnd, const RECT& r) {
    XWindow* x = find(hwnd);
    if (!x || following_server_) return;
    const RECT s = to_screen(r);
    if (win::Window* w = find_window(hwnd)) set_size_hints(*x, s, w->style);
    XMoveResizeWindow(display_.get(), x->id, s.left, s.top, side(s.left, s.right),
                      side(s.top, s.bottom));
    XFlush(display_.get());
}

void X11Backend::capture_changed(HWND hwnd) {
    Display* d = display_.get();
    XWindow* x = find(top_level_of(hwnd));
    if (!x) {
        XUngrabPointer(d, CurrentTime);
    } else {
        // Everything the mouse does then reaches the capturing window, in its
        // own coordinates, wherever the pointer is.
        XGrabPointer(d, x->id, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    }
    XFlush(d);
}

void X11Backend::present(HWND hwnd, const gdi::Surface& given, const RECT& given_dirty) {
    XWindow* x = find(hwnd);
    if (!x || given.width <= 0 || given.height <= 0) return;
    const gdi::Surface* shown = &given;
    RECT dirty = given_dirty;
    if (scale_ == 2) {
        // Only the dirty part is copied again.
        gdi::Surface& d = x->doubled;
        if (d.width != given.width * 2 || d.height != given.height * 2) {
            d.resize(given.width * 2, given.height * 2);
            dirty = RECT{0, 0, given.width, given.height};
        }
        RECT all{0, 0, given.width, given.height};
        IntersectRect(&dirty, &dirty, &all);
        put_doubled(given, dirty, d);
        dirty = to_screen(dirty);
        shown = &d;
    }
    const gdi::Surface& surface = *shown;
    if (!x->image || x->image->width() != surface.width || x->image->height() != surface.height) {
        x->image.reset();
        x->image = SurfaceImage::create(display_.get(), visual_, depth_, surface.width,
                                        surface.height, shm_usable_);
        if (!x->image) return;
        // A server that refused shared memory once will refuse it again.
        if (!x->image->shared()) shm_usable_ = false;
    }
    x->image->put(x->id, gc_.get(), surface, dirty);
    XFlush(display_.get());
}

void X11Backend::present_exposed(XWindow& x) {
    RECT r = x.exposed;
    x.exposed = RECT{};
    win::Window* w = find_window(x.hwnd);
    if (!w || !w->surface || IsRectEmpty(&r)) return;
    present(x.hwnd, *w->surface, r);
}

SIZE X11Backend::screen_size() const {
    Display* d = display_.get();
    return SIZE{DisplayWidth(d, screen_) / scale_, DisplayHeight(d, screen_) / scale_};
}

InstallResult install(const char* display_name) {
    std::string error;
    auto backend = X11Backend::open(display_name, error);
    if (!backend) return InstallResult{error};
    SIZE screen = backend->screen_size();
    gdi::set_screen_size(screen.cx, screen.cy);
    gdi::set_window_scale(backend->scale());
    install_backend(std::move(backend));
    return InstallResult{};
}

}  // namespace win::x11
