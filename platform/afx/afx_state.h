// The framework's own tables: handle-to-object maps and the application.
#pragma once

#include <map>
#include <memory>

#include "afxwin.h"

namespace afx {

// Temporary wrappers let go of their handle before they go: the handle is
// somebody else's.
struct DetachMenu {
    void operator()(CMenu* m) const {
        m->m_hMenu = nullptr;
        delete m;
    }
};

struct State {
    CWinApp* app = nullptr;
    std::map<HWND, CWnd*> windows;                       // attached objects
    std::map<HWND, std::unique_ptr<CWnd>> temp_windows;  // wrappers of foreign handles
    std::map<HMENU, CMenu*> menus;
    std::map<HMENU, std::unique_ptr<CMenu, DetachMenu>> temp_menus;
    // The window whose control notifications are held back while it
    // exchanges data: its own SetWindowText calls must not call back into it.
    HWND lockout_notify = nullptr;
};

State& state();

// Drops the temporary wrappers whose handles are gone.
void collect_temporaries();

}  // namespace afx
