#include "framework/FileDialog.h"

#include "framework/WinApp.h"

#include <cstring>

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, CWnd* pParentWnd)
    : m_ofn(), m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd)
{
    m_szFileName[0] = '\0';
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hInstance = AfxGetInstanceHandle();
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.Flags = dwFlags | OFN_EXPLORER;

    if (lpszDefExt != NULL) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFileName != NULL) {
        std::strncpy(m_szFileName, lpszFileName, MAX_PATH - 1);
        m_szFileName[MAX_PATH - 1] = '\0';
    }
    if (lpszFilter != NULL) {
        // The system wants "text\0pattern\0...\0\0". A filter missing its closing
        // "||" still ends in two NULs.
        std::string filter(lpszFilter);
        for (char& c : filter)
            if (c == '|')
                c = '\0';
        filter += '\0';
        m_strFilter = CString(filter);
        m_ofn.lpstrFilter = m_strFilter;
    }
}

int CFileDialog::DoModal()
{
    HWND hWndTop = NULL;
    m_ofn.hwndOwner = CWnd::GetSafeOwner_(CWnd::GetSafeHwnd(m_pParentWnd), &hWndTop);
    const BOOL bResult = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    if (hWndTop != NULL)
        ::EnableWindow(hWndTop, TRUE);
    return bResult ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const
{
    const size_t nLength = std::strlen(m_ofn.lpstrFile);
    if (m_ofn.nFileOffset > 0 && m_ofn.nFileOffset <= nLength)
        return CString(m_ofn.lpstrFile + m_ofn.nFileOffset);
    const char* pszSlash = std::strrchr(m_ofn.lpstrFile, '\\');
    return CString(pszSlash != nullptr ? pszSlash + 1 : m_ofn.lpstrFile);
}
