// CMenu and its handle-to-object map.
#include "afx/afx_state.h"

using afx::state;

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandlePermanent(HMENU menu) {
    auto& m = state().menus;
    auto it = m.find(menu);
    return it == m.end() ? nullptr : it->second;
}

CMenu* CMenu::FromHandle(HMENU menu) {
    if (!menu) return nullptr;
    if (CMenu* m = FromHandlePermanent(menu)) return m;
    auto& temps = state().temp_menus;
    auto it = temps.find(menu);
    if (it != temps.end()) return it->second.get();
    if (temps.size() >= 64) temps.clear();
    auto* wrapper = new CMenu;
    wrapper->m_hMenu = menu;
    temps.emplace(menu, std::unique_ptr<CMenu, afx::DetachMenu>(wrapper));
    return wrapper;
}

BOOL CMenu::Attach(HMENU menu) {
    if (!menu || m_hMenu || FromHandlePermanent(menu)) return FALSE;
    auto& temps = state().temp_menus;
    temps.erase(menu);
    state().menus[menu] = this;
    m_hMenu = menu;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU h = m_hMenu;
    if (h) {
        auto& m = state().menus;
        if (auto it = m.find(h); it != m.end() && it->second == this) m.erase(it);
    }
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
BOOL CMenu::LoadMenu(UINT id) {
    return Attach(LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)));
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) return FALSE;
    HMENU h = Detach();
    // Temporary wrappers held by this object are our own business only.
    return ::DestroyMenu(h);
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, LPCSTR item) {
    return AppendMenuA(m_hMenu, flags, id, item);
}
BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR id, LPCSTR item) {
    return InsertMenuA(m_hMenu, position, flags, id, item);
}
BOOL CMenu::RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }
BOOL CMenu::DeleteMenu(UINT position, UINT flags) { return ::DeleteMenu(m_hMenu, position, flags); }
UINT CMenu::GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }
int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
CMenu* CMenu::GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }
UINT CMenu::EnableMenuItem(UINT id, UINT enable) { return ::EnableMenuItem(m_hMenu, id, enable); }
UINT CMenu::CheckMenuItem(UINT id, UINT check) { return ::CheckMenuItem(m_hMenu, id, check); }
BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* wnd, LPCRECT rect) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, wnd ? wnd->m_hWnd : nullptr, rect);
}

// The base class draws and measures nothing: owner-drawn items belong to
// classes that know what they hold.
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}
void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}
