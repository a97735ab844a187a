// The application object: runs the main window modally and ends with it.
#pragma once

#include <string>

#include "afxwin.h"

class CKorvaneApp : public CWinApp {
  public:
    CKorvaneApp();
    ~CKorvaneApp() override;
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    BOOL InitApplication() override;
    BOOL InitInstance() override;
    int ExitInstance() override;

  private:
    std::string startFile;  // from the command line; opened once the about box is closed
    int exitCode = 0;
};
