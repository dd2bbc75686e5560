#pragma once
// A list-view control, driven by its LVM_ messages.
#include "Wnd.h"

#include <commctrl.h>

class CListCtrl : public CWnd {
public:
    // nWidth and nSubItem -1: not given to the control.
    int InsertColumn(int nCol, const char* pszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    BOOL DeleteColumn(int nCol);
    BOOL GetColumn(int nCol, LVCOLUMNA* pColumn) const;
    int GetColumnWidth(int nCol) const;

    // A row with its label and image 0; returns its index, -1 on failure.
    int InsertItem(int nItem, const char* pszItem);
    int InsertItem(int nItem, const char* pszItem, int nImage);
    int InsertItem(const LVITEMA* pItem);
    BOOL SetItemText(int nItem, int nSubItem, const char* pszText);
    CString GetItemText(int nItem, int nSubItem) const;
    int GetItemText(int nItem, int nSubItem, char* pszText, int nLen) const;
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    int GetItemCount() const;

    UINT GetSelectedCount() const;
    int GetSelectionMark() const;
    int SetSelectionMark(int nIndex);
    int GetNextItem(int nItem, int nFlags) const;
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const;
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);

    // All extended styles become dwNewStyle (LVM_SETEXTENDEDLISTVIEWSTYLE, mask 0);
    // returns the previous ones.
    DWORD SetExtendedStyle(DWORD dwNewStyle);
    DWORD GetExtendedStyle() const;
};
