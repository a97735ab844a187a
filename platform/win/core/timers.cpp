// Window timers over the installed clock. A timer that falls behind is not
// repeated for every missed interval: one WM_TIMER, then on to the next.
#include <algorithm>

#include "win/core/window.h"

namespace win {

std::int64_t next_timer_due() {
    std::int64_t best = -1;
    for (const Timer& t : system_state().timers)
        if (best < 0 || t.due < best) best = t.due;
    return best;
}

bool find_timer_message(HWND filter, bool remove, MSG* out) {
    WindowSystem& s = system_state();
    std::int64_t now = current_clock().now_ms();
    Timer* found = nullptr;
    for (Timer& t : s.timers) {
        if (t.due > now) continue;
        if (filter && t.window != filter && !IsChild(filter, t.window)) continue;
        if (!found || t.due < found->due) found = &t;
    }
    if (!found) return false;
    *out =
        MSG{found->window, WM_TIMER, WPARAM(found->id), LPARAM(found->proc), DWORD(now), s.cursor};
    if (remove) {
        std::int64_t interval = std::max<std::int64_t>(found->interval, 1);
        found->due += interval;
        if (found->due <= now) found->due += ((now - found->due) / interval + 1) * interval;
        s.last_message_time = DWORD(now);
    }
    return true;
}

}  // namespace win

using namespace win;

extern "C" {

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    WindowSystem& s = system_state();
    if (hwnd && !find_window(hwnd)) return 0;
    if (!hwnd) id = s.next_timer_id++;
    // The platform keeps timeouts between 10 ms and about 24 days.
    elapse = std::clamp<UINT>(elapse, 10, 0x7fffffff);
    std::int64_t due = current_clock().now_ms() + elapse;
    for (Timer& t : s.timers) {
        if (t.window == hwnd && t.id == id) {
            t.interval = elapse;
            t.proc = proc;
            t.due = due;
            return id ? id : 1;
        }
    }
    s.timers.push_back(Timer{hwnd, id, elapse, proc, due});
    return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    WindowSystem& s = system_state();
    auto before = s.timers.size();
    std::erase_if(s.timers, [&](const Timer& t) { return t.window == hwnd && t.id == id; });
    std::erase_if(s.posted, [&](const MSG& m) {
        return m.hwnd == hwnd && m.message == WM_TIMER && m.wParam == id;
    });
    return s.timers.size() != before ? TRUE : FALSE;
}

}  // extern "C"
