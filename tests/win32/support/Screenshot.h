#pragma once
// Screenshots of windows as the screen shows them, for people to look at.
#include <windows.h>

#include <string>

namespace wintest {

// Repaints the window, then writes what the screen shows inside its rectangle to
// <build tree>\screenshots\<name>.bmp (24-bit) and returns the path; empty when
// it could not. The build turns the .bmp files into .png once the tests ran.
std::string SaveScreenshot(HWND hWnd, const std::string& name);

} // namespace wintest
