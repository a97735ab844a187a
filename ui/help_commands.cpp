// Help topics and the product's web page, handed to the desktop to open.
#include "shellapi.h"
#include "ui/korvane_dlg.h"

#ifndef KORVANE_HOME_PAGE
#error "KORVANE_HOME_PAGE names the product's web address (a CMake cache variable)"
#endif

// Looked up in the current directory, which the launcher sets to the folder
// that holds the document; nothing is reported when it is not there.
void CKorvaneDlg::OnHelpTopics() {
    ::ShellExecuteA(m_hWnd, "open", "KorvaneHelp.htm", "", "", SW_SHOW);
}

void CKorvaneDlg::OnVisitWebPage() {
    ::ShellExecuteA(m_hWnd, "open", KORVANE_HOME_PAGE, "", "", SW_SHOW);
}
