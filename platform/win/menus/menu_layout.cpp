#include "win/menus/menu_layout.h"

#include <algorithm>
#include <cctype>

#include "win/gdi/draw_text.h"
#include "win/gdi/font.h"

namespace win::menus {

namespace {

// Sends the measure request for one item; the owner may change the menu
// meanwhile, so the item is looked up again afterwards.
void measure(HMENU menu, std::size_t index, HWND owner) {
    Menu* m = find_menu(menu);
    if (!m || index >= m->items.size()) return;
    MenuItem& it = m->items[index];
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, UINT(it.id), 0, UINT(plain_item_height()), it.data};
    SendMessageA(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    m = find_menu(menu);
    if (!m || index >= m->items.size()) return;
    m->items[index].measured = true;
    m->items[index].measure = SIZE{LONG(mis.itemWidth), LONG(mis.itemHeight)};
}

void measure_owner_drawn(HMENU menu, HWND owner) {
    for (std::size_t i = 0;; ++i) {
        Menu* m = find_menu(menu);
        if (!m || i >= m->items.size()) return;
        if (m->items[i].is_owner_drawn() && !m->items[i].measured) measure(menu, i, owner);
    }
}

SIZE popup_item_size(const MenuItem& it) {
    if (it.is_owner_drawn()) {
        // The platform adds room for a check mark to what the owner asked for.
        int check = GetSystemMetrics(SM_CXMENUCHECK) - 1;
        return SIZE{LONG(std::max(0, int(it.measure.cx)) + check),
                    LONG(std::max(0, int(it.measure.cy)))};
    }
    if (it.is_separator()) return SIZE{0, metrics::kSeparatorHeight};
    Caption c = split_caption(it.text);
    int w = metrics::kCheckColumn + label_width(c.label) + metrics::kArrowColumn;
    if (!c.shortcut.empty()) w += metrics::kAccelGap + label_width(c.shortcut);
    return SIZE{LONG(w), LONG(plain_item_height())};
}

}  // namespace

Caption split_caption(std::string_view text) {
    Caption c;
    std::size_t tab = text.find('\t');
    c.label = std::string(text.substr(0, tab));
    if (tab != std::string_view::npos) c.shortcut = std::string(text.substr(tab + 1));
    gdi::TextLine shown = gdi::strip_prefixes(c.label, false);
    if (shown.underline >= 0)
        c.mnemonic = char(
            std::tolower(static_cast<unsigned char>(shown.text[std::size_t(shown.underline)])));
    return c;
}

int label_width(std::string_view label) {
    gdi::TextLine shown = gdi::strip_prefixes(label, false);
    return int(gdi::text_extent(gdi::default_gui_font(), shown.text).cx);
}

int plain_item_height() {
    return std::max(metrics::kMinItemHeight, gdi::font_metrics(gdi::default_gui_font()).height + 4);
}

SIZE layout_popup(HMENU menu, HWND owner) {
    measure_owner_drawn(menu, owner);
    Menu* m = find_menu(menu);
    if (!m) return SIZE{};
    int inner = 0;
    for (const MenuItem& it : m->items) inner = std::max(inner, int(popup_item_size(it).cx));
    int y = metrics::kPopupBorder;
    for (MenuItem& it : m->items) {
        int h = popup_item_size(it).cy;
        it.rect = RECT{metrics::kPopupBorder, y, metrics::kPopupBorder + inner, y + h};
        y += h;
    }
    m->size = SIZE{LONG(inner + 2 * metrics::kPopupBorder), LONG(y + metrics::kPopupBorder)};
    return m->size;
}

int layout_bar(HMENU menu, HWND owner, int width) {
    measure_owner_drawn(menu, owner);
    Menu* m = find_menu(menu);
    if (!m) return 0;
    const int row = GetSystemMetrics(SM_CYMENU);
    int x = 0, y = 0;
    for (MenuItem& it : m->items) {
        int w = it.is_owner_drawn()
                    ? int(it.measure.cx)
                    : label_width(split_caption(it.text).label) + 2 * metrics::kBarPadding;
        // An item that does not fit starts a new row, unless it is alone.
        if (x > 0 && x + w > width) {
            x = 0;
            y += row;
        }
        it.rect = RECT{x, y, x + w, y + row};
        x += w;
    }
    return y + row;
}

}  // namespace win::menus
