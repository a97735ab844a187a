// The about box, shown at start-up and on request.
#pragma once

#include "afxwin.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    enum { IDD = 100 };

protected:
    // Its Continue button carries 1000, not the platform's IDOK.
    void OnContinue() { OnOK(); }
};
