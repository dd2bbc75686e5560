#include "WindowText.h"

#include "framework/Dialog.h"

namespace wintest {

std::string WindowText(HWND hWnd)
{
    char szText[1024] = "";
    DWORD_PTR dwResult = 0;
    if (!::SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof(szText), reinterpret_cast<LPARAM>(szText),
                               SMTO_ABORTIFHUNG | SMTO_BLOCK, 500, &dwResult))
        return std::string();
    szText[sizeof(szText) - 1] = '\0';
    return szText;
}

std::string ClassName(HWND hWnd)
{
    char szClass[64] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    return szClass;
}

std::string DialogText(HWND hDlg)
{
    std::string text = WindowText(hDlg);
    for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (ClassName(hChild) != "Static")
            continue;
        const std::string line = WindowText(hChild);
        if (!line.empty())
            text += "\n" + line;
    }
    return text;
}

namespace {

struct Search {
    const char* pszClass;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<Search*>(lParam);
    DWORD dwProcess = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcess);
    if (dwProcess == ::GetCurrentProcessId() && ::IsWindowVisible(hWnd) &&
        (pSearch->pszClass == nullptr || ClassName(hWnd) == pSearch->pszClass))
        pSearch->found.push_back(hWnd);
    return TRUE;
}

} // namespace

std::vector<HWND> ProcessWindows(const char* pszClass)
{
    Search search{pszClass, {}};
    ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindProcessWindow(const char* pszCaption, const char* pszClass)
{
    for (HWND hWnd : ProcessWindows(pszClass))
        if (WindowText(hWnd) == pszCaption)
            return hWnd;
    return NULL;
}

bool IsFrameworkDialog(HWND hWnd)
{
    return hWnd != NULL &&
           ::GetWindowLongPtrA(hWnd, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&CDialog::DialogProc);
}

} // namespace wintest
