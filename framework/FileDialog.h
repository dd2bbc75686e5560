#pragma once
// The system's open-file and save-file dialogs.
#include "framework/Wnd.h"

#include <commdlg.h>

class CFileDialog {
public:
    // lpszFilter: pairs of description and pattern separated by '|', e.g.
    // "Bink files (*.bik)|*.bik|All files (*.*)|*.*||"; the first pair is selected.
    // lpszDefExt without its dot is added to a name typed without an extension.
    CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = NULL, const char* lpszFileName = NULL,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = NULL,
                CWnd* pParentWnd = NULL);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when a file was chosen, IDCANCEL otherwise. Owned by
    // GetSafeOwner(pParentWnd): with none given, the main window.
    virtual int DoModal();

    CString GetPathName() const;   // the full path
    CString GetFileName() const;   // name and extension, no folder

    // Set members of m_ofn (lpstrInitialDir, lpstrTitle...) before DoModal.
    OPENFILENAMEA m_ofn;

protected:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    CString m_strDefExt;
    CString m_strFilter;  // NUL-separated, ending in two NULs
    char m_szFileName[MAX_PATH];
};
