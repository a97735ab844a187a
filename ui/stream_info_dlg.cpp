#include "ui/stream_info_dlg.h"

#include <cstring>

namespace {

enum : UINT { kFirstField = 1017, kNameField = 1027, kOkButton = 1000 };

}  // namespace

CStreamInfoDlg::CStreamInfoDlg(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent),
      m_nPriority(0),
      m_nLanguage(0),
      m_nScale(0),
      m_nRate(0),
      m_nStart(0),
      m_nQuality(0),
      m_nTop(0),
      m_nLeft(0),
      m_nBottom(0),
      m_nRight(0) {}

const AFX_MSGMAP* CStreamInfoDlg::GetThisMessageMap() {
    using D = CStreamInfoDlg;
    static constexpr AFX_MSGMAP_ENTRY entries[] = {
        {WM_COMMAND, EN_CHANGE, kFirstField, kNameField,
         [](CCmdTarget* t, WPARAM, LPARAM, LRESULT*) {
             static_cast<D*>(t)->OnFieldChange();
             return true;
         }},
        afx::OnCommand<&D::OnDialogOK>(kOkButton),
    };
    static_assert(afx::UniqueKeys(entries));
    static constexpr AFX_MSGMAP map{&CDialog::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

void CStreamInfoDlg::Fill(const AVISTREAMINFOA& info) {
    // The 16-bit fields are counts and codes, never negative; the 32-bit ones
    // show their bits as signed, so the default quality reads -1.
    m_nPriority = int(unsigned(info.wPriority));
    m_nLanguage = int(unsigned(info.wLanguage));
    m_nScale = int(info.dwScale);
    m_nRate = int(info.dwRate);
    m_nStart = int(info.dwStart);
    m_nQuality = int(info.dwQuality);
    m_nTop = info.rcFrame.top;
    m_nLeft = info.rcFrame.left;
    m_nBottom = info.rcFrame.bottom;
    m_nRight = info.rcFrame.right;
    // A record filled from a file may lack its terminator.
    m_strName = CString(info.szName, int(strnlen(info.szName, sizeof info.szName - 1)));
}

void CStreamInfoDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, 1017, m_nPriority);
    DDX_Text(dx, 1018, m_nLanguage);
    DDX_Text(dx, 1019, m_nScale);
    DDX_Text(dx, 1020, m_nRate);
    DDX_Text(dx, 1021, m_nStart);
    DDX_Text(dx, 1022, m_nQuality);
    DDX_Text(dx, 1023, m_nTop);
    DDX_Text(dx, 1024, m_nLeft);
    DDX_Text(dx, 1025, m_nBottom);
    DDX_Text(dx, 1026, m_nRight);
    DDX_Text(dx, kNameField, m_strName);
}

BOOL CStreamInfoDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}
