// CDialog: template dialogs run modally through the framework's own loop,
// so PreTranslateMessage sees every message before the dialog keyboard.
#include "afx/afx_state.h"
#include "win/core/modal_loop.h"
#include "win/dialogs/dialogs.h"

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_lpszTemplateName(MAKEINTRESOURCEA(templateId)),
      m_nIDHelp(templateId),
      m_pParentWnd(parent) {}

CDialog::CDialog(LPCSTR templateName, CWnd* parent)
    : m_lpszTemplateName(templateName), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

const AFX_MSGMAP* CDialog::GetThisMessageMap() {
    static constexpr AFX_MSGMAP_ENTRY entries[] = {
        afx::OnCommand<&CDialog::OnOK>(IDOK),
        afx::OnCommand<&CDialog::OnCancel>(IDCANCEL),
    };
    static_assert(afx::UniqueKeys(entries));
    static constexpr AFX_MSGMAP map{&CWnd::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT msg, WPARAM, LPARAM lp) {
    if (msg != WM_INITDIALOG) return FALSE;
    CDialog* dialog = reinterpret_cast<CDialog*>(lp);
    if (!dialog) return TRUE;
    if (dialog->m_hWnd != hwnd) dialog->SubclassWindow(hwnd);
    return dialog->OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    // The first exchange fills the controls; a failure here is not the user's.
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (!m_bModal && m_hWnd) DestroyWindow();
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd || !msg) return FALSE;
    return IsDialogMessageA(m_hWnd, msg);
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_lpszTemplateName = MAKEINTRESOURCEA(templateId);
    m_pParentWnd = parent;
    m_bModal = false;
    HWND h = CreateDialogParamA(AfxGetResourceHandle(), m_lpszTemplateName,
                                parent ? parent->m_hWnd : nullptr, AfxDlgProc, LPARAM(this));
    return h ? TRUE : FALSE;
}

namespace {

// The message's window and its parents up to the modal window, nearest
// first, each get PreTranslateMessage.
bool walk_pre_translate(HWND modal, MSG& msg) {
    for (HWND h = msg.hwnd; h; h = GetParent(h)) {
        if (CWnd* w = CWnd::FromHandlePermanent(h); w && w->PreTranslateMessage(&msg)) return true;
        if (h == modal) break;
    }
    return false;
}

HWND top_level(HWND h) {
    while (h && (GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) h = GetParent(h);
    return h;
}

}  // namespace

INT_PTR CDialog::DoModal() {
    HWND owner = nullptr;
    if (m_pParentWnd) {
        owner = top_level(m_pParentWnd->GetSafeHwnd());
    } else if (CWnd* main = AfxGetMainWnd(); main && main != this) {
        owner = top_level(main->GetSafeHwnd());
    }
    bool owner_was_enabled = owner && ::IsWindowEnabled(owner);
    if (owner_was_enabled) ::EnableWindow(owner, FALSE);

    m_bModal = true;
    m_nModalResult = -1;
    HWND h = CreateDialogParamA(AfxGetResourceHandle(), m_lpszTemplateName, owner, AfxDlgProc,
                                LPARAM(this));
    if (h && IsWindow(h)) {
        if (m_nModalResult == -1 && !::IsWindowVisible(h)) ::ShowWindow(h, SW_SHOWNORMAL);
        win::run_modal_loop(
            h,
            [&] {
                INT_PTR ended = 0;
                if (m_nModalResult == -1 && win::dialogs::dialog_ended(h, &ended))
                    m_nModalResult = int(ended);
                return m_nModalResult != -1 || !IsWindow(h);
            },
            [&](MSG& msg) { return walk_pre_translate(h, msg); });
    }
    if (owner_was_enabled) {
        ::EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    if (h && IsWindow(h)) ::DestroyWindow(h);
    m_bModal = false;
    if (!h) return -1;
    return m_nModalResult == -1 ? IDCANCEL : m_nModalResult;
}

void CDialog::NextDlgCtrl() const { SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
void CDialog::GotoDlgCtrl(CWnd* control) {
    if (control) SendMessageA(m_hWnd, WM_NEXTDLGCTL, WPARAM(control->m_hWnd), 1);
}
