// Where a compression dialog keeps its state: the pointer WM_INITDIALOG
// brings, kept in the dialog's user slot for the messages after it.
#pragma once

#include "winuser.h"

namespace vfw::options {

// The dialog's state, or null for the messages before WM_INITDIALOG.
template <class State>
State* dialog_state(HWND dlg, UINT msg, LPARAM lp) {
    if (msg != WM_INITDIALOG) return reinterpret_cast<State*>(GetWindowLongPtrA(dlg, DWLP_USER));
    SetWindowLongPtrA(dlg, DWLP_USER, LONG_PTR(lp));
    return reinterpret_cast<State*>(lp);
}

}  // namespace vfw::options
