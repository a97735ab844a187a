// The dialog engine as the layers above see it: dialogs from parsed
// templates, the modal run, and what tests read from message boxes.
#pragma once

#include <functional>
#include <string>

#include "win/resources/templates.h"
#include "winuser.h"

namespace win::dialogs {

// Dialog base units of a DS_SETFONT template: the classic values of the
// 8-point dialog font, so layouts keep their classic geometry.
inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;

// Pixel rectangle of a template rectangle, each of x, y, cx and cy mapped on
// its own as the dialog manager does.
RECT dialog_units_to_pixels(int x, int y, int cx, int cy);

// Creates the dialog window, its controls and sends WM_INITDIALOG. Null when
// a window or a control cannot be made. A top-level dialog is centred over
// its owner, or over the screen when it has none.
HWND create_dialog(const res::DialogTemplate& tmpl, HINSTANCE instance, HWND owner, DLGPROC proc,
                   LPARAM param);

// Runs a dialog made by create_dialog modally: disables the owner, runs the
// nested loop with the dialog keyboard, re-enables and re-activates the
// owner and destroys the dialog. Returns EndDialog's value. A filter, when
// given, sees each message instead of IsDialogMessageA (a framework's
// pre-translation) and returns true when it handled it.
INT_PTR run_modal(HWND dialog, HWND owner, const std::function<bool(MSG&)>& filter = {});

// create_dialog + run_modal; -1 when the dialog cannot be made.
INT_PTR dialog_box(const res::DialogTemplate& tmpl, HINSTANCE instance, HWND owner, DLGPROC proc,
                   LPARAM param);

// True once EndDialog was called for the dialog (for callers that run a
// dialog in a loop of their own); *result gets its value.
bool dialog_ended(HWND dialog, INT_PTR* result = nullptr);

// The dialog's font (WM_GETFONT); null for a bad handle.
HFONT dialog_font(HWND dialog);

enum class IconKind { None, Stop, Question, Warning, Information };

struct MessageBoxInfo {
    std::string text;
    std::string caption;
    IconKind icon = IconKind::None;
    UINT type = 0;  // the MB_ flags given
};

// True when the window is a message box; fills *info.
bool message_box_info(HWND hwnd, MessageBoxInfo* info);

// The 32 x 32 picture of a message-box icon (owned by the layer; null for
// IconKind::None).
HICON message_box_icon(IconKind kind);

}  // namespace win::dialogs
