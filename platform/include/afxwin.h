// The dialog framework: application, windows, dialogs, data exchange and the
// control wrappers. Program classes derive from these.
#pragma once

#include "afxcoll.h"
#include "afxgdi.h"
#include "afxmenu.h"
#include "afxmsg.h"
#include "afxstr.h"
#include "winuser.h"

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
  public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* cls) const;
    static const CRuntimeClass classCObject;
};

class CCmdTarget : public CObject {
  public:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
    // Looks the message up in this object's table chain and calls the handler.
    virtual BOOL OnCmdMsg(UINT message, WPARAM wp, LPARAM lp, LRESULT* result);
};

class CDataExchange;

class CWnd : public CCmdTarget {
  public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object for a handle: its own when one is attached, otherwise a
    // temporary wrapper that lives until the handle is destroyed.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);
    BOOL Attach(HWND hwnd);
    HWND Detach();
    // Routes the window's messages through this object's table.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    CWnd* GetDlgItem(int id) const;
    CWnd* GetParent() const;
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int cmd);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT rect = nullptr, HRGN rgn = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags);
    void ScreenToClient(LPRECT rect) const;
    void ClientToScreen(LPRECT rect) const;
    void SetWindowText(LPCSTR text);
    int GetWindowText(LPSTR out, int max) const;
    void GetWindowText(CString& out) const;
    int GetDlgCtrlID() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc);
    BOOL KillTimer(UINT_PTR id);
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* menu);
    void DrawMenuBar();
    CMenu* GetSystemMenu(BOOL revert) const;
    HICON SetIcon(HICON icon, BOOL big);
    CDC* GetDC();
    int ReleaseDC(CDC* dc);
    DWORD GetStyle() const;
    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);
    BOOL DestroyWindow();
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // The platform's own processing of the current message.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual void DoDataExchange(CDataExchange* dx);
    virtual void PostNcDestroy() {}

    HWND m_hWnd = nullptr;

  protected:
    virtual BOOL OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wp, LPARAM lp);
    virtual BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result);
    // A notification for a child: its object gets the first look at it.
    virtual BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    BOOL ReflectChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    void OnDestroy();
    void OnSysCommand(UINT id, LPARAM lp);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT request);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT request);

    WNDPROC m_pfnSuper = nullptr;

  private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend struct CWndTemporaries;
    struct CurrentMessage {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    } m_current{};
    bool m_bTemporary = false;
};

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

class CDataExchange {
  public:
    CDataExchange(CWnd* dlg, BOOL saveAndValidate);
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Marks the exchange failed; later calls do nothing.
    void Fail();
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    BOOL m_bFailed = FALSE;
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max);

class CDialog : public CWnd {
  public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    explicit CDialog(LPCSTR templateName, CWnd* parent = nullptr);
    ~CDialog() override;
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

    virtual INT_PTR DoModal();
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* msg) override;
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* control);

    LPCSTR m_lpszTemplateName = nullptr;
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

  protected:
    void HandleInitDialog();
    int m_nModalResult = -1;
    bool m_bModal = false;
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

class CWinApp : public CCmdTarget {
  public:
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

    // Runs before the display is opened; FALSE ends the program with
    // ExitInstance's code without opening it.
    virtual BOOL InitApplication();
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    void OnHelp();
    BOOL Enable3dControls();
    HICON LoadIcon(UINT id) const;

    CWnd* m_pMainWnd = nullptr;
    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszExeName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    // The process's arguments (the classic runtime's __argc and __argv).
    int m_argc = 0;
    char** m_argv = nullptr;
};

// Controls.
class CButton : public CWnd {
  public:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    int GetCheck() const;
    void SetCheck(int check);
    UINT GetState() const;
    void SetState(BOOL highlight);
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);
    // Owner-drawn buttons get their own draw requests back.
    virtual void DrawItem(LPDRAWITEMSTRUCT request);

  protected:
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
};

class CStatic : public CWnd {
  public:
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
    HICON SetIcon(HICON icon);
};

class CEdit : public CWnd {
  public:
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
    void LimitText(int max = 0);
    void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE);
};

// The application and its main window.
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
LPCSTR AfxGetAppName();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type);
BOOL AfxEnableControlContainer();
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = UINT(-1));
namespace win::res {
struct Module;
}
// The program's resources, installed by the framework's entry. A program
// defines this; without it there are none.
const win::res::Module* AfxProgramResources();

// The framework's entry: sets up the display, runs InitInstance and, when it
// returns TRUE, the application's message loop.
int AfxWinMain(int argc, char** argv);

#define ID_HELP 0xE146
#define AFX_IDP_PARSE_INT 0xF110
#define AFX_IDP_PARSE_INT_RANGE 0xF112
