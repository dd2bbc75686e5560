#pragma once
// What the framework tells the user when a command ends with an exception.
#include "framework/String.h"

#include <exception>
#include <windows.h>

// The text of the report: what went wrong in general, then the details the
// exception carries (for a file error, the file's name and the system's reason).
CString AfxGetExceptionReportText(std::exception_ptr pException);

// Shows the report in a message box ("Error", exclamation icon, OK) owned by the
// top-level window of hWndContext, or by the main window. Never throws.
void AfxReportException(std::exception_ptr pException, HWND hWndContext) noexcept;
