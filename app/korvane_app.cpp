#include "korvane_app.h"

#include "korvane_dlg.h"
#include "korvane_resources.h"

CKorvaneApp::CKorvaneApp() = default;
CKorvaneApp::~CKorvaneApp() = default;

const AFX_MSGMAP* CKorvaneApp::GetThisMessageMap() {
    static constexpr AFX_MSGMAP_ENTRY entries[] = {afx::OnCommand<&CWinApp::OnHelp>(ID_HELP)};
    static constexpr AFX_MSGMAP map{&CWinApp::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

BOOL CKorvaneApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    CKorvaneDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
