// The caret: one per application, owned by one window, drawn solid (no
// blinking) by inverting its rectangle. A window that paints over its caret
// hides it around the painting (HideCaret before BeginPaint, ShowCaret after
// EndPaint), as the edit control does.
#include "winuser.h"

namespace win::controls {
namespace {

struct Caret {
    HWND owner = nullptr;
    int width = 0, height = 0;
    POINT pos{};
    int hide_level = 0;  // shown when 0
    bool drawn = false;
};

// The layer's caret record.
Caret& caret() {
    static Caret c;
    return c;
}

void invert(Caret& c) {
    HDC dc = GetDC(c.owner);
    if (!dc) return;
    RECT r{c.pos.x, c.pos.y, c.pos.x + c.width, c.pos.y + c.height};
    InvertRect(dc, &r);
    ReleaseDC(c.owner, dc);
    c.drawn = !c.drawn;
}

// A caret whose window is gone is forgotten.
bool alive(Caret& c) {
    if (c.owner && !IsWindow(c.owner)) c = Caret{};
    return c.owner != nullptr;
}

bool owned_by(Caret& c, HWND hwnd) { return alive(c) && (!hwnd || hwnd == c.owner); }

}  // namespace
}  // namespace win::controls

using win::controls::caret;

extern "C" {

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height) {
    if (!IsWindow(hwnd)) return FALSE;
    DestroyCaret();
    auto& c = caret();
    c.owner = hwnd;
    c.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
    c.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
    c.pos = POINT{0, 0};
    c.hide_level = 1;  // a new caret starts hidden
    c.drawn = false;
    return TRUE;
}

BOOL DestroyCaret(void) {
    auto& c = caret();
    if (!win::controls::alive(c)) return FALSE;
    if (c.drawn) win::controls::invert(c);
    c = {};
    return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
    auto& c = caret();
    if (!win::controls::owned_by(c, hwnd) || c.hide_level == 0) return FALSE;
    if (--c.hide_level == 0 && !c.drawn && IsWindowVisible(c.owner)) win::controls::invert(c);
    return TRUE;
}

BOOL HideCaret(HWND hwnd) {
    auto& c = caret();
    if (!win::controls::owned_by(c, hwnd)) return FALSE;
    if (c.drawn) win::controls::invert(c);
    ++c.hide_level;
    return TRUE;
}

BOOL SetCaretPos(int x, int y) {
    auto& c = caret();
    if (!win::controls::alive(c)) return FALSE;
    if (c.pos.x == x && c.pos.y == y) return TRUE;
    bool was_drawn = c.drawn;
    if (was_drawn) win::controls::invert(c);
    c.pos = POINT{x, y};
    if (was_drawn) win::controls::invert(c);
    return TRUE;
}

}  // extern "C"
