// The application object and the framework's global calls.
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>

#include "afx/afx_state.h"

using afx::state;

namespace {

// The framework's own strings, used where the program has none.
const char* framework_string(UINT id) {
    switch (id) {
        case AFX_IDP_PARSE_INT:
            return "Please enter an integer.";
        case AFX_IDP_PARSE_INT_RANGE:
            return "Please enter an integer between %1 and %2.";
    }
    return nullptr;
}

// The name of the running program, as the framework derives it when the
// application gives none.
const char* executable_name() {
    static std::string name = [] {
        char path[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
        if (n <= 0) return std::string("Application");
        path[n] = 0;
        const char* slash = std::strrchr(path, '/');
        std::string s = slash ? slash + 1 : path;
        if (!s.empty()) s[0] = char(s[0] >= 'a' && s[0] <= 'z' ? s[0] - 32 : s[0]);
        return s;
    }();
    return name.c_str();
}

}  // namespace

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(appName) { state().app = this; }

CWinApp::~CWinApp() {
    if (state().app == this) state().app = nullptr;
}

const AFX_MSGMAP* CWinApp::GetThisMessageMap() {
    static constexpr AFX_MSGMAP_ENTRY entries[] = {afx::OnCommand<&CWinApp::OnHelp>(ID_HELP)};
    static constexpr AFX_MSGMAP map{&CCmdTarget::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

BOOL CWinApp::InitApplication() { return TRUE; }
BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return 0; }

int CWinApp::Run() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        bool handled = false;
        for (HWND h = msg.hwnd; h && !handled; h = GetParent(h))
            if (CWnd* w = CWnd::FromHandlePermanent(h)) handled = w->PreTranslateMessage(&msg);
        if (handled) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

// There is no help viewer of the framework's own on this platform, and the
// program ships no help file for it: the command is accepted and does nothing.
void CWinApp::OnHelp() {}

// Three-dimensional controls are the only look this platform has.
BOOL CWinApp::Enable3dControls() { return TRUE; }

HICON CWinApp::LoadIcon(UINT id) const { return LoadIconA(m_hInstance, MAKEINTRESOURCEA(id)); }

CWinApp* AfxGetApp() { return state().app; }

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

LPCSTR AfxGetAppName() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pszAppName) return app->m_pszAppName;
    return executable_name();
}

HINSTANCE AfxGetInstanceHandle() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_hInstance : nullptr;
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

HINSTANCE AfxFindResourceHandle(LPCSTR, LPCSTR) { return AfxGetResourceHandle(); }

// Dialogs host no embedded components here; nothing to switch on.
BOOL AfxEnableControlContainer() { return TRUE; }

int AfxMessageBox(LPCSTR text, UINT type, UINT) {
    if ((type & MB_ICONMASK) == 0 && (type & MB_TYPEMASK) == MB_OK) type |= MB_ICONEXCLAMATION;
    CWnd* main = AfxGetMainWnd();
    HWND owner = main ? main->GetSafeHwnd() : nullptr;
    HWND active = GetActiveWindow();
    if (active && IsWindowEnabled(active)) owner = active;
    return MessageBoxA(owner, text, AfxGetAppName(), type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
    CString text;
    if (!text.LoadString(stringId)) {
        const char* builtin = framework_string(stringId);
        text = builtin ? builtin : "";
    }
    return AfxMessageBox(text, type, helpId == UINT(-1) ? stringId : helpId);
}
