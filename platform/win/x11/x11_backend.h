// The X11 display behind the window core: one X window per top-level
// window, surfaces copied to the screen, X events turned into input.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "win/core/backend.h"
#include "win/core/window.h"
#include "win/gdi/surface.h"
#include "win/x11/display.h"
#include "win/x11/surface_image.h"

namespace win::x11 {

// An X window owned by the backend; destroyed with it.
struct XWindow {
    XWindow(Display* d, ::Window id) : display(d), id(id) {}
    ~XWindow() {
        if (id) XDestroyWindow(display, id);
    }
    XWindow(const XWindow&) = delete;
    XWindow& operator=(const XWindow&) = delete;

    Display* display;
    ::Window id;
    HWND hwnd = nullptr;
    HWND owner = nullptr;  // kept: the core forgets it before the X window goes
    bool popup = false;    // override-redirect: no frame, placed exactly
    bool mapped = false;   // as asked by the window core
    bool iconic = false;
    RECT exposed{};  // gathered until the last Expose of a series
    std::unique_ptr<SurfaceImage> image;
    gdi::Surface doubled;  // the surface at twice its size, when the display scale is 2
};

struct GcFreer {
    Display* display;
    void operator()(_XGC* gc) const {
        if (gc) XFreeGC(display, gc);
    }
};
using GcPtr = std::unique_ptr<_XGC, GcFreer>;

// The arrow every window shows until something asks for another cursor.
class ArrowCursor {
  public:
    explicit ArrowCursor(Display* d);
    ~ArrowCursor();
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;
    Cursor get() const { return cursor_; }

  private:
    Display* display_;
    Cursor cursor_;
};

class X11Backend final : public Backend {
  public:
    // Null with error set when the display cannot be used.
    static std::unique_ptr<X11Backend> open(const char* display_name, std::string& error);
    ~X11Backend() override;

    void window_created(HWND) override;
    void window_destroyed(HWND) override;
    void window_shown(HWND, bool visible) override;
    void window_iconified(HWND, bool iconic) override;
    void window_moved(HWND, const RECT&) override;
    void title_changed(HWND, const std::string&) override;
    void icon_changed(HWND, HICON) override;
    void capture_changed(HWND) override;
    void present(HWND, const gdi::Surface&, const RECT& dirty) override;
    bool wait_events(int timeout_ms) override;
    SIZE screen_size() const override;

    bool has_shared_memory() const { return shm_usable_; }
    int scale() const { return scale_; }

  private:
    explicit X11Backend(DisplayPtr display);
    XWindow* find(HWND hwnd);
    XWindow* find(::Window id);
    void set_identity(XWindow& x, const win::Window& w);
    void set_size_hints(XWindow& x, const RECT& r, DWORD style);
    void set_icons(XWindow& x, HWND hwnd);
    void present_exposed(XWindow& x);

    // Event handling (event_dispatch.cpp).
    bool drain_events();
    // True when the event became input for the program.
    bool handle(XEvent& ev);
    void activate(XWindow& x);
    void on_configure(XWindow& x, const XConfigureEvent& ev);
    void on_unmap(XWindow& x);
    void on_map(XWindow& x);
    void on_client_message(XWindow& x, const XClientMessageEvent& ev);

    // Files dropped from other programs (drop_target.cpp).
    void make_drop_target(XWindow& x);
    // True when the message was part of a drag.
    bool on_drag_message(XWindow& x, const XClientMessageEvent& ev);
    void on_drop_data(XWindow& x, const XSelectionEvent& ev);
    void drag_status(XWindow& x, bool accept);
    void drag_finished(XWindow& x, bool accepted);

    // Keyboard focus (keyboard_focus.cpp).
    bool window_manager_running() const;
    // The window that takes keys for x: x, or the enabled window it owns
    // while a modal window has disabled it.
    XWindow* focus_target(XWindow& x);
    void take_focus(XWindow& x, Time when);
    // Hands the focus to x's owner when x has it and is going away.
    void give_focus_back(XWindow& x);
    // Shift, Ctrl and Alt as the server has them now: their releases may
    // have gone to a window that closed on the press (Alt+F4).
    void sync_modifiers();

    DisplayPtr display_;
    int screen_ = 0;
    int scale_ = 1;  // screen pixels per pixel of the window core
    RECT to_screen(const RECT& r) const {
        return RECT{r.left * scale_, r.top * scale_, r.right * scale_, r.bottom * scale_};
    }
    POINT from_screen(int x, int y) const { return POINT{floor_div(x), floor_div(y)}; }
    int floor_div(int v) const { return v >= 0 ? v / scale_ : -((-v + scale_ - 1) / scale_); }
    ::Window root_ = 0;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    Colormap colormap_ = 0;
    Atoms atoms_;
    GcPtr gc_;
    std::unique_ptr<ArrowCursor> cursor_;
    bool shm_usable_ = true;
    // Above zero while the backend itself tells the core about changes the
    // server made, so they are not sent back to the server.
    int following_server_ = 0;
    // The drag over one of our windows, from XdndEnter to XdndDrop or XdndLeave.
    struct Drag {
        ::Window source = 0;
        ::Window target = 0;
        bool uri_list = false;  // the source offers text/uri-list
        bool accepted = false;  // our last XdndStatus said yes
        POINT point{};          // where, in the target's surface
    } drag_;
    std::map<HWND, std::unique_ptr<XWindow>> windows_;
    std::unordered_map<::Window, HWND> by_id_;
};

}  // namespace win::x11
