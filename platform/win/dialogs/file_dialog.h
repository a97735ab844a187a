// The open and save dialogs: their control ids (the classic ones, so a
// caller can find them) and the run behind GetOpenFileNameA and
// GetSaveFileNameA.
#pragma once

#include <string>

#include "commdlg.h"
#include "winuser.h"

namespace win::dialogs::file_dialog {

inline constexpr int kUpButton = 0x0400;     // "Up": the parent folder
inline constexpr int kPathLine = 0x0440;     // the folder shown
inline constexpr int kTypeLabel = 0x0441;    // "Files of type:"
inline constexpr int kNameLabel = 0x0442;    // "File name:"
inline constexpr int kFolderLabel = 0x0443;  // "Look in:" / "Save in:"
inline constexpr int kFolderList = 0x0460;   // sub-folders first, then files
inline constexpr int kTypeCombo = 0x0470;
inline constexpr int kNameEdit = 0x0480;

// Runs the dialog; TRUE with the result written into *ofn. *error gets the
// CommDlgExtendedError value (0 on Cancel).
BOOL run(OPENFILENAMEA* ofn, bool save, DWORD* error);

// The folder a dialog starts in when the caller names none: the folder of
// the last file chosen during this run of the program, else the current
// directory.
std::string starting_folder();
void remember_folder(const std::string& folder);

}  // namespace win::dialogs::file_dialog
