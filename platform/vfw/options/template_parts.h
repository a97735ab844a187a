// Small builders for the in-memory templates of the compression dialogs.
#pragma once

#include "win/resources/templates.h"
#include "winuser.h"

namespace vfw::options {

inline win::res::DialogControl item(const char* cls, const char* text, int id, DWORD style, int x,
                                    int y, int cx, int cy) {
    win::res::DialogControl c;
    c.class_name = cls;
    c.text = text;
    c.id = id;
    c.style = WS_CHILD | WS_VISIBLE | style;
    c.x = x;
    c.y = y;
    c.cx = cx;
    c.cy = cy;
    return c;
}

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
