// Owner-drawn popup items: a 20 x 20 picture box, the caption beside it, a
// dark bar for the highlighted item and etched separators.
#include "controls/bitmap_menu.h"

#include <cstdlib>
#include <cstring>

namespace {

const COLORREF kLineColour = RGB(64, 64, 128);
const COLORREF kBarColour = RGB(64, 64, 127);
const COLORREF kCheckFill = RGB(216, 216, 235);
const COLORREF kHighlightText = RGB(255, 255, 255);

struct Boxes {
    RECT picture, text, caption, shortcut, bar;
};

Boxes boxes_of(const RECT& r) {
    Boxes b;
    b.picture = RECT{r.left, r.top, r.left + 20, r.top + 20};
    b.text = RECT{r.left + 20, r.top, r.right, r.bottom};
    b.caption = b.text;
    InflateRect(&b.caption, -2, -2);
    OffsetRect(&b.caption, 6, 2);
    b.shortcut = RECT{b.caption.right - 60, b.caption.top, b.caption.right, b.caption.bottom};
    b.bar = RECT{r.left + 22, r.top, r.right, r.bottom};
    return b;
}

void fill(CDC* dc, const RECT& r, COLORREF colour) {
    CBrush brush(colour);
    dc->FillRect(&r, &brush);
}

void frame(CDC* dc, const RECT& r, COLORREF colour) {
    CBrush brush(colour);
    dc->FrameRect(&r, &brush);
}

void copy_picture(CDC* dc, CBitmap* picture, const RECT& item) {
    CDC memory;
    if (!memory.CreateCompatibleDC(dc)) return;
    CBitmap* old = memory.SelectObject(picture);
    dc->BitBlt(item.left + 2, item.top + 2, 16, 16, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}

void draw_texts(CDC* dc, BitmapMenuItem* item, const Boxes& b) {
    RECT caption = b.caption;
    dc->DrawText(item->text, -1, &caption, DT_SINGLELINE);
    if (item->shortcut) {
        RECT shortcut = b.shortcut;
        dc->DrawText(item->shortcut, -1, &shortcut, DT_SINGLELINE);
    }
}

}  // namespace

CBitmapMenu::CBitmapMenu() : newItemWidth(25), newItemHeight(32), items(10) {}

CBitmapMenu::~CBitmapMenu() {
    while (!items.IsEmpty()) {
        auto* item = static_cast<BitmapMenuItem*>(items.GetHead());
        std::free(item->shortcut);
        delete item->picture;
        delete item;
        items.RemoveHead();
    }
    DestroyMenu();
}

void CBitmapMenu::AppendItem(UINT flags, UINT id, const char* caption, UINT bitmapId) {
    CBitmap* picture = nullptr;
    if (bitmapId != 0) {
        picture = new CBitmap;
        HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(bitmapId), nullptr);
        picture->Attach(LoadBitmapA(module, MAKEINTRESOURCEA(bitmapId)));
    }
    auto* item = new BitmapMenuItem{};
    item->picture = picture;
    item->width = newItemWidth;
    item->height = newItemHeight;
    items.AddTail(item);
    if (!(flags & MF_POPUP)) flags |= MF_OWNERDRAW;

    if (!caption) caption = "";
    const char* tab = std::strchr(caption, '\t');
    size_t length = tab ? size_t(tab - caption) : std::strlen(caption);
    // Longer captions are cut to the record's room rather than overrun it.
    if (length > sizeof item->text - 1) length = sizeof item->text - 1;
    std::memcpy(item->text, caption, length);
    item->text[length] = 0;
    item->shortcut = tab ? strdup(tab + 1) : nullptr;

    AppendMenuA(m_hMenu, flags, id, reinterpret_cast<LPCSTR>(item));
}

void CBitmapMenu::MeasureItem(LPMEASUREITEMSTRUCT request) {
    auto* item = reinterpret_cast<BitmapMenuItem*>(request->itemData);
    if (!item) return;
    UINT state = ::GetMenuState(m_hMenu, request->itemID, MF_BYCOMMAND);
    request->itemWidth = UINT(item->width);
    request->itemHeight = (state != UINT(-1) && (state & MF_SEPARATOR)) ? 6 : UINT(item->height);
}

void CBitmapMenu::DrawCheckMark(CDC* dc, int x, int y, COLORREF colour) {
    static const int tops[7] = {2, 3, 4, 3, 2, 1, 0};
    CPen pen(PS_SOLID, 1, colour);
    CPen* old = dc->SelectObject(&pen);
    for (int i = 0; i < 7; ++i) {
        dc->MoveTo(x + i, y + tops[i]);
        dc->LineTo(x + i, y + tops[i] + 3);
    }
    dc->SelectObject(old);
}

void CBitmapMenu::DrawItem(LPDRAWITEMSTRUCT request) {
    auto* item = reinterpret_cast<BitmapMenuItem*>(request->itemData);
    CDC* dc = CDC::FromHandle(request->hDC);
    if (!item || !dc) return;
    UINT state = ::GetMenuState(m_hMenu, request->itemID, MF_BYCOMMAND);
    if (state == UINT(-1)) state = 0;
    const RECT& r = request->rcItem;
    Boxes b = boxes_of(r);
    COLORREF face = GetSysColor(COLOR_BTNFACE);

    if (request->itemAction & ODA_DRAWENTIRE) {
        fill(dc, r, face);
        fill(dc, b.picture, face);
        if (state & MF_SEPARATOR) {
            RECT line = b.text;
            OffsetRect(&line, 5, 3);
            dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
        }
        if (state & MF_CHECKED) {
            RECT box = b.picture;
            InflateRect(&box, -1, -1);
            frame(dc, box, kLineColour);
            InflateRect(&box, -1, -1);
            fill(dc, box, kCheckFill);
            DrawCheckMark(dc, box.left + 5, box.top + 5, kLineColour);
        }
        if (item->picture) copy_picture(dc, item->picture, r);
        dc->SetBkMode(TRANSPARENT);
        draw_texts(dc, item, b);
    }

    bool selected = request->itemState & ODS_SELECTED;
    if (selected && (request->itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) {
        if (state & (MF_GRAYED | MF_DISABLED)) return;
        if (!(state & MF_CHECKED) && item->picture) {
            RECT box = b.picture;
            dc->DrawEdge(&box, BDR_RAISEDINNER, BF_RECT);
        }
        frame(dc, b.bar, kLineColour);
        RECT inner = b.bar;
        InflateRect(&inner, -1, -1);
        fill(dc, inner, kBarColour);
        dc->SetTextColor(kHighlightText);
        dc->SetBkMode(TRANSPARENT);
        draw_texts(dc, item, b);
        return;
    }

    if (!selected && (request->itemAction & ODA_SELECT)) {
        if (item->picture) {
            fill(dc, b.picture, face);
            copy_picture(dc, item->picture, r);
        }
        fill(dc, b.text, face);
        dc->SetBkMode(TRANSPARENT);
        draw_texts(dc, item, b);
    }
}
