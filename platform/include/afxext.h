// The framework's picture button.
#pragma once

#include "afxwin.h"

// An owner-drawn push button whose look is one of four pictures, found by
// the button's caption with the suffixes U (normal), D (pressed), F (focus)
// and X (disabled).
class CBitmapButton : public CButton {
  public:
    CBitmapButton() = default;
    ~CBitmapButton() override;
    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass classCBitmapButton;

    BOOL AutoLoad(UINT id, CWnd* parent);
    BOOL LoadBitmaps(LPCSTR normal, LPCSTR selected = nullptr, LPCSTR focus = nullptr,
                     LPCSTR disabled = nullptr);
    void SizeToContent();
    void DrawItem(LPDRAWITEMSTRUCT request) override;

    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};
