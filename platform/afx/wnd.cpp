// CWnd: the handle map, the framework's window procedure and the routing of
// messages through the tables.
#include "afx/afx_state.h"

using afx::state;

CWnd::~CWnd() {
    if (m_hWnd && !m_bTemporary) {
        // A window still alive when its object goes must not call back into it.
        HWND h = m_hWnd;
        Detach();
        ::DestroyWindow(h);
    }
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static constexpr AFX_MSGMAP_ENTRY entries[] = {
        {WM_DESTROY, 0, 0, 0,
         [](CCmdTarget* t, WPARAM, LPARAM, LRESULT*) {
             static_cast<CWnd*>(t)->OnDestroy();
             return true;
         }},
        {WM_SYSCOMMAND, 0, 0, 0,
         [](CCmdTarget* t, WPARAM wp, LPARAM lp, LRESULT*) {
             static_cast<CWnd*>(t)->OnSysCommand(UINT(wp), lp);
             return true;
         }},
        {WM_DRAWITEM, 0, 0, 0,
         [](CCmdTarget* t, WPARAM wp, LPARAM lp, LRESULT* r) {
             static_cast<CWnd*>(t)->OnDrawItem(int(wp), reinterpret_cast<LPDRAWITEMSTRUCT>(lp));
             *r = TRUE;
             return true;
         }},
        {WM_MEASUREITEM, 0, 0, 0,
         [](CCmdTarget* t, WPARAM wp, LPARAM lp, LRESULT* r) {
             static_cast<CWnd*>(t)->OnMeasureItem(int(wp),
                                                  reinterpret_cast<LPMEASUREITEMSTRUCT>(lp));
             *r = TRUE;
             return true;
         }},
    };
    static_assert(afx::UniqueKeys(entries));
    static constexpr AFX_MSGMAP map{&CCmdTarget::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    auto& w = state().windows;
    auto it = w.find(hwnd);
    return it == w.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd || !IsWindow(hwnd)) return nullptr;
    if (CWnd* w = FromHandlePermanent(hwnd)) return w;
    auto& temps = state().temp_windows;
    auto it = temps.find(hwnd);
    if (it != temps.end()) return it->second.get();
    afx::collect_temporaries();
    auto wrapper = std::make_unique<CWnd>();
    wrapper->m_hWnd = hwnd;
    wrapper->m_bTemporary = true;
    CWnd* raw = wrapper.get();
    temps.emplace(hwnd, std::move(wrapper));
    return raw;
}

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd || !IsWindow(hwnd) || FromHandlePermanent(hwnd)) return FALSE;
    state().temp_windows.erase(hwnd);
    state().windows[hwnd] = this;
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h) {
        auto& w = state().windows;
        auto it = w.find(h);
        if (it != w.end() && it->second == this) w.erase(it);
    }
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!Attach(hwnd)) return FALSE;
    auto old =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, LONG_PTR(AfxWndProc)));
    if (old != AfxWndProc) m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!parent) return FALSE;
    HWND control = ::GetDlgItem(parent->m_hWnd, int(id));
    return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd) return nullptr;
    if (m_pfnSuper) SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, LONG_PTR(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* w = CWnd::FromHandlePermanent(hwnd);
    if (!w) return DefWindowProcA(hwnd, msg, wp, lp);
    CWnd::CurrentMessage saved = w->m_current;
    w->m_current = {msg, wp, lp};
    LRESULT r = w->WindowProc(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // The handle is gone: unhook and let the object clean up after itself.
        if (CWnd::FromHandlePermanent(hwnd) == w) {
            w->Detach();
            w->m_pfnSuper = nullptr;
            w->PostNcDestroy();
        }
        return r;
    }
    if (CWnd::FromHandlePermanent(hwnd) == w) w->m_current = saved;
    return r;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (!OnWndMsg(msg, wp, lp, &r)) r = DefWindowProc(msg, wp, lp);
    return r;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (m_pfnSuper) return CallWindowProcA(m_pfnSuper, m_hWnd, msg, wp, lp);
    return DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.msg, m_current.wp, m_current.lp); }

BOOL CWnd::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg == WM_COMMAND) return OnCommand(wp, lp);
    if (msg == WM_NOTIFY) return OnNotify(wp, lp, result);
    // Draw and measure requests for controls go to the control's object
    // first; the window's own table sees them only when it declines.
    if ((msg == WM_DRAWITEM || msg == WM_MEASUREITEM) && lp) {
        UINT type = msg == WM_DRAWITEM ? reinterpret_cast<LPDRAWITEMSTRUCT>(lp)->CtlType
                                       : reinterpret_cast<LPMEASUREITEMSTRUCT>(lp)->CtlType;
        if (type != ODT_MENU && msg == WM_DRAWITEM && ReflectChildNotify(msg, wp, lp, result)) {
            return TRUE;
        }
    }
    return OnCmdMsg(msg, wp, lp, result);
}

BOOL CWnd::OnCommand(WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    if (lp && state().lockout_notify == m_hWnd) return TRUE;
    if (OnCmdMsg(WM_COMMAND, wp, lp, &r)) return TRUE;
    // Commands nobody in the window handles reach the application.
    if (CWinApp* app = AfxGetApp(); app && !GetParent())
        return app->OnCmdMsg(WM_COMMAND, wp, lp, &r);
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) {
    const NMHDR* h = reinterpret_cast<const NMHDR*>(lp);
    if (!h) return FALSE;
    if (ReflectChildNotify(WM_NOTIFY, wp, lp, result)) return TRUE;
    return OnCmdMsg(WM_NOTIFY, wp, lp, result);
}

BOOL CWnd::ReflectChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    HWND child = nullptr;
    if (msg == WM_NOTIFY) child = reinterpret_cast<const NMHDR*>(lp)->hwndFrom;
    if (msg == WM_DRAWITEM) child = reinterpret_cast<LPDRAWITEMSTRUCT>(lp)->hwndItem;
    CWnd* object = FromHandlePermanent(child);
    if (!object || object == this) return FALSE;
    return object->OnChildNotify(msg, wp, lp, result);
}

BOOL CWnd::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    return OnCmdMsg(WM_REFLECT_BASE + msg, wp, lp, result);
}

void CWnd::OnDestroy() { Default(); }

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT request) {
    if (request && request->CtlType == ODT_MENU) {
        CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(request->hwndItem));
        if (menu) {
            menu->DrawItem(request);
            return;
        }
    }
    Default();
}

namespace {

// The first popup, depth-first along the bar, holding an item with this id.
HMENU popup_holding(HMENU menu, UINT id) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            int n = GetMenuItemCount(sub);
            for (int j = 0; j < n; ++j)
                if (!GetSubMenu(sub, j) && GetMenuItemID(sub, j) == id) return sub;
            if (HMENU deeper = popup_holding(sub, id)) return deeper;
        }
    }
    return nullptr;
}

}  // namespace

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT request) {
    if (request && request->CtlType == ODT_MENU) {
        HMENU popup = popup_holding(::GetMenu(m_hWnd), request->itemID);
        if (CMenu* menu = CMenu::FromHandlePermanent(popup)) {
            menu->MeasureItem(request);
            return;
        }
    }
    Default();
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    HWND outer = state().lockout_notify;
    state().lockout_notify = m_hWnd;
    DoDataExchange(&dx);
    state().lockout_notify = outer;
    return dx.m_bFailed ? FALSE : TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

CWnd* afx::HScrollControl(LPARAM lp) { return CWnd::FromHandle(reinterpret_cast<HWND>(lp)); }
