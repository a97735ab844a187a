// The window procedures of the standard and common controls, and their
// registration (InitCommonControls and the dialog engine call it).
#pragma once

#include "winuser.h"

namespace win::controls {

LRESULT CALLBACK button_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK static_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK edit_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK listbox_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK combobox_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK trackbar_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK progress_proc(HWND, UINT, WPARAM, LPARAM);

// The class of a combo box's drop-down list window.
inline constexpr const char* kComboListClass = "ComboLBox";

// Registers every control class once; later calls do nothing.
void register_all();

}  // namespace win::controls
