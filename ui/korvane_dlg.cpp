// Start-up and shut-down of the main window.
#include "ui/korvane_dlg.h"

#include <strings.h>

#include <string>

#include "shellapi.h"
#include "ui/about_dlg.h"
#include "ui/resource_ids.h"

namespace {

struct MenuEntry {
    UINT id;
    const char* caption;  // null for a separator
    UINT bitmap;
};

const MenuEntry kFileItems[] = {
    {ID_FILE_OPENAVI, "&Open AVI File", 135},
    {ID_FILE_CLOSE, "&Close", 139},
    {0, nullptr, 0},
    {ID_FILE_SAVEAS, "&Save As", 137},
    {0, nullptr, 0},
    {ID_FILE_EXIT, "E&xit", 132},
};
const MenuEntry kExtractItems[] = {
    {ID_EXTRACT_FRAME, "Extract Current &Frame", 140},
    {ID_EXTRACT_VIDEO, "Extract &Video", 138},
    {ID_EXTRACT_AUDIO, "Extract &Audio", 131},
    {0, nullptr, 0},
    {ID_VIDEO_STREAM_INFO, "Video &Stream Info", 135},
    {ID_AUDIO_STREAM_INFO, "Audio Stream &Info", 142},
};
const MenuEntry kHelpItems[] = {
    {ID_HELP_TOPICS, "Help &Topics", 134},     {0, nullptr, 0},
    {ID_HELP_WEBPAGE, "&Visit Web Page", 133}, {0, nullptr, 0},
    {ID_HELP_ABOUT, "&About Korvane", 185},
};

template <size_t N>
void fill_popup(CBitmapMenu& menu, int width, const MenuEntry (&entries)[N]) {
    menu.Attach(::CreatePopupMenu());
    menu.SetItemHeight(20);
    menu.SetItemWidth(width);
    for (const MenuEntry& e : entries) {
        if (e.caption)
            menu.AppendItem(0, e.id, e.caption, e.bitmap);
        else
            menu.AppendItem(MF_SEPARATOR, 0, "", 0);
    }
}

}  // namespace

CKorvaneDlg::CKorvaneDlg(CWnd* parent) : CDialog(IDD, parent) {
    icon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME)
                       : LoadIconA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CKorvaneDlg::~CKorvaneDlg() = default;

void CKorvaneDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PROGRESS, progressBar);
    DDX_Control(dx, IDC_SEEKBAR, seekBar);
    DDX_Control(dx, IDC_FRAMEVIEW, frameView);
}

BOOL CKorvaneDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* sys = GetSystemMenu(FALSE)) {
        CString about;
        about.LoadString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            sys->AppendMenu(MF_SEPARATOR);
            sys->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SetIcon(icon, TRUE);
    SetIcon(icon, FALSE);

    startButton.AutoLoad(IDC_START, this);
    prevButton.AutoLoad(IDC_PREV, this);
    playButton.AutoLoad(IDC_PLAY, this);
    pauseButton.AutoLoad(IDC_PAUSE, this);
    nextButton.AutoLoad(IDC_NEXT, this);
    endButton.AutoLoad(IDC_END, this);
    frameButton.AutoLoad(IDC_FRAME, this);
    videoButton.AutoLoad(IDC_VIDEO, this);
    audioButton.AutoLoad(IDC_AUDIO, this);
    openButton.AutoLoad(IDC_OPEN, this);
    saveButton.AutoLoad(IDC_SAVE, this);

    fill_popup(fileMenu, 130, kFileItems);
    fill_popup(extractMenu, 150, kExtractItems);
    fill_popup(helpMenu, 130, kHelpItems);
    buildMenuBar();

    disableFileControls();
    AVIFileInit();
    ResetAviHandles();
    ::GetClientRect(::GetDlgItem(m_hWnd, IDC_FRAMEVIEW), &viewRect);
    state.isOpen = 0;
    state.audioOpen = 0;
    state.lastResult = 0;

    showAbout();
    ::DragAcceptFiles(m_hWnd, TRUE);
    if (!startFile.IsEmpty()) PostMessage(WM_KORVANE_OPENSTART);
    return TRUE;
}

LRESULT CKorvaneDlg::OnOpenStartFile(WPARAM, LPARAM) {
    OpenChosenFile(startFile);
    return 0;
}

LRESULT CKorvaneDlg::OnDropFiles(WPARAM wp, LPARAM) {
    // The first .avi of the drop opens; anything else is refused without a word.
    HDROP drop = reinterpret_cast<HDROP>(wp);
    CString chosen;
    UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && chosen.IsEmpty(); ++i) {
        std::string name(::DragQueryFileA(drop, i, nullptr, 0), '\0');
        ::DragQueryFileA(drop, i, name.data(), UINT(name.size() + 1));
        if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".avi") == 0)
            chosen = name.c_str();
    }
    ::DragFinish(drop);
    if (!chosen.IsEmpty()) OpenChosenFile(chosen);
    return 0;
}

void CKorvaneDlg::OpenChosenFile(CString path) {
    CloseAviFile();
    ResetAviHandles();
    disableFileControls();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    OpenAviFile(path);
}

void CKorvaneDlg::buildMenuBar() {
    HMENU bar = ::GetMenu(m_hWnd);
    // The template's popups leave the bar but are not destroyed here.
    for (int i = 0; i < 3; ++i) ::RemoveMenu(bar, 0, MF_BYPOSITION);
    ::InsertMenuA(bar, 0, MF_BYPOSITION | MF_POPUP, UINT_PTR(fileMenu.m_hMenu), "&File");
    ::InsertMenuA(bar, 1, MF_BYPOSITION | MF_POPUP, UINT_PTR(extractMenu.m_hMenu), "&Extract");
    ::InsertMenuA(bar, 2, MF_BYPOSITION | MF_POPUP, UINT_PTR(helpMenu.m_hMenu), "&Help");
}

void CKorvaneDlg::OnSysCommand(UINT id, LPARAM) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        showAbout();
        return;
    }
    Default();
}

HCURSOR CKorvaneDlg::OnQueryDragIcon() { return icon; }

BOOL CKorvaneDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) msg->wParam = 0;
    return CDialog::PreTranslateMessage(msg);
}

// Enter is the dialog's default command; the main window stays open.
void CKorvaneDlg::OnOK() {}

void CKorvaneDlg::OnDestroy() {
    CDialog::OnDestroy();
    KillTimer(kPlaybackTimer);
    CloseAviFile();
    AVIFileExit();
}

void CKorvaneDlg::OnAbout() { showAbout(); }

void CKorvaneDlg::showAbout() {
    CAboutDlg about;
    about.DoModal();
}
