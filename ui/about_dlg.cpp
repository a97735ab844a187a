#include "about_dlg.h"

CAboutDlg::CAboutDlg() : CDialog(IDD) {}

const AFX_MSGMAP* CAboutDlg::GetThisMessageMap() {
    static constexpr AFX_MSGMAP_ENTRY entries[] = {afx::OnCommand<&CAboutDlg::OnContinue>(1000)};
    static constexpr AFX_MSGMAP map{&CDialog::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}
