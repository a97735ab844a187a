// Small builders for the in-memory templates of the compression dialogs.
#pragma once

#include "win/resources/templates.h"
#include "winuser.h"

namespace vfw::options {

using win::res::control;

inline win::res::DialogTemplate classic_dialog(const char* caption, int cx, int cy) {
    win::res::DialogTemplate t;
    t.caption = caption;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.font_name = "MS Sans Serif";
    t.point_size = 8;
    t.cx = cx;
    t.cy = cy;
    return t;
}

}  // namespace vfw::options
