// The exports: the current frame to a bitmap file, a stream copied or saved
// re-compressed into a new AVI file.
#include "korvane_dlg.h"

// These operations arrive with the export change; until then the buttons
// and menu commands that lead here do nothing.
void CKorvaneDlg::OnFrameButton() {}
void CKorvaneDlg::OnVideoButton() {}
void CKorvaneDlg::OnAudioButton() {}
void CKorvaneDlg::OnSaveButton() {}
