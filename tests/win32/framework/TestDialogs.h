#pragma once
// The framework tests' own window classes.
#include "framework/Afx.h"
#include "TestResources.h"

#include <functional>

// The test program's application object; it takes the help command.
class CTestApp : public CWinApp {
public:
    BOOL InitInstance() override;
    void OnHelpCommand() { ++m_nHelp; }

    int m_nHelp = 0;
    int m_nInitInstance = 0;
    BOOL m_bInitResult = FALSE;

    DECLARE_MESSAGE_MAP()
};
CTestApp& TestApp();

// A form with an edit field, a radio group, a check box, a list and a bar.
class CFormDlg : public CDialog {
public:
    explicit CFormDlg(CWnd* pParent = NULL) : CDialog(IDD_TEST_FORM, pParent) {}

    BOOL DestroyWindow() override;

    CString m_strName;
    int m_nChoice = 0;
    BOOL m_bFlag = FALSE;
    CListCtrl m_list;
    CProgressCtrl m_bar;

    int m_nA = 0;
    int m_nB = 0;
    int m_nCount = 0;
    int m_nOK = 0;
    int m_nDestroyWindow = 0;
    int m_nPaint = 0;
    std::function<void()> m_onFail;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    afx_msg void OnActionA() { ++m_nA; }
    afx_msg void OnActionB() { ++m_nB; }
    afx_msg void OnFail() { m_onFail(); }
    afx_msg void OnCount() { ++m_nCount; }
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon() { return ::LoadCursorA(NULL, MAKEINTRESOURCEA(32512)); }

    DECLARE_MESSAGE_MAP()
};

// Takes "A" for itself and leaves "B" to the form it derives from.
class CDerivedFormDlg : public CFormDlg {
public:
    int m_nDerivedA = 0;

protected:
    afx_msg void OnDerivedA() { ++m_nDerivedA; }

    DECLARE_MESSAGE_MAP()
};

// A modeless window that holds its owner disabled while it is up, the way a
// progress window does.
class CHolderDlg : public CDialog {
public:
    ~CHolderDlg() override;
    BOOL Open();
    BOOL DestroyWindow() override;

private:
    bool m_bOwnerDisabled = false;
};
