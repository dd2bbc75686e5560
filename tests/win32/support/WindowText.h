#pragma once
// Reading windows of this process, safe from any thread (never blocks on a
// window whose thread is busy).
#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

std::string WindowText(HWND hWnd);
std::string ClassName(HWND hWnd);
// The caption, then the text of each static child, one a line.
std::string DialogText(HWND hDlg);
// Visible top-level windows of this process with that class (any when NULL).
std::vector<HWND> ProcessWindows(const char* pszClass = "#32770");
// The first visible top-level window of this process with this caption and class.
HWND FindProcessWindow(const char* pszCaption, const char* pszClass = "#32770");
// A window made by the framework's CDialog (rather than a system box).
bool IsFrameworkDialog(HWND hWnd);

} // namespace wintest
