#include "win/core/modal_loop.h"

#include "win/core/window.h"

namespace win {

bool run_modal_loop(HWND modal, const std::function<bool()>& done,
                    const std::function<bool(MSG&)>& filter) {
    WindowSystem& s = system_state();
    ++s.modal_depth;
    if (s.modal_hook && find_window(modal)) {
        // The hook may install the next hook for a nested loop.
        auto hook = s.modal_hook;
        hook(modal);
    }
    bool quit = false;
    MSG msg;
    while (!done()) {
        BOOL r = GetMessageA(&msg, nullptr, 0, 0);
        if (r <= 0) {
            quit = true;
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (filter && filter(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    --s.modal_depth;
    return !quit;
}

}  // namespace win
