#include "ui/select_stream_dlg.h"

// saveVideo and saveAudio are left to OnInitDialog, which every run passes.
CSelectStreamDlg::CSelectStreamDlg(CWnd* parent) : CDialog(IDD, parent) {}

CSelectStreamDlg::~CSelectStreamDlg() = default;

const AFX_MSGMAP* CSelectStreamDlg::GetThisMessageMap() {
    using D = CSelectStreamDlg;
    // OK and Cancel carry 1000 and 1001, not the platform's IDOK and IDCANCEL.
    static constexpr AFX_MSGMAP_ENTRY entries[] = {
        afx::OnCommand<&D::OnOK>(1000),         afx::OnCommand<&D::OnCancel>(1001),
        afx::OnCommand<&D::OnVideoRadio>(1014), afx::OnCommand<&D::OnAudioRadio>(1015),
        afx::OnDestroy<&D::OnDestroy>(),
    };
    static_assert(afx::UniqueKeys(entries));
    static constexpr AFX_MSGMAP map{&CDialog::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

void CSelectStreamDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, 1015, audioRadio);
    DDX_Control(dx, 1014, videoRadio);
}

BOOL CSelectStreamDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SendMessageA(videoRadio.m_hWnd, BM_SETCHECK, 1, 0);
    saveVideo = 1;
    saveAudio = 0;
    return TRUE;
}

void CSelectStreamDlg::OnVideoRadio() {
    ::SendMessageA(videoRadio.m_hWnd, BM_SETCHECK, 1, 0);
    saveVideo = 1;
    saveAudio = 0;
    UpdateData(FALSE);
}

void CSelectStreamDlg::OnAudioRadio() {
    // The audio button, an auto radio button, checks itself.
    ::SendMessageA(videoRadio.m_hWnd, BM_SETCHECK, 0, 0);
    saveVideo = 0;
    saveAudio = 1;
    UpdateData(FALSE);
}
