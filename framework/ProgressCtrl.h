#pragma once
// A progress bar, driven by its PBM_ messages.
#include "framework/Wnd.h"

#include <commctrl.h>

class CProgressCtrl : public CWnd {
public:
    // The 16-bit range message: each end is cut to its low 16 bits.
    void SetRange(short nLower, short nUpper);
    void SetRange32(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    int SetPos(int nPos);     // returns the previous position
    int GetPos() const;
    int SetStep(int nStep);
    int StepIt();
};
