// Reads a resource script:
//
//   DIALOG 176 0, 0, 172, 65
//   CAPTION "Select Stream"
//   STYLE WS_POPUP | WS_CAPTION | DS_MODALFRAME
//   EXSTYLE WS_EX_APPWINDOW
//   FONT 8, "MS Sans Serif"
//   MENU 130
//   BEGIN
//       CONTROL "&OK", 1000, BUTTON, BS_DEFPUSHBUTTON | WS_TABSTOP, 111, 11, 52, 17
//   END
//
//   MENU 130
//   BEGIN
//       POPUP "&File"
//       BEGIN
//           MENUITEM "&Open", 32771
//           MENUITEM SEPARATOR
//       END
//   END
//
//   STRINGTABLE BEGIN 101 "&About..." END
//   BITMAP 129 "about.bmp"
//   BITMAP STU "stu.bmp"
//   ICON 128 "korvane.ico"
//
// Controls always get WS_CHILD | WS_VISIBLE; "NOT name" removes a bit. A
// dialog with FONT gets DS_SETFONT. Names of resources are stored upper case.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "script.h"

namespace rc {

[[nodiscard]] std::optional<Script> parse_script(std::string_view source,
                                                 std::vector<Diagnostic>& errors);

}  // namespace rc
