#pragma once
// Message maps: a static table per class, read top to bottom, chained to the base
// class's table. Each entry carries a small function that calls the handler on the
// object, so handlers keep their natural signatures and stay protected.
//
//   class CMyDlg : public CDialog { ... void OnBrowse(); DECLARE_MESSAGE_MAP() };
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()
//       ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
//   END_MESSAGE_MAP()
//
// A handler is named as in the class (OnBrowse) or qualified (CMyDlg::OnBrowse).
#include <windows.h>

// Marks message handlers in class declarations, as in the classic framework.
#define afx_msg

class CCmdTarget;

typedef LRESULT (*AFX_PMSGTHUNK)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;   // the window message; WM_COMMAND for commands and notifications
    UINT nCode;      // notification code for WM_COMMAND (BN_CLICKED, or 0 for a command)
    UINT nID;        // control or command id for WM_COMMAND
    AFX_PMSGTHUNK pfn;  // nullptr ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        using ThisClass [[maybe_unused]] = theClass; \
        using TheBaseClass = baseClass; \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, nullptr } \
        }; \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] }; \
        return &messageMap; \
    }

#define AFX_MSG_THUNK(call) \
    [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam) -> LRESULT { \
        (void)wParam; (void)lParam; \
        ThisClass* pThis = static_cast<ThisClass*>(pTarget); \
        call; \
    }

#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, 0, (UINT)(id), AFX_MSG_THUNK(pThis->memberFxn(); return 0) },

#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    { WM_COMMAND, (UINT)(wNotifyCode), (UINT)(id), AFX_MSG_THUNK(pThis->memberFxn(); return 0) },

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, AFX_MSG_THUNK(pThis->OnPaint(); return 0) },

#define ON_WM_QUERYDRAGICON() \
    { WM_QUERYDRAGICON, 0, 0, AFX_MSG_THUNK(return reinterpret_cast<LRESULT>(pThis->OnQueryDragIcon())) },
