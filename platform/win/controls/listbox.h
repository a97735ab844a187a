// LISTBOX (single selection) and the drop-down list of a combo box: items,
// the current selection, scrolling, and a classic vertical scroll bar drawn
// inside the client area.
#pragma once

#include <string>
#include <vector>

#include "win/controls/control_common.h"

namespace win::controls::listbox {

struct Item {
    std::string text;
    ULONG_PTR data = 0;
};

enum class Grab { None, Items, Thumb };

struct State : ControlBase {
    std::vector<Item> items;
    int cur = -1;  // the selected item, -1 for none
    int top = 0;   // first visible item
    Grab grab = Grab::None;
    int thumb_grab = 0;    // pointer minus thumb top while dragging the thumb
    HWND combo = nullptr;  // the owning combo box for a drop-down list
    int last_click_item = -1;
    DWORD last_click_time = 0;
    std::string typed;  // letters typed in quick succession, for type-ahead
    DWORD last_typed_time = 0;
};

// Messages a drop-down list sends its combo box.
inline constexpr UINT kListChose = WM_USER + 0x300;  // wParam: TRUE chosen, FALSE cancelled

struct ScrollBar {
    bool shown = false;
    bool active = false;  // enough items to scroll
    RECT bar{}, up{}, down{}, thumb{};
};

int item_height(const State& s);
int visible_rows(HWND hwnd, const State& s);
int max_top(HWND hwnd, const State& s);
// The item area (the client minus the scroll bar).
RECT items_rect(HWND hwnd, const State& s);
ScrollBar scroll_bar(HWND hwnd, const State& s);

void paint(HWND hwnd, const State& s);

}  // namespace win::controls::listbox
