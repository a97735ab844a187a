// The application object: runs the main window modally and ends with it.
#pragma once

#include "afxwin.h"

class CKorvaneApp : public CWinApp {
public:
    CKorvaneApp();
    ~CKorvaneApp() override;
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    BOOL InitInstance() override;
};
