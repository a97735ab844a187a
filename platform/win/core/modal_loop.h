// Nested message loops for dialogs, message boxes, file dialogs and menu
// tracking. They keep dispatching to every window, timers included.
#pragma once

#include <functional>

#include "winuser.h"

namespace win {

// Runs until done() is true; a WM_QUIT ends the loop early and is posted
// again for the outer loop. filter sees each message first and returns true
// when it handled it (the dialog keyboard). The automation hook is told
// about the modal window when the loop starts. Returns false on WM_QUIT.
bool run_modal_loop(HWND modal, const std::function<bool()>& done,
                    const std::function<bool(MSG&)>& filter = {});

}  // namespace win
