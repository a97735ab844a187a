// Sizes and positions of menu items: popups in a column, the bar in rows.
#pragma once

#include <string>
#include <string_view>

#include "win/menus/menu_table.h"

namespace win::menus {

namespace metrics {
inline constexpr int kPopupBorder = 3;   // raised edge and one pixel of menu colour
inline constexpr int kCheckColumn = 18;  // room for the check mark left of the text
inline constexpr int kArrowColumn = 16;  // room for the submenu arrow
inline constexpr int kAccelGap = 16;     // between the text and its shortcut
inline constexpr int kMinItemHeight = 17;
inline constexpr int kSeparatorHeight = 9;
inline constexpr int kBarPadding = 7;  // each side of a bar item's text
}  // namespace metrics

// A caption split at its first tab, with its mnemonic letter (lower case, 0
// for none) and the text as drawn.
struct Caption {
    std::string label;  // with its '&' marks
    std::string shortcut;
    char mnemonic = 0;
};
Caption split_caption(std::string_view text);

// Width of a label as drawn with the menu font ('&' marks removed).
int label_width(std::string_view label);
int plain_item_height();

// Lays out a popup: owner-drawn items not measured yet are measured by
// `owner` (WM_MEASUREITEM) first. Returns the popup's client size.
SIZE layout_popup(HMENU menu, HWND owner);

// Lays out a bar in rows `width` wide; returns the bar's height (0 for a
// stale menu).
int layout_bar(HMENU menu, HWND owner, int width);

}  // namespace win::menus
