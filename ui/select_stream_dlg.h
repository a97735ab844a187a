// The Select Stream dialog: which stream a compressed save writes.
#pragma once

#include "afxwin.h"

class CSelectStreamDlg : public CDialog {
  public:
    explicit CSelectStreamDlg(CWnd* parent = nullptr);
    ~CSelectStreamDlg() override;
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    enum { IDD = 176 };

    // Exactly one is 1 once the dialog has run; OnInitDialog sets them first.
    int saveVideo;
    int saveAudio;
    CButton audioRadio;
    CButton videoRadio;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnVideoRadio();
    void OnAudioRadio();
};
