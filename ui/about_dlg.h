// The about box, shown at start-up and on request.
#pragma once

#include "afxwin.h"

class CAboutDlg : public CDialog {
  public:
    CAboutDlg();
    ~CAboutDlg() override;
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    enum { IDD = 100 };

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    // Its Continue button carries 1000, not the platform's IDOK.
    void OnDialogOK() { OnOK(); }
};
