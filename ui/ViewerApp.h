#pragma once
// The application object: runs the main window as a modal dialog, and the program
// ends when that window closes.
#include "framework/Afx.h"

class CViewerApp : public CWinApp {
public:
    CViewerApp();

    // Always FALSE: the framework then ends the program without a loop of its own.
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CViewerApp theApp;
