// What the video and the audio information dialogs share: the header fields
// of one stream, shown in editable fields that are never read back.
#pragma once

#include "afxwin.h"
#include "vfw.h"

class CStreamInfoDlg : public CDialog {
  public:
    CStreamInfoDlg(UINT templateId, CWnd* parent);
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

    // Copies the stream's header into the members, the name last.
    void Fill(const AVISTREAMINFOA& info);

    int m_nPriority;
    int m_nLanguage;
    int m_nScale;
    int m_nRate;
    int m_nStart;
    int m_nQuality;
    int m_nTop;
    int m_nLeft;
    int m_nBottom;
    int m_nRight;
    CString m_strName;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnFieldChange() { UpdateData(TRUE); }
    // The OK button carries 1000, not the platform's IDOK.
    void OnDialogOK() { OnOK(); }
};
