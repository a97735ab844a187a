#include "win/menus/menu_paint.h"

#include "win/core/window.h"
#include "win/gdi/font.h"
#include "win/menus/menu_layout.h"

namespace win::menus {

namespace {

// The DC as every menu item expects it: menu font, no background behind text.
class ItemDc {
  public:
    explicit ItemDc(HDC dc) : dc_(dc) {
        old_font_ = SelectObject(dc, gdi::default_gui_font());
        old_mode_ = SetBkMode(dc, TRANSPARENT);
    }
    ~ItemDc() {
        SelectObject(dc_, old_font_);
        SetBkMode(dc_, old_mode_);
    }
    ItemDc(const ItemDc&) = delete;
    ItemDc& operator=(const ItemDc&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_font_;
    int old_mode_;
};

void fill(HDC dc, RECT r, int color) { FillRect(dc, &r, GetSysColorBrush(color)); }

// Grey text that looks pressed into the menu, as disabled items show.
void draw_text(HDC dc, const std::string& text, RECT r, UINT format, bool disabled,
               COLORREF color) {
    if (disabled) {
        RECT shadow = r;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), int(text.size()), &shadow, format);
        color = GetSysColor(COLOR_BTNSHADOW);
    }
    SetTextColor(dc, color);
    DrawTextA(dc, text.c_str(), int(text.size()), &r, format);
}

// A tick seven pixels wide and high, lowest at its third column.
void draw_check(HDC dc, int x, int y, COLORREF color) {
    static constexpr int kTops[7] = {2, 3, 4, 3, 2, 1, 0};
    HBRUSH brush = CreateSolidBrush(color);
    for (int i = 0; i < 7; ++i) {
        RECT stroke{x + i, y + kTops[i], x + i + 1, y + kTops[i] + 3};
        FillRect(dc, &stroke, brush);
    }
    DeleteObject(brush);
}

// A small solid triangle pointing right: four columns shrinking from seven rows.
void draw_arrow(HDC dc, int x, int y_mid, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    for (int i = 0; i < 4; ++i) {
        RECT col{x + i, y_mid - 3 + i, x + i + 1, y_mid + 4 - i};
        FillRect(dc, &col, brush);
    }
    DeleteObject(brush);
}

UINT owner_draw_state(const MenuItem& it, bool selected) {
    UINT state = selected ? ODS_SELECTED : 0;
    if (it.flags & MF_GRAYED) state |= ODS_GRAYED;
    if (it.flags & MF_DISABLED) state |= ODS_DISABLED;
    if (it.flags & MF_CHECKED) state |= ODS_CHECKED;
    return state;
}

void send_draw_item(HWND owner, HMENU menu, HDC dc, const MenuItem& it, RECT r, UINT action,
                    bool selected) {
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    DRAWITEMSTRUCT dis{ODT_MENU,
                       0,
                       UINT(it.id),
                       action,
                       owner_draw_state(it, selected),
                       reinterpret_cast<HWND>(menu),
                       dc,
                       r,
                       it.data};
    SendMessageA(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
}

void draw_plain_item(HDC dc, const MenuItem& it, bool selected) {
    RECT r = it.rect;
    if (it.is_separator()) {
        fill(dc, r, COLOR_MENU);
        RECT line{r.left + 1, r.top + (r.bottom - r.top) / 2 - 1, r.right - 1, r.bottom};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    fill(dc, r, selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    bool etched = it.is_disabled() && !selected;
    if (selected && it.is_disabled()) text = GetSysColor(COLOR_GRAYTEXT);
    int mid = (r.top + r.bottom) / 2;
    if (it.flags & MF_CHECKED) draw_check(dc, r.left + 5, mid - 4, text);
    if (it.is_popup()) draw_arrow(dc, r.right - 10, mid, text);
    Caption c = split_caption(it.text);
    RECT tr{r.left + metrics::kCheckColumn, r.top, r.right - metrics::kArrowColumn, r.bottom};
    const UINT format = DT_SINGLELINE | DT_VCENTER;
    draw_text(dc, c.label, tr, format | DT_LEFT, etched, text);
    if (!c.shortcut.empty()) draw_text(dc, c.shortcut, tr, format | DT_RIGHT, etched, text);
}

}  // namespace

void paint_bar(HWND window, HMENU menu, HDC dc, const RECT& bar) {
    fill(dc, bar, COLOR_MENU);
    // Items may have come and gone since the core last asked for the height.
    layout_bar(menu, window, bar.right - bar.left);
    Menu* m = find_menu(menu);
    if (!m) return;
    ItemDc setup(dc);
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        m = find_menu(menu);
        if (!m || i >= m->items.size()) return;
        const MenuItem it = m->items[i];  // the owner may change the menu while drawing
        RECT r = it.rect;
        OffsetRect(&r, bar.left, bar.top);
        bool selected = m->selected == int(i);
        if (it.is_owner_drawn()) {
            send_draw_item(window, menu, dc, it, r, ODA_DRAWENTIRE, selected);
            continue;
        }
        RECT tr = r;
        if (selected && m->bar_open) {
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
            OffsetRect(&tr, 1, 1);
        } else if (selected) {
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
        }
        draw_text(dc, it.text, tr, DT_SINGLELINE | DT_VCENTER | DT_CENTER, it.is_disabled(),
                  GetSysColor(COLOR_MENUTEXT));
    }
}

void repaint_bar(HWND window) {
    Window* w = find_window(window);
    HMENU menu = GetMenu(window);
    if (!w || !menu || w->insets.top <= 0) return;
    HDC dc = GetWindowDC(window);
    if (!dc) return;
    RECT bar{0, 0, w->rect.right - w->rect.left, w->insets.top};
    paint_bar(window, menu, dc, bar);
    ReleaseDC(window, dc);
}

void paint_popup(HWND popup_window, HMENU menu, HWND owner, HDC dc) {
    RECT rc;
    GetClientRect(popup_window, &rc);
    fill(dc, rc, COLOR_MENU);
    DrawEdge(dc, &rc, EDGE_RAISED, BF_RECT);
    Menu* m = find_menu(menu);
    for (std::size_t i = 0; m && i < m->items.size(); m = find_menu(menu), ++i)
        draw_popup_item(popup_window, menu, owner, dc, int(i), ODA_DRAWENTIRE);
}

void draw_popup_item(HWND popup_window, HMENU menu, HWND owner, HDC dc, int index, UINT action) {
    Menu* m = find_menu(menu);
    if (!m || index < 0 || std::size_t(index) >= m->items.size()) return;
    ItemDc setup(dc);
    // The frame is outside the items' area, as a border outside a client
    // area is: owners that draw a little past their item leave it alone.
    int saved = SaveDC(dc);
    RECT rc;
    GetClientRect(popup_window, &rc);
    IntersectClipRect(dc, rc.left + metrics::kPopupBorder, rc.top + metrics::kPopupBorder,
                      rc.right - metrics::kPopupBorder, rc.bottom - metrics::kPopupBorder);
    const MenuItem it =
        m->items[std::size_t(index)];  // the owner may change the menu while drawing
    bool selected = m->selected == index;
    if (it.is_owner_drawn())
        send_draw_item(owner, menu, dc, it, it.rect, action, selected);
    else
        draw_plain_item(dc, it, selected);
    RestoreDC(dc, saved);
}

}  // namespace win::menus
