#pragma once
// A list-view control, driven by its LVM_ messages.
#include "framework/Wnd.h"

#include <commctrl.h>

class CListCtrl : public CWnd {
public:
    // nWidth and nSubItem -1: not given to the control.
    int InsertColumn(int nCol, const char* pszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);

    // A row with its label and image 0; returns its index, -1 on failure.
    int InsertItem(int nItem, const char* pszItem);
    BOOL SetItemText(int nItem, int nSubItem, const char* pszText);
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL DeleteAllItems();
    int GetItemCount() const;

    UINT GetSelectedCount() const;
    int GetSelectionMark() const;
    int SetSelectionMark(int nIndex);

    // All extended styles become dwNewStyle (LVM_SETEXTENDEDLISTVIEWSTYLE, mask 0);
    // returns the previous ones.
    DWORD SetExtendedStyle(DWORD dwNewStyle);
    DWORD GetExtendedStyle() const;
};
