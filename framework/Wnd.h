#pragma once
// A window object: a thin wrapper of an HWND that does not own the window.
// Objects reached through FromHandle for windows that no C++ object wraps are kept
// by the framework (one per handle, for the life of the process; the program sees
// only a handful of windows). Dialogs and controls attached by data exchange are
// found as themselves.
#include "framework/CmdTarget.h"
#include "framework/Rect.h"
#include "framework/String.h"

class CDataExchange;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = NULL;

    // The window of pWnd, NULL when pWnd is null: for the optional parents and
    // owners that the classic framework passes around as pointers.
    static HWND GetSafeHwnd(const CWnd* pWnd) { return pWnd != nullptr ? pWnd->m_hWnd : NULL; }

    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Wraps a window made elsewhere; FALSE when this object already wraps one.
    BOOL Attach(HWND hWnd);
    HWND Detach();

    // The owner a modal window should have: pParent, or the main window when
    // pParent is null (then its last active pop-up), never a child window. With
    // pWndTop, an enabled top-level window above the owner is disabled and returned
    // there, for the caller to enable again.
    static CWnd* GetSafeOwner(CWnd* pParent = NULL, HWND* pWndTop = NULL);
    static HWND GetSafeOwner_(HWND hParent, HWND* pWndTop);

    CWnd* GetDlgItem(int nID) const;
    DWORD GetStyle() const;

    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsIconic() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);

    void SetWindowText(const char* pszText);
    void GetWindowText(CString& rString) const;
    void SetDlgItemText(int nID, const char* pszText);
    int GetDlgItemText(int nID, CString& rString) const;

    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    // Centres this window over its owner, or over the screen's work area when the
    // owner is missing, hidden or minimised; kept inside the work area.
    void CenterWindow(CWnd* pAlternateOwner = NULL);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Caption NULL: the application's name.
    int MessageBox(const char* pszText, const char* pszCaption = NULL, UINT nType = MB_OK) const;
    BOOL IsDialogMessage(LPMSG lpMsg);

    // The system's own processing of the message being handled now, run at once
    // (0 outside a handler).
    LRESULT Default();

    // Destroys the window. Overrides run however the window goes: by this call,
    // by the end of a modal dialog, or with its owner.
    virtual BOOL DestroyWindow();

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // Dispatches one window message through the message map: TRUE when an entry
    // took it, with the handler's result in *pResult.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

protected:
    // Set while the window is on its way out, so DestroyWindow runs once.
    bool m_bDestroying = false;

    DECLARE_MESSAGE_MAP()
};
