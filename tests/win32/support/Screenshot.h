#pragma once
// Screenshots of windows as the screen shows them, for people to look at.
#include <windows.h>

#include <string>

namespace wintest {

// Writes what the screen shows inside the window's rectangle to
// <folder of the test program>\screenshots\<name>.bmp (24-bit) and returns the
// path; empty when it could not. Pump first, so the window has painted.
std::string SaveScreenshot(HWND hWnd, const std::string& name);

} // namespace wintest
