// Device-context and drawing-object wrappers.
#include <map>
#include <memory>

#include "afx/afx_state.h"

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ obj) {
    if (!obj || m_hObject) return FALSE;
    m_hObject = obj;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    return Attach(::CreatePen(style, width, color));
}

BOOL CBrush::CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }

BOOL CBitmap::LoadBitmap(UINT id) {
    return Attach(
        LoadBitmapA(AfxFindResourceHandle(MAKEINTRESOURCEA(id), nullptr), MAKEINTRESOURCEA(id)));
}

BOOL CBitmap::LoadBitmap(LPCSTR name) {
    return Attach(LoadBitmapA(AfxFindResourceHandle(name, nullptr), name));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int cx, int cy) {
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, cx, cy));
}

int CBitmap::GetBitmap(BITMAP* out) const {
    return m_hObject ? GetObjectA(m_hObject, sizeof(BITMAP), out) : 0;
}

namespace {

// Wrappers for handles owned elsewhere, valid for the message being handled,
// as the framework's temporary objects are. They never delete what they
// wrap, and old ones are dropped once there are many.
struct Detaching {
    template <typename W>
    void operator()(W* w) const {
        w->Detach();
        delete w;
    }
};

template <typename Wrapper, typename Handle>
using WrapperMap = std::map<Handle, std::unique_ptr<Wrapper, Detaching>>;

template <typename Wrapper, typename Handle>
Wrapper* temporary(WrapperMap<Wrapper, Handle>& map, Handle h) {
    if (!h) return nullptr;
    auto it = map.find(h);
    if (it != map.end()) return it->second.get();
    if (map.size() >= 64) map.clear();
    auto* w = new Wrapper();
    w->Attach(h);
    map.emplace(h, std::unique_ptr<Wrapper, Detaching>(w));
    return w;
}

}  // namespace

CBitmap* CBitmap::FromHandle(HBITMAP bitmap) {
    static WrapperMap<CBitmap, HGDIOBJ> wrappers;
    return temporary(wrappers, HGDIOBJ(bitmap));
}

CDC::~CDC() {
    if (m_hDC && !m_bTemporary) DeleteDC();
}

CDC* CDC::FromHandle(HDC dc) {
    static WrapperMap<CDC, HDC> wrappers;
    CDC* w = temporary(wrappers, dc);
    if (w) w->m_bTemporary = true;
    return w;
}

BOOL CDC::Attach(HDC dc) {
    if (!dc || m_hDC) return FALSE;
    m_hDC = dc;
    return TRUE;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    m_hDC = nullptr;
    return h;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr));
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    BOOL ok = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    return ok;
}

// The previous objects come back as temporary wrappers of the right kind.
CPen* CDC::SelectObject(CPen* pen) {
    static WrapperMap<CPen, HGDIOBJ> wrappers;
    return temporary(wrappers, ::SelectObject(m_hDC, pen ? pen->m_hObject : nullptr));
}

CBrush* CDC::SelectObject(CBrush* brush) {
    static WrapperMap<CBrush, HGDIOBJ> wrappers;
    return temporary(wrappers, ::SelectObject(m_hDC, brush ? brush->m_hObject : nullptr));
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    HGDIOBJ old = ::SelectObject(m_hDC, bitmap ? bitmap->m_hObject : nullptr);
    return CBitmap::FromHandle(static_cast<HBITMAP>(old));
}

CFont* CDC::SelectObject(CFont* font) {
    static WrapperMap<CFont, HGDIOBJ> wrappers;
    return temporary(wrappers, ::SelectObject(m_hDC, font ? font->m_hObject : nullptr));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
int CDC::SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
COLORREF CDC::SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
COLORREF CDC::SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hDC); }
void CDC::FillRect(const RECT* rect, CBrush* brush) {
    ::FillRect(m_hDC, rect, brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr);
}
void CDC::FrameRect(const RECT* rect, CBrush* brush) {
    ::FrameRect(m_hDC, rect, brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr);
}
void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
    HBRUSH b = ::CreateSolidBrush(color);
    ::FillRect(m_hDC, rect, b);
    ::DeleteObject(b);
}
BOOL CDC::DrawEdge(LPRECT rect, UINT edge, UINT flags) {
    return ::DrawEdge(m_hDC, rect, edge, flags);
}
int CDC::DrawText(LPCSTR text, int count, LPRECT rect, UINT format) {
    return ::DrawTextA(m_hDC, text, count, rect, format);
}
BOOL CDC::TextOut(int x, int y, LPCSTR text, int count) {
    return TextOutA(m_hDC, x, y, text, count);
}
BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, xs, ys, rop);
}
BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs,
                     DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, xs, ys, ws, hs, rop);
}
POINT CDC::MoveTo(int x, int y) {
    POINT old{};
    MoveToEx(m_hDC, x, y, &old);
    return old;
}
BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
BOOL CDC::Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
COLORREF CDC::SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }
COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
BOOL CDC::DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
    Attach(BeginPaint(m_hWnd, &m_ps));
}
CPaintDC::~CPaintDC() {
    EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetDC(m_hWnd)); }
CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
    Attach(::GetWindowDC(m_hWnd));
}
CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
