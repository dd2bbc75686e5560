#include "CommandSession.h"

#include "ModalDriver.h"
#include "TestWindows.h"
#include "WindowText.h"

#include <commctrl.h>
#include <commdlg.h>

#include <gtest/gtest.h>

namespace {

CommandSession* g_pSession = nullptr;

// The file dialogs' name field: a combo box in the explorer style, an edit otherwise.
const int kNameFields[] = {0x47c, 0x480};

bool IsFileDialog(HWND hDlg)
{
    for (int nID : kNameFields)
        if (::GetDlgItem(hDlg, nID) != NULL)
            return true;
    return false;
}

bool IsProgressWindow(HWND hWnd)
{
    HWND hBar = ::GetDlgItem(hWnd, IDC_PROGRESS);
    return hBar != NULL && wintest::ClassName(hBar) == PROGRESS_CLASSA;
}

} // namespace

CommandSession::CommandSession(const std::string& dataFolder)
{
    TestApp();
    m_key.SetDataDrive(dataFolder);
}

CommandSession::~CommandSession()
{
    if (g_pSession == this)
        g_pSession = nullptr;
}

void CommandSession::Run(const std::function<void()>& script)
{
    ASSERT_EQ(g_pSession, nullptr) << "one session at a time";
    g_pSession = this;
    m_script = script;

    wintest::ModalDriver driver;
    // The overwrite prompt of the save dialog has the dialog's caption too.
    driver.On("Open", [this](HWND h) { OnFileDialog(h); });
    driver.On("Save As", [this](HWND h) { OnFileDialog(h); });
    driver.On("Error", [this](HWND h) { OnBox(h); });

    m_hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, CallWndHook, NULL, ::GetCurrentThreadId());
    m_nStartTimer = ::SetTimer(NULL, 0, 50, StartScript);

    // As the application does: the window is the main window while it runs.
    TestApp().m_pMainWnd = &m_dlg;
    const int nResult = m_dlg.DoModal();
    TestApp().m_pMainWnd = NULL;

    ::KillTimer(NULL, m_nStartTimer);
    ::UnhookWindowsHookEx(m_hHook);
    m_hHook = NULL;
    g_pSession = nullptr;

    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_TRUE(m_script == nullptr) << "the window never came up";
    for (const BoxSeen& box : TakeBoxes())
        ADD_FAILURE() << "a box the test did not expect: " << box.text;
}

void CALLBACK CommandSession::StartScript(HWND, UINT, UINT_PTR, DWORD)
{
    CommandSession* pThis = g_pSession;
    if (pThis == nullptr || pThis->m_script == nullptr)
        return;
    if (pThis->m_dlg.m_hWnd == NULL || !::IsWindowVisible(pThis->m_dlg.m_hWnd))
        return;
    ::KillTimer(NULL, pThis->m_nStartTimer);
    std::function<void()> script = std::move(pThis->m_script);
    pThis->m_script = nullptr;
    script();
    // "Exit", the way the user leaves.
    ::PostMessageA(pThis->m_dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(pThis->m_dlg.m_hWnd, IDCANCEL)));
}

bool CommandSession::Click(int nID)
{
    HWND hButton = ::GetDlgItem(Window(), nID);
    if (hButton == NULL || !::IsWindowEnabled(hButton) || !::IsWindowEnabled(Window()))
        return false;
    // A button's own click handling: down, up, then BN_CLICKED to the window; the
    // command runs inside this call.
    ::SendMessageA(hButton, BM_CLICK, 0, 0);
    return true;
}

void CommandSession::RunCommand(int nID, std::function<void(HWND)> fileDialogAction)
{
    m_fileDialogAction = std::move(fileDialogAction);
    EXPECT_TRUE(Click(nID)) << "button " << nID << " is disabled";
    m_fileDialogAction = nullptr;
}

void CommandSession::Browse(const std::string& typed)
{
    RunCommand(IDC_BROWSE, [typed](HWND h) { wintest::ModalDriver::ChooseFile(h, typed); });
}

void CommandSession::CancelBrowse()
{
    RunCommand(IDC_BROWSE, [](HWND h) { wintest::ModalDriver::PressButton(h, IDCANCEL); });
}

void CommandSession::Extract(const std::string& typed)
{
    RunCommand(IDC_EXTRACT, [typed](HWND h) { wintest::ModalDriver::ChooseFile(h, typed); });
}

void CommandSession::CancelExtract()
{
    RunCommand(IDC_EXTRACT, [](HWND h) { wintest::ModalDriver::PressButton(h, IDCANCEL); });
}

