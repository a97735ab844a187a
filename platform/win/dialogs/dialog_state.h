// What the dialog manager keeps for each dialog window, beside the window's
// own extra bytes (DWLP_MSGRESULT, DWLP_DLGPROC, DWLP_USER).
#pragma once

#include <memory>

#include "win/dialogs/dialogs.h"
#include "winuser.h"

namespace win::dialogs {

struct DialogState {
    HFONT font = nullptr;
    HWND owner = nullptr;
    HWND saved_focus = nullptr;  // the control that had the focus on deactivation
    int default_id = 0;          // set by DM_SETDEFID; 0 means "the template's"
    bool ended = false;
    INT_PTR result = 0;
    bool modal = false;
    bool owner_disabled = false;  // the modal run disabled the owner and must enable it again
    std::unique_ptr<MessageBoxInfo> message_box;  // set for message boxes only
};

// The dialog's record; null when the window is not a live dialog.
DialogState* dialog_state(HWND dialog);
DialogState& attach_dialog_state(HWND dialog);
void detach_dialog_state(HWND dialog);

// Registers the dialog class once.
void register_dialog_class();

// Top-left corner that centres a window of this size over the owner (or the
// screen when there is none), kept on the screen.
POINT centred_position(HWND owner, int width, int height);

// Control helpers shared by the keyboard, the manager and the items.
UINT dialog_code(HWND control, const MSG* msg = nullptr);
bool is_push_button(HWND control);
HWND first_tab_stop(HWND dialog);
// Moves the focus to a control; an edit control gets all its text selected.
void focus_control(HWND dialog, HWND control, bool select_text);
// The id the Enter key presses: the focused push button, else DM_GETDEFID,
// else IDOK.
int enter_button_id(HWND dialog);
// Sends the command of a button as if it were clicked, unless the button is
// there and disabled.
void press_command(HWND dialog, int id);
// Default-button look follows the focus between push buttons.
void update_default_look(HWND dialog, HWND new_focus);

}  // namespace win::dialogs
