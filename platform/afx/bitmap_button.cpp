// The picture button: four pictures named after the caption, one shown per state.
#include "afx/afx_state.h"
#include "afxext.h"

const CRuntimeClass CBitmapButton::classCBitmapButton{"CBitmapButton", &CObject::classCObject};

const CRuntimeClass* CBitmapButton::GetRuntimeClass() const { return &classCBitmapButton; }

CBitmapButton::~CBitmapButton() {
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
}

BOOL CBitmapButton::LoadBitmaps(LPCSTR normal, LPCSTR selected, LPCSTR focus, LPCSTR disabled) {
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    if (!normal || !m_bitmap.LoadBitmap(normal)) return FALSE;
    // The other pictures are optional: a missing one falls back to normal.
    if (selected) m_bitmapSel.LoadBitmap(selected);
    if (focus) m_bitmapFocus.LoadBitmap(focus);
    if (disabled) m_bitmapDisabled.LoadBitmap(disabled);
    return TRUE;
}

void CBitmapButton::SizeToContent() {
    BITMAP bm{};
    if (!m_bitmap.GetBitmap(&bm)) return;
    SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CBitmapButton::AutoLoad(UINT id, CWnd* parent) {
    if (!SubclassDlgItem(id, parent)) return FALSE;
    CString base;
    GetWindowText(base);
    if (base.IsEmpty()) return FALSE;
    if (!LoadBitmaps(base + "U", base + "D", base + "F", base + "X")) return FALSE;
    SizeToContent();
    return TRUE;
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT request) {
    if (!request || !m_bitmap.m_hObject) return;
    CBitmap* picture = &m_bitmap;
    UINT state = request->itemState;
    if ((state & ODS_SELECTED) && m_bitmapSel.m_hObject)
        picture = &m_bitmapSel;
    else if ((state & ODS_FOCUS) && m_bitmapFocus.m_hObject)
        picture = &m_bitmapFocus;
    else if ((state & ODS_DISABLED) && m_bitmapDisabled.m_hObject)
        picture = &m_bitmapDisabled;

    CDC* dc = CDC::FromHandle(request->hDC);
    CDC memory;
    if (!dc || !memory.CreateCompatibleDC(dc)) return;
    CBitmap* old = memory.SelectObject(picture);
    const RECT& r = request->rcItem;
    BITMAP bm{};
    picture->GetBitmap(&bm);
    int w = bm.bmWidth < r.right - r.left ? bm.bmWidth : r.right - r.left;
    int h = bm.bmHeight < r.bottom - r.top ? bm.bmHeight : r.bottom - r.top;
    dc->BitBlt(r.left, r.top, w, h, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}
