// The message queue: posted messages first, then paint, then timers, in the
// order the platform hands them out; waiting goes to the display.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "win/core/window.h"

namespace win {
bool find_paint_message(HWND filter, MSG* out);
bool find_timer_message(HWND filter, bool remove, MSG* out);
std::int64_t next_timer_due();
}  // namespace win

using namespace win;

namespace {

bool matches(const MSG& m, HWND filter, UINT first, UINT last) {
    if (filter && m.hwnd != filter && !IsChild(filter, m.hwnd)) return false;
    if (first == 0 && last == 0) return true;
    return m.message >= first && m.message <= last;
}

bool in_range(UINT msg, UINT first, UINT last) {
    return (first == 0 && last == 0) || (msg >= first && msg <= last);
}

void stamp(MSG* m) {
    m->time = DWORD(current_clock().now_ms());
    m->pt = system_state().cursor;
}

bool take_message(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
    WindowSystem& s = system_state();
    for (auto it = s.posted.begin(); it != s.posted.end(); ++it) {
        if (!matches(*it, filter, first, last)) continue;
        *out = *it;
        if (remove) s.posted.erase(it);
        s.last_message_time = out->time;
        return true;
    }
    if (s.quit_posted && in_range(WM_QUIT, first, last)) {
        *out = MSG{nullptr, WM_QUIT, WPARAM(s.quit_code), 0, 0, {}};
        stamp(out);
        if (remove) s.quit_posted = false;
        return true;
    }
    if (in_range(WM_PAINT, first, last) && find_paint_message(filter, out)) {
        stamp(out);
        return true;
    }
    if (in_range(WM_TIMER, first, last) && find_timer_message(filter, remove, out)) return true;
    return false;
}

[[noreturn]] void wait_forever() {
    std::fprintf(stderr,
                 "win: the message loop would wait forever: no input can arrive and no timer "
                 "is set\n");
    std::abort();
}

}  // namespace

extern "C" {

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd && !find_window(hwnd)) return FALSE;
    MSG m{hwnd, msg, wp, lp, 0, {}};
    stamp(&m);
    system_state().posted.push_back(m);
    return TRUE;
}

void PostQuitMessage(int code) {
    system_state().quit_posted = true;
    system_state().quit_code = code;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return send(hwnd, msg, wp, lp); }

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove) {
    if (!msg) return FALSE;
    if (take_message(msg, hwnd, first, last, remove & PM_REMOVE)) return TRUE;
    // Let the display deliver what it has without waiting.
    flush_dirty_surfaces();
    backend().wait_events(0);
    return take_message(msg, hwnd, first, last, remove & PM_REMOVE) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last) {
    if (!msg) return -1;
    for (;;) {
        if (take_message(msg, hwnd, first, last, true))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        flush_dirty_surfaces();
        std::int64_t due = next_timer_due();
        int timeout = -1;
        if (due >= 0)
            timeout = int(std::clamp<std::int64_t>(due - current_clock().now_ms(), 0, 1 << 30));
        bool got = backend().wait_events(timeout);
        if (!got && timeout < 0 && current_clock().is_virtual()) wait_forever();
    }
}

BOOL WaitMessage(void) {
    MSG m;
    if (PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
    std::int64_t due = next_timer_due();
    int timeout = due >= 0 ? int(std::max<std::int64_t>(due - current_clock().now_ms(), 0)) : -1;
    backend().wait_events(timeout);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, UINT_PTR(msg->wParam), msg->time);
        return 0;
    }
    if (!msg->hwnd) return 0;
    LRESULT r = send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) {
        // A window that ignores WM_PAINT must not be asked again and again.
        if (Window* w = find_window(msg->hwnd)) {
            w->update = RECT{};
            w->erase_pending = false;
            w->nc_pending = false;
        }
    }
    return r;
}

DWORD GetTickCount(void) { return DWORD(current_clock().now_ms()); }
DWORD GetMessageTime(void) { return system_state().last_message_time; }

}  // extern "C"
