// The file dialog wrapper: the framework's "|"-separated filter becomes the
// platform's NUL-separated list.
#include <cstring>

#include "afx/afx_state.h"
#include "afxdlgs.h"

CFileDialog::CFileDialog(BOOL openFileDialog, LPCSTR defExt, LPCSTR fileName, DWORD flags,
                         LPCSTR filter, CWnd* parent)
    : CDialog(), m_bOpenFileDialog(openFileDialog) {
    m_pParentWnd = parent;
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
    m_ofn.Flags = flags | OFN_EXPLORER;
    if (defExt) {
        m_strDefExt = defExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (fileName) std::strncpy(m_szFileName, fileName, sizeof m_szFileName - 1);
    if (filter) {
        m_strFilter = filter;
        // "|" ends every string; the list ends with an empty one.
        int n = m_strFilter.GetLength();
        char* p = m_strFilter.GetBuffer(n + 1);
        for (int i = 0; i < n; ++i)
            if (p[i] == '|') p[i] = 0;
        p[n] = 0;
        m_strFilter.ReleaseBuffer(n);
        m_ofn.lpstrFilter = m_strFilter;
        m_ofn.nFilterIndex = 1;
    }
}

INT_PTR CFileDialog::DoModal() {
    if (!m_ofn.hwndOwner) {
        CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
        m_ofn.hwndOwner = owner ? owner->GetSafeHwnd() : nullptr;
    }
    BOOL ok = m_bOpenFileDialog ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile); }

CString CFileDialog::GetFileName() const {
    CString path(m_ofn.lpstrFile);
    int slash = path.ReverseFind('/');
    return slash < 0 ? path : path.Mid(slash + 1);
}

CString CFileDialog::GetFileExt() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}
