#include "app/korvane_app.h"

#include <cstdio>

#include "app/command_line.h"
#include "res/korvane_resources.h"
#include "ui/korvane_dlg.h"

CKorvaneApp::CKorvaneApp() = default;
CKorvaneApp::~CKorvaneApp() = default;

const AFX_MSGMAP* CKorvaneApp::GetThisMessageMap() {
    static constexpr AFX_MSGMAP_ENTRY entries[] = {afx::OnCommand<&CWinApp::OnHelp>(ID_HELP)};
    static constexpr AFX_MSGMAP map{&CWinApp::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}

BOOL CKorvaneApp::InitApplication() {
    korvane::CommandLine line = korvane::parse_command_line(m_argc, m_argv);
    switch (line.action) {
        case korvane::CommandLine::Action::Run:
            startFile = line.file;
            return TRUE;
        case korvane::CommandLine::Action::Help:
            std::fputs(korvane::help_text(), stdout);
            break;
        case korvane::CommandLine::Action::Version:
            std::fputs(korvane::version_text(), stdout);
            break;
        case korvane::CommandLine::Action::Usage:
            std::fprintf(stderr, "korvane: unexpected argument \"%s\"\n", line.bad.c_str());
            std::fputs(korvane::usage_line(), stderr);
            exitCode = 2;
            break;
    }
    return FALSE;
}

int CKorvaneApp::ExitInstance() { return exitCode; }

BOOL CKorvaneApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    CKorvaneDlg dlg;
    dlg.startFile = startFile.c_str();
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
