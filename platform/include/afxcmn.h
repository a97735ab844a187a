// Wrappers of the common controls.
#pragma once

#include "afxwin.h"
#include "commctrl.h"

class CSliderCtrl : public CWnd {
  public:
    int GetPos() const;
    void SetPos(int pos);
    int GetRangeMin() const;
    int GetRangeMax() const;
    void GetRange(int& min, int& max) const;
    void SetRange(int min, int max, BOOL redraw = FALSE);
    void SetRangeMin(int min, BOOL redraw = FALSE);
    void SetRangeMax(int max, BOOL redraw = FALSE);
    void SetTicFreq(int freq);
    int SetPageSize(int size);
    int SetLineSize(int size);
};

class CProgressCtrl : public CWnd {
  public:
    void SetRange(short lower, short upper);
    void SetRange32(int lower, int upper);
    int SetPos(int pos);
    int GetPos() const;
    int OffsetPos(int delta);
    int SetStep(int step);
    int StepIt();
};
