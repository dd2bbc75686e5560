#include "framework/Wnd.h"

#include "framework/DataExchange.h"
#include "framework/WndState.h"

#include <map>
#include <memory>
#include <vector>

namespace afx {

const CurrentMessage* g_pCurrentMessage = nullptr;

namespace {

// Never freed: window objects of static storage may unregister during exit.
std::map<HWND, CWnd*>& PermanentMap()
{
    static auto* pMap = new std::map<HWND, CWnd*>;
    return *pMap;
}

std::map<HWND, std::unique_ptr<CWnd>>& TemporaryMap()
{
    static auto* pMap = new std::map<HWND, std::unique_ptr<CWnd>>;
    return *pMap;
}

} // namespace

void RegisterPermanent(HWND hWnd, CWnd* pWnd)
{
    if (hWnd != NULL)
        PermanentMap()[hWnd] = pWnd;
}

void UnregisterPermanent(HWND hWnd, CWnd* pWnd)
{
    auto& map = PermanentMap();
    auto it = map.find(hWnd);
    if (it != map.end() && it->second == pWnd)
        map.erase(it);
}

void DetachChildren(HWND hParent)
{
    std::vector<CWnd*> children;
    for (const auto& entry : PermanentMap())
        if (::IsChild(hParent, entry.first))
            children.push_back(entry.second);
    for (CWnd* pChild : children)
        pChild->Detach();
}

} // namespace afx

CWnd::~CWnd()
{
    if (m_hWnd != NULL)
        afx::UnregisterPermanent(m_hWnd, this);
    afx::ForgetMainWnd(this);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto& map = afx::PermanentMap();
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == NULL)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    auto& slot = afx::TemporaryMap()[hWnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hWnd;
    }
    return slot.get();
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (m_hWnd != NULL || hWnd == NULL)
        return FALSE;
    m_hWnd = hWnd;
    afx::RegisterPermanent(hWnd, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL)
        afx::UnregisterPermanent(hWnd, this);
    m_hWnd = NULL;
    return hWnd;
}

HWND CWnd::GetSafeOwner_(HWND hParent, HWND* pWndTop)
{
    HWND hWnd = hParent;
    if (hWnd == NULL)
        hWnd = GetSafeHwnd(afx::MainWnd());
    // A pop-up window cannot be owned by a child window.
    while (hWnd != NULL && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);

    HWND hWndTop = hWnd;
    for (HWND hWndTemp = hWnd; hWndTemp != NULL; hWndTemp = ::GetParent(hWndTemp))
        hWndTop = hWndTemp;

    if (hParent == NULL && hWnd != NULL)
        hWnd = ::GetLastActivePopup(hWnd);

    if (pWndTop != NULL) {
        if (hWndTop != NULL && ::IsWindowEnabled(hWndTop) && hWndTop != hWnd) {
            *pWndTop = hWndTop;
            ::EnableWindow(hWndTop, FALSE);
        } else {
            *pWndTop = NULL;
        }
    }
    return hWnd;
}

CWnd* CWnd::GetSafeOwner(CWnd* pParent, HWND* pWndTop)
{
    return FromHandle(GetSafeOwner_(GetSafeHwnd(pParent), pWndTop));
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }

BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(
        ::SendMessageA(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::SetWindowText(const char* pszText) { ::SetWindowTextA(m_hWnd, pszText); }

void CWnd::GetWindowText(CString& rString) const
{
    const int nLength = ::GetWindowTextLengthA(m_hWnd);
    char* pBuffer = rString.GetBuffer(nLength + 1);
    const int nCopied = ::GetWindowTextA(m_hWnd, pBuffer, nLength + 1);
    rString.ReleaseBuffer(nCopied);
}

void CWnd::SetDlgItemText(int nID, const char* pszText) { ::SetDlgItemTextA(m_hWnd, nID, pszText); }

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    if (HWND hItem = ::GetDlgItem(m_hWnd, nID))
        FromHandle(hItem)->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    const DWORD dwStyle = GetStyle();
    HWND hWndCenter = GetSafeHwnd(pAlternateOwner);
    if (hWndCenter == NULL)
        hWndCenter = (dwStyle & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);

    CRect rcDlg;
    GetWindowRect(&rcDlg);
    CRect rcArea;
    CRect rcCenter;
    if (dwStyle & WS_CHILD) {
        ::GetClientRect(hWndCenter, &rcArea);
        rcCenter = rcArea;
        ::MapWindowPoints(hWndCenter, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&rcCenter), 2);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
        // Over the screen when the owner cannot be seen.
        if (hWndCenter == NULL || !::IsWindowVisible(hWndCenter) || ::IsIconic(hWndCenter))
            rcCenter = rcArea;
        else
            ::GetWindowRect(hWndCenter, &rcCenter);
    }

    int x = (rcCenter.left + rcCenter.right) / 2 - rcDlg.Width() / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - rcDlg.Height() / 2;
    if (x + rcDlg.Width() > rcArea.right)
        x = rcArea.right - rcDlg.Width();
    if (x < rcArea.left)
        x = rcArea.left;
    if (y + rcDlg.Height() > rcArea.bottom)
        y = rcArea.bottom - rcDlg.Height();
    if (y < rcArea.top)
        y = rcArea.top;
    ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

int CWnd::MessageBox(const char* pszText, const char* pszCaption, UINT nType) const
{
    if (pszCaption == NULL)
        pszCaption = afx::AppName();
    return ::MessageBoxA(m_hWnd, pszText, pszCaption, nType);
}

BOOL CWnd::IsDialogMessage(LPMSG lpMsg)
{
    return ::IsDialogMessageA(m_hWnd, lpMsg);
}

LRESULT CWnd::Default()
{
    // The procedure that dispatched the message knows what the system's processing is.
    const afx::CurrentMessage* pMsg = afx::g_pCurrentMessage;
    return pMsg != nullptr ? pMsg->pfnDefault(*pMsg) : 0;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == NULL)
        return FALSE;
    // Already going (the system destroys it and this override runs on the way).
    if (m_bDestroying)
        return TRUE;
    m_bDestroying = true;
    HWND hWnd = m_hWnd;
    const BOOL bResult = ::DestroyWindow(hWnd);
    m_bDestroying = false;
    // A dialog has detached itself on WM_NCDESTROY; a plain window is detached here.
    if (m_hWnd == hWnd && !::IsWindow(hWnd))
        Detach();
    return bResult;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(GetMessageMap(), message, 0, 0);
    if (pEntry == nullptr)
        return FALSE;
    *pResult = pEntry->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()
