// The message boxes of the exports: modal, owned by the main window, OK only.
#pragma once

#include "winuser.h"

namespace korvane {

inline void export_error(HWND owner, const char* text) {
    ::MessageBoxA(owner, text, "Error", MB_OK | MB_ICONHAND);
}
inline void export_notice(HWND owner, const char* text) {
    ::MessageBoxA(owner, text, "Korvane", MB_OK | MB_ICONASTERISK);
}

}  // namespace korvane
