// The menu wrapper and its handle-to-object map.
#pragma once

#include "winuser.h"

class CMenu {
  public:
    CMenu() = default;
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    // Attaching makes the handle known as this object's (FromHandlePermanent).
    BOOL Attach(HMENU menu);
    HMENU Detach();
    static CMenu* FromHandle(HMENU menu);
    static CMenu* FromHandlePermanent(HMENU menu);

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL LoadMenu(UINT id);
    BOOL DestroyMenu();
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR item = nullptr);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, LPCSTR item = nullptr);
    BOOL RemoveMenu(UINT position, UINT flags);
    BOOL DeleteMenu(UINT position, UINT flags);
    UINT GetMenuState(UINT id, UINT flags) const;
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    CMenu* GetSubMenu(int position) const;
    UINT EnableMenuItem(UINT id, UINT enable);
    UINT CheckMenuItem(UINT id, UINT check);
    BOOL TrackPopupMenu(UINT flags, int x, int y, class CWnd* wnd, LPCRECT rect = nullptr);

    virtual void MeasureItem(LPMEASUREITEMSTRUCT request);
    virtual void DrawItem(LPDRAWITEMSTRUCT request);

    HMENU m_hMenu = nullptr;
};
