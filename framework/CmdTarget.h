#pragma once
// The root of every class with a message map: the window classes and the application.
#include "framework/MessageMap.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Runs the handler of a command (WM_COMMAND with that id and code) from this
    // object's map or a base class's; FALSE when no entry takes it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

    // The first entry for a message, a notification code and an id, searching the
    // class's own table first, then each base class's in turn; nullptr when none.
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode, UINT nID);

    DECLARE_MESSAGE_MAP()
};
