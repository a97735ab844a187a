// The header of the open file's video stream.
#pragma once

#include "ui/stream_info_dlg.h"

class CVideoInfoDlg : public CStreamInfoDlg {
  public:
    enum { IDD = 177 };
    explicit CVideoInfoDlg(CWnd* parent = nullptr) : CStreamInfoDlg(IDD, parent) {}
};
