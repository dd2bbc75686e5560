#pragma once
// The progress window: a status line and a bar shown while a command works on the
// user-interface thread. It holds its owner disabled while it is up, keeps every
// window painting by draining the message queue at each new position, and cannot
// be dismissed by the user: only the code that created it takes it down.
#include "framework/Afx.h"
#include "ui/res/resource.h"

class CProgressDlg : public CDialog {
public:
    enum { IDD = IDD_PROGRESS };

    CProgressDlg();
    ~CProgressDlg() override;

    // Disables an enabled owner, then creates the window; FALSE when it could not be
    // created (the owner is then enabled again).
    BOOL Create(CWnd* pParent = NULL);
    // These three do nothing unless the window exists.
    void SetStatus(const char* pszText);
    void SetRange(int nLower, int nUpper);
    void SetPos(int nPos);
    void PumpMessages();
    // Enables the owner again before the window goes.
    BOOL DestroyWindow() override;

    CProgressCtrl m_progress;
    int m_nLower;
    int m_nUpper;
    int m_nStep;
    BOOL m_bParentDisabled;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter and Escape reach these through the dialog keyboard handling: the window stays.
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

private:
    void ReEnableParent();
    bool HasWindow() const;
};
