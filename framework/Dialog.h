#pragma once
// A dialog box from a template in the program's resources, modal (DoModal) or
// modeless (Create). The object is reached from the window through the dialog's
// creation parameter; it must outlive its window.
#include "framework/Wnd.h"

class CDialog : public CWnd {
public:
    // The modeless form: the template is named when Create is called.
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    // Destroys a window still up (without the virtual DestroyWindow).
    ~CDialog() override;

    // Modeless: creates the window, owned by pParentWnd or else the main window.
    // m_pParentWnd is left as it is.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    // Modal: runs the dialog owned by GetSafeOwner(m_pParentWnd) and returns the
    // result given to EndDialog, or -1 when the window could not be created. The
    // window has been destroyed, through DestroyWindow, by the time this returns.
    virtual int DoModal();
    void EndDialog(int nResult);

    // Puts the members into the controls, then TRUE: focus to the first control.
    // The framework centres the window afterwards unless this moved or showed it.
    virtual BOOL OnInitDialog();

    // The dialog procedure of every framework dialog.
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    BOOL OnCmdMsg(UINT nID, int nCode) override;

    CWnd* m_pParentWnd;
    UINT m_nIDTemplate;

protected:
    // Data exchange from the controls, then EndDialog(IDOK). Enter and IDOK come here.
    virtual void OnOK();
    // EndDialog(IDCANCEL). Escape, IDCANCEL and the close box come here.
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    BOOL HandleInitDialog(HWND hWnd);
    void HandleDestroy();
    void HandleNcDestroy();
    BOOL Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};
