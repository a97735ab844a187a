// An owner-drawn popup menu with a small picture beside each item.
#pragma once

#include "afxwin.h"

struct BitmapMenuItem {
    char text[128];  // first, so the record's address also reads as the caption
    char* shortcut;  // after the caption's first tab; null without a tab
    CBitmap* picture;
    int width;
    int height;
};

class CBitmapMenu : public CMenu {
  public:
    CBitmapMenu();
    ~CBitmapMenu() override;

    void SetItemWidth(int width) { newItemWidth = width; }
    void SetItemHeight(int height) { newItemHeight = height; }
    void AppendItem(UINT flags, UINT id, const char* caption, UINT bitmapId);
    void DrawItem(LPDRAWITEMSTRUCT request) override;
    void MeasureItem(LPMEASUREITEMSTRUCT request) override;

    static void DrawCheckMark(CDC* dc, int x, int y, COLORREF colour);

    int newItemWidth;
    int newItemHeight;
    CPtrList items;
};
