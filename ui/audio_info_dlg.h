// The header of the open file's audio stream.
#pragma once

#include "ui/stream_info_dlg.h"

class CAudioInfoDlg : public CStreamInfoDlg {
  public:
    enum { IDD = 178 };
    explicit CAudioInfoDlg(CWnd* parent = nullptr) : CStreamInfoDlg(IDD, parent) {}
};
