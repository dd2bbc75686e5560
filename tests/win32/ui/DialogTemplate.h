#pragma once
// Reads a dialog template resource, plain or extended, into plain values, so that
// tests can hold it against the layout the window must have.
#include <windows.h>

#include <string>
#include <vector>

struct DialogItemTemplate {
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD wId = 0;              // the low word: a plain template holds no more
    std::string strClass;      // predefined atoms named ("Button", "Edit", ...)
    std::string strText;
};

struct DialogTemplate {
    bool bExtended = false;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string strMenu;
    std::string strClass;
    std::string strCaption;
    WORD wPointSize = 0;
    WORD wWeight = 0;
    BYTE bItalic = 0;
    BYTE bCharSet = 0;
    std::string strFace;
    std::vector<DialogItemTemplate> items;
};

// The template of that id in a module's resources; throws std::runtime_error
// when it is missing.
DialogTemplate LoadDialogTemplate(HMODULE hModule, WORD wId);
