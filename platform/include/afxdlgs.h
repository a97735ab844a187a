// The framework's common dialogs.
#pragma once

#include "afxwin.h"
#include "commdlg.h"

class CFileDialog : public CDialog {
  public:
    // filter: "Description|pattern|...||", as the framework writes it.
    CFileDialog(BOOL openFileDialog, LPCSTR defExt = nullptr, LPCSTR fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr,
                CWnd* parent = nullptr);
    INT_PTR DoModal() override;
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;

    OPENFILENAMEA m_ofn{};

  private:
    BOOL m_bOpenFileDialog;
    char m_szFileName[MAX_PATH * 4]{};
    char m_szFileTitle[MAX_PATH]{};
    CString m_strFilter;
    CString m_strDefExt;
};
