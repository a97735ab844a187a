// Dialog and menu templates in the form the dialog and menu engines read.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "win/resources/registry.h"
#include "win/resources/resource_name.h"
#include "windef.h"

namespace win::res {

struct DialogControl {
    std::string class_name;  // as written: "BUTTON", "STATIC", "msctls_trackbar32"...
    std::string text;
    std::uint16_t text_id = 0;  // a resource number given instead of a text (SS_BITMAP, SS_ICON)
    int id = 0;
    DWORD style = 0;  // WS_CHILD | WS_VISIBLE already included
    DWORD exstyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
};

// A control of an in-memory template, shown as soon as its dialog is.
DialogControl control(const char* class_name, const char* text, int id, DWORD style, int x, int y,
                      int cx, int cy);

struct DialogTemplate {
    std::string caption;
    DWORD style = 0;
    DWORD exstyle = 0;
    std::string font_name;  // empty without DS_SETFONT
    int point_size = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    ResourceName menu;                 // empty() when the dialog has no menu
    std::string class_name;            // empty for the standard dialog class
    std::vector<DialogControl> controls;
};

struct MenuTemplateItem {
    std::string text;
    UINT id = 0;     // 0 for separators and popups
    UINT flags = 0;  // MF_ bits: MF_POPUP, MF_SEPARATOR, MF_GRAYED, MF_CHECKED...
    std::vector<MenuTemplateItem> children;  // the popup's items

    bool is_popup() const { return flags & menu_flag::popup; }
    bool is_separator() const { return flags & menu_flag::separator; }
};

struct MenuTemplate {
    std::vector<MenuTemplateItem> items;  // the bar's entries
};

[[nodiscard]] std::optional<DialogTemplate> find_dialog(const ResourceName& name,
                                                        HINSTANCE instance = nullptr);
[[nodiscard]] std::optional<MenuTemplate> find_menu(const ResourceName& name,
                                                    HINSTANCE instance = nullptr);

// Also used on tables that were never installed (tests, tools).
DialogTemplate to_template(const DialogEntry& entry);
MenuTemplate to_template(const MenuEntry& entry);

}  // namespace win::res
