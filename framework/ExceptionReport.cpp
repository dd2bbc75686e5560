#include "framework/ExceptionReport.h"

#include "file/FileException.h"
#include "framework/Wnd.h"

#include <new>

CString AfxGetExceptionReportText(std::exception_ptr pException)
{
    const char* const pszStopped = "The command could not be completed.";
    try {
        std::rethrow_exception(pException);
    } catch (const CFileException& e) {
        return CString("A file could not be read or written, so the command was stopped.\n\n") +
               e.GetErrorMessage().c_str();
    } catch (const CException& e) {
        return CString(pszStopped) + "\n\n" + e.GetErrorMessage().c_str();
    } catch (const std::bad_alloc&) {
        return CString(pszStopped) + "\n\nNot enough memory.";
    } catch (const std::exception& e) {
        return CString(pszStopped) + "\n\n" + e.what();
    } catch (...) {
        return CString(pszStopped) + "\n\nAn unexpected error occurred.";
    }
}

void AfxReportException(std::exception_ptr pException, HWND hWndContext) noexcept
{
    HWND hWndOwner = NULL;
    try {
        if (hWndContext != NULL && !::IsWindow(hWndContext))
            hWndContext = NULL;
        hWndOwner = CWnd::GetSafeOwner_(hWndContext, NULL);
        if (hWndOwner != NULL && !::IsWindow(hWndOwner))
            hWndOwner = NULL;
        const CString strText = AfxGetExceptionReportText(pException);
        ::MessageBoxA(hWndOwner, strText, "Error", MB_OK | MB_ICONEXCLAMATION);
    } catch (...) {
        // Even the report failed (no memory for its text): say the least there is.
        ::MessageBoxA(hWndOwner, "The command could not be completed.", "Error", MB_OK | MB_ICONEXCLAMATION);
    }
}