void CommandSession::OnFileDialog(HWND hDlg)
{
    if (!IsFileDialog(hDlg)) {
        // The save dialog asking whether to replace an existing file.
        OnBox(hDlg);
        return;
    }
    FileDialogSeen seen;
    seen.caption = wintest::WindowText(hDlg);
    char szFolder[MAX_PATH] = "";
    ::SendMessageA(hDlg, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(szFolder));
    seen.folder = szFolder;
    for (int nID : kNameFields)
        if (HWND hField = ::GetDlgItem(hDlg, nID)) {
            seen.name = wintest::WindowText(hField);
            break;
        }
    m_fileDialogs.push_back(seen);

    if (m_fileDialogAction)
        m_fileDialogAction(hDlg);
    else
        wintest::ModalDriver::PressButton(hDlg, IDCANCEL);
}

void CommandSession::OnBox(HWND hBox)
{
    // The save dialog's question whether to replace a file; Wine gives it no caption
    // of its own, so it comes as "Error".
    if (::GetDlgItem(hBox, IDYES) != NULL) {
        ++m_nReplacePrompts;
        wintest::ModalDriver::PressButton(hBox, IDYES);
        return;
    }
    m_boxes.push_back(BoxSeen{wintest::DialogText(hBox), m_hProgress != NULL && ::IsWindow(m_hProgress)});
    wintest::ModalDriver::PressButton(hBox, IDOK);
}

std::vector<CommandSession::BoxSeen> CommandSession::TakeBoxes()
{
    std::vector<BoxSeen> boxes;
    boxes.swap(m_boxes);
    return boxes;
}

LRESULT CALLBACK CommandSession::CallWndHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    CommandSession* pThis = g_pSession;
    if (nCode == HC_ACTION && pThis != nullptr)
        pThis->WatchMessage(*reinterpret_cast<const CWPSTRUCT*>(lParam));
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

void CommandSession::WatchMessage(const CWPSTRUCT& message)
{
    if (message.message == WM_INITDIALOG && IsProgressWindow(message.hwnd)) {
        m_hProgress = message.hwnd;
        m_bRangeGiven = false;
        m_progress.emplace_back();
        m_progress.back().bOwnerDisabledThroughout = !::IsWindowEnabled(Window());
        return;
    }
    if (m_hProgress == NULL || m_progress.empty())
        return;
    ProgressSeen& seen = m_progress.back();
    if (message.message == WM_DESTROY && message.hwnd == m_hProgress) {
        seen.status = wintest::WindowText(::GetDlgItem(m_hProgress, IDC_STATUS));
        seen.bDestroyed = true;
        m_hProgress = NULL;
        return;
    }
    if (::GetParent(message.hwnd) != m_hProgress)
        return;
    if (message.message == PBM_SETRANGE32) {
        seen.nLower = static_cast<int>(message.wParam);
        seen.nUpper = static_cast<int>(message.lParam);
        m_bRangeGiven = true;
    } else if (message.message == PBM_SETPOS && m_bRangeGiven) {
        const int nPos = static_cast<int>(message.wParam);
        seen.positions.push_back(nPos);
        seen.status = wintest::WindowText(::GetDlgItem(m_hProgress, IDC_STATUS));
        if (::IsWindowEnabled(Window()))
            seen.bOwnerDisabledThroughout = false;
        if (m_onReport)
            m_onReport(m_hProgress, nPos);
    }
}

void CommandSession::SelectRow(int nRow)
{
    HWND hList = ::GetDlgItem(Window(), IDC_CLIPLIST);
    ListView_SetItemState(hList, nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(hList, nRow);
}

void CommandSession::ClearSelection()
{
    HWND hList = ::GetDlgItem(Window(), IDC_CLIPLIST);
    ListView_SetItemState(hList, -1, 0, LVIS_SELECTED);
}

int CommandSession::RowCount() const
{
    return ListView_GetItemCount(::GetDlgItem(Window(), IDC_CLIPLIST));
}

std::vector<std::string> CommandSession::Row(int nRow) const
{
    HWND hList = ::GetDlgItem(Window(), IDC_CLIPLIST);
    std::vector<std::string> texts;
    for (int nColumn = 0; nColumn < 4; ++nColumn) {
        char szText[128] = "";
        ListView_GetItemText(hList, nRow, nColumn, szText, sizeof szText);
        texts.push_back(szText);
    }
    return texts;
}

std::string CommandSession::Text(int nID) const
{
    return wintest::WindowText(::GetDlgItem(Window(), nID));
}

bool CommandSession::IsEnabled(int nID) const
{
    HWND hWnd = nID == 0 ? Window() : ::GetDlgItem(Window(), nID);
    return hWnd != NULL && ::IsWindowEnabled(hWnd);
}

bool CommandSession::StepTwoEnabled() const
{
    for (int nID : {IDC_CLIPLIST, IDC_HIRES, IDC_LORES, IDC_VIEW, IDC_EXTRACT})
        if (!IsEnabled(nID))
            return false;
    return true;
}
