#include "ui/about_dlg.h"

CAboutDlg::CAboutDlg() : CDialog(IDD) {}

CAboutDlg::~CAboutDlg() = default;

const AFX_MSGMAP* CAboutDlg::GetThisMessageMap() {
    static constexpr AFX_MSGMAP_ENTRY entries[] = {afx::OnCommand<&CAboutDlg::OnDialogOK>(1000)};
    static constexpr AFX_MSGMAP map{&CDialog::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

// The box shows a picture and a button; there is nothing to exchange.
void CAboutDlg::DoDataExchange(CDataExchange* dx) { CDialog::DoDataExchange(dx); }
