#pragma once
// Dialog data exchange: moves values between a window's controls and its members,
// towards the members when m_bSaveAndValidate is TRUE, towards the controls when FALSE.
#include "framework/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    // The control with that id; throws when the window has none (a template that
    // does not match its class).
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC) { return PrepareCtrl(nIDC); }

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Attaches the control to rControl on the first exchange, in either direction.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The group of radio buttons that starts at nIDC and runs up to the next control
// with WS_GROUP: value is the index of the checked button, -1 when none is.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// value is BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
