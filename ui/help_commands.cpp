// Help topics and the product's web page, opened by the desktop.
#include "korvane_dlg.h"

// These arrive with the help change; until then the menu items do nothing.
void CKorvaneDlg::OnVisitWebPage() {}
void CKorvaneDlg::OnHelpTopics() {}
