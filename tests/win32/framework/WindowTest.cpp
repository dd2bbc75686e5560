// The framework's windows under Wine: dispatch from real messages, data exchange
// in both directions, modal and modeless dialogs, and errors inside handlers.
#include "TestDialogs.h"

#include "ModalDriver.h"
#include "Pump.h"
#include "Screenshot.h"
#include "Watchdog.h"
#include "WinTest.h"
#include "WindowText.h"

#include <memory>
#include <stdexcept>
#include <vector>
#include <string>

using namespace wintest;

namespace {

class WindowTest : public WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        TestApp().Enable3dControls();
    }
    void TearDown() override
    {
        TestApp().m_pMainWnd = nullptr;
        WinTest::TearDown();
    }
};

// A form shown modelessly, as the test's main window.
struct ShownForm {
    explicit ShownForm(CFormDlg& dlg) : m_dlg(dlg)
    {
        EXPECT_TRUE(dlg.Create(IDD_TEST_FORM));
        ::ShowWindow(dlg.m_hWnd, SW_SHOW);
        TestApp().m_pMainWnd = &dlg;
        PumpFor(50);
    }
    ~ShownForm() { m_dlg.DestroyWindow(); }
    CFormDlg& m_dlg;
};

bool IsChecked(HWND hDlg, int nID)
{
    return ::IsDlgButtonChecked(hDlg, nID) == BST_CHECKED;
}

} // namespace

using DispatchTest = WindowTest;

TEST_F(DispatchTest, ClicksReachTheDerivedEntryOrTheBaseOne)
{
    CDerivedFormDlg dlg;
    ShownForm shown(dlg);
    ClickDlgButton(dlg.m_hWnd, IDC_ACTION_A);
    ClickDlgButton(dlg.m_hWnd, IDC_ACTION_B);
    ClickDlgButton(dlg.m_hWnd, IDC_ACTION_B);
    EXPECT_TRUE(PumpUntil([&] { return dlg.m_nB == 2; }));
    EXPECT_EQ(dlg.m_nDerivedA, 1);
    EXPECT_EQ(dlg.m_nA, 0);
}

TEST_F(DispatchTest, DefaultLetsTheSystemPaint)
{
    CFormDlg dlg;
    ShownForm shown(dlg);
    ::InvalidateRect(dlg.m_hWnd, NULL, TRUE);
    ::UpdateWindow(dlg.m_hWnd);
    EXPECT_GE(dlg.m_nPaint, 1);
    // The system's painting validated the window: no WM_PAINT is left pending.
    EXPECT_FALSE(::GetUpdateRect(dlg.m_hWnd, NULL, FALSE));
}

TEST_F(DispatchTest, DirectResultsComeBackFromTheDialogProcedure)
{
    CFormDlg dlg;
    ShownForm shown(dlg);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(dlg.SendMessage(WM_QUERYDRAGICON)), ::LoadCursorA(NULL, MAKEINTRESOURCEA(32512)));
    EXPECT_EQ(CWnd::FromHandle(dlg.m_hWnd), &dlg);
    EXPECT_TRUE(IsFrameworkDialog(dlg.m_hWnd));
}

using DataExchangeTest = WindowTest;

TEST_F(DataExchangeTest, MembersGoIntoTheControls)
{
    CFormDlg dlg;
    dlg.m_strName = "disc3.pak";
    dlg.m_nChoice = 2;
    dlg.m_bFlag = TRUE;
    ShownForm shown(dlg);  // OnInitDialog runs UpdateData(FALSE)
    EXPECT_EQ(WindowText(::GetDlgItem(dlg.m_hWnd, IDC_NAME)), "disc3.pak");
    EXPECT_FALSE(IsChecked(dlg.m_hWnd, IDC_FIRST));
    EXPECT_FALSE(IsChecked(dlg.m_hWnd, IDC_SECOND));
    EXPECT_TRUE(IsChecked(dlg.m_hWnd, IDC_THIRD));
    EXPECT_TRUE(IsChecked(dlg.m_hWnd, IDC_FLAG));

    dlg.m_nChoice = 0;
    dlg.m_bFlag = FALSE;
    dlg.m_strName.Empty();
    dlg.UpdateData(FALSE);
    EXPECT_TRUE(IsChecked(dlg.m_hWnd, IDC_FIRST));
    EXPECT_FALSE(IsChecked(dlg.m_hWnd, IDC_THIRD));
    EXPECT_FALSE(IsChecked(dlg.m_hWnd, IDC_FLAG));
    EXPECT_EQ(WindowText(::GetDlgItem(dlg.m_hWnd, IDC_NAME)), "");
}

TEST_F(DataExchangeTest, ControlsGoIntoTheMembers)
{
    CFormDlg dlg;
    ShownForm shown(dlg);
    ::SetDlgItemTextA(dlg.m_hWnd, IDC_NAME, "publish.pak");
    ::CheckRadioButton(dlg.m_hWnd, IDC_FIRST, IDC_THIRD, IDC_SECOND);
    ::CheckDlgButton(dlg.m_hWnd, IDC_FLAG, BST_CHECKED);
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_strName, "publish.pak");
    EXPECT_EQ(dlg.m_nChoice, 1);
    EXPECT_EQ(dlg.m_bFlag, BST_CHECKED);
}

TEST_F(DataExchangeTest, RadioGroupEndsAtTheNextGroupAndMayHaveNoChoice)
{
    CFormDlg dlg;
    ShownForm shown(dlg);
    ::CheckRadioButton(dlg.m_hWnd, IDC_FIRST, IDC_THIRD, 0);
    for (int nID = IDC_FIRST; nID <= IDC_THIRD; ++nID)
        ::CheckDlgButton(dlg.m_hWnd, nID, BST_UNCHECKED);
    // The check box after the group is no radio button of it, checked or not.
    ::CheckDlgButton(dlg.m_hWnd, IDC_FLAG, BST_CHECKED);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(dlg.m_nChoice, -1);
}

TEST_F(DataExchangeTest, ControlsAreAttachedAndLetGoWithTheWindow)
{
    CFormDlg dlg;
    {
        ShownForm shown(dlg);
        EXPECT_EQ(dlg.m_list.m_hWnd, ::GetDlgItem(dlg.m_hWnd, IDC_LIST));
        EXPECT_EQ(dlg.m_bar.m_hWnd, ::GetDlgItem(dlg.m_hWnd, IDC_BAR));
        EXPECT_EQ(dlg.GetDlgItem(IDC_LIST), &dlg.m_list);
        // A second exchange keeps the same attachment.
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_list.m_hWnd, ::GetDlgItem(dlg.m_hWnd, IDC_LIST));
    }
    EXPECT_EQ(dlg.m_hWnd, static_cast<HWND>(NULL));
    EXPECT_EQ(dlg.m_list.m_hWnd, static_cast<HWND>(NULL));
    EXPECT_EQ(dlg.m_bar.m_hWnd, static_cast<HWND>(NULL));
    EXPECT_EQ(dlg.m_nDestroyWindow, 1);
}

using ControlTest = WindowTest;

TEST_F(ControlTest, ListRowsAndColumns)
{
    CFormDlg dlg;
    ShownForm shown(dlg);
    CListCtrl& list = dlg.m_list;
    EXPECT_EQ(list.InsertColumn(0, "Clip", LVCFMT_LEFT, 110, 0), 0);
    EXPECT_EQ(list.InsertColumn(1, "Length", LVCFMT_RIGHT, 45, 1), 1);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    EXPECT_EQ(list.GetExtendedStyle(), static_cast<DWORD>(LVS_EX_FULLROWSELECT));

    list.DeleteAllItems();
    EXPECT_EQ(list.InsertItem(0, "Clip 000"), 0);
    EXPECT_EQ(list.InsertItem(1, "Clip 001"), 1);
    EXPECT_TRUE(list.SetItemText(1, 1, "1:05"));
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(1, 0), "Clip 001");
    EXPECT_EQ(list.GetItemText(1, 1), "1:05");
    EXPECT_EQ(list.GetSelectedCount(), 0u);
    ListView_SetItemState(list.m_hWnd, 1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 1u);
    EXPECT_EQ(ListView_GetNextItem(list.m_hWnd, -1, LVNI_SELECTED), 1);
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
}

using ModalTest = WindowTest;

TEST_F(ModalTest, EnterRunsTheDataExchangeAndEndsAsOK)
{
    CFormDlg dlg;
    ModalDriver driver;
    driver.On("Framework form", [](HWND hDlg) {
        ::SetDlgItemTextA(hDlg, IDC_NAME, "typed");
        ::CheckRadioButton(hDlg, IDC_FIRST, IDC_THIRD, IDC_THIRD);
        PressKey(::GetDlgItem(hDlg, IDC_NAME), VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nOK, 1);
    EXPECT_EQ(dlg.m_strName, "typed");
    EXPECT_EQ(dlg.m_nChoice, 2);
    // The system destroyed the window, and the override heard of it once.
    EXPECT_EQ(dlg.m_nDestroyWindow, 1);
    EXPECT_EQ(dlg.m_hWnd, static_cast<HWND>(NULL));
}

TEST_F(ModalTest, OwnerIsDisabledWhileUpAndCentredOver)
{
    CFormDlg owner;
    ShownForm shown(owner);
    ::SetWindowPos(owner.m_hWnd, NULL, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    class CInnerDlg : public CDialog {
    public:
        CInnerDlg() : CDialog(IDD_TEST_FORM) {}
    } inner;
    bool bOwnerEnabledInside = true;
    HWND hInnerOwner = NULL;
    RECT rcInner = {}, rcOwner = {};
    ModalDriver driver;
    driver.On("Framework form", [&](HWND hDlg) {
        if (hDlg == owner.m_hWnd)
            return;
        bOwnerEnabledInside = ::IsWindowEnabled(owner.m_hWnd) != FALSE;
        hInnerOwner = ::GetWindow(hDlg, GW_OWNER);
        ::GetWindowRect(hDlg, &rcInner);
        ::GetWindowRect(owner.m_hWnd, &rcOwner);
        ModalDriver::PressButton(hDlg, IDCANCEL);
    });
    EXPECT_EQ(inner.DoModal(), IDCANCEL);
    EXPECT_FALSE(bOwnerEnabledInside);
    EXPECT_EQ(hInnerOwner, owner.m_hWnd);
    EXPECT_TRUE(owner.IsWindowEnabled());
    // Same size as the owner, so centred means on top of it.
    EXPECT_EQ(rcInner.left, rcOwner.left);
    EXPECT_EQ(rcInner.top, rcOwner.top);
}

using ErrorTest = WindowTest;

TEST_F(ErrorTest, FileErrorInAHandlerIsReportedAndTheProgramGoesOn)
{
    CFormDlg dlg;
    ShownForm shown(dlg);
    const std::string missing = "Z:\\no\\such\\folder\\disc9.pak";
    bool bHolderUp = false;
    dlg.m_onFail = [&] {
        CHolderDlg holder;
        holder.Open();
        bHolderUp = ::IsWindow(holder.m_hWnd) && !dlg.IsWindowEnabled();
        CFile file;
        file.Open(missing.c_str(), CFile::modeRead | CFile::shareDenyNone);
        file.GetLength();  // throws: the file never opened
        ADD_FAILURE() << "the handler went on after the file error";
    };

    bool bOwnedByMain = false;
    int nHoldersAtReport = -1;
    ModalDriver driver;
    driver.On("Error", [&](HWND hBox) {
        // The box is owned by the main window; the holder has already gone.
        bOwnedByMain = ::GetWindow(hBox, GW_OWNER) == dlg.m_hWnd;
        EXPECT_FALSE(IsFrameworkDialog(hBox));
        nHoldersAtReport = 0;
        for (HWND hWnd : ProcessWindows("#32770"))
            if (WindowText(hWnd).empty() && IsFrameworkDialog(hWnd))
                ++nHoldersAtReport;
        ModalDriver::PressButton(hBox, IDOK);
    });

    ClickDlgButton(dlg.m_hWnd, IDC_FAIL);
    ASSERT_TRUE(PumpUntil([&] { return driver.Count("Error") == 1 && ::IsWindowEnabled(dlg.m_hWnd); }));
    EXPECT_TRUE(bHolderUp);
    EXPECT_TRUE(bOwnedByMain);
    EXPECT_EQ(nHoldersAtReport, 0);
    ASSERT_EQ(driver.Texts().size(), 1u);
    const std::string& text = driver.Texts()[0];
    EXPECT_NE(text.find(missing + ": "), std::string::npos) << text;
    const std::string reason = CFileException(CFileException::badPath, ERROR_PATH_NOT_FOUND).GetReason();
    EXPECT_NE(text.find(reason), std::string::npos) << text << "\nexpected the reason: " << reason;

    // The program lives on: the next command runs.
    ClickDlgButton(dlg.m_hWnd, IDC_COUNT);
    EXPECT_TRUE(PumpUntil([&] { return dlg.m_nCount == 1; }));
}

TEST_F(ErrorTest, AnyExceptionEndsTheCommandWithABox)
{
    CFormDlg dlg;
    ShownForm shown(dlg);
    int nThrows = 0;
    dlg.m_onFail = [&] {
        ++nThrows;
        if (nThrows == 1)
            throw std::runtime_error("gears jammed");
        throw 7;
    };
    ModalDriver driver;
    driver.On("Error", [](HWND hBox) { ModalDriver::PressButton(hBox, IDOK); });
    ClickDlgButton(dlg.m_hWnd, IDC_FAIL);
    ASSERT_TRUE(PumpUntil([&] { return driver.Count("Error") == 1; }));
    ClickDlgButton(dlg.m_hWnd, IDC_FAIL);
    ASSERT_TRUE(PumpUntil([&] { return driver.Count("Error") == 2; }));
    EXPECT_NE(driver.Texts()[0].find("gears jammed"), std::string::npos);
    EXPECT_NE(driver.Texts()[1].find("unexpected"), std::string::npos);
}

using FileDialogTest = WindowTest;

TEST_F(FileDialogTest, TypedNameGetsTheDefaultExtensionInTheInitialFolder)
{
    char szFolder[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, szFolder);
    const std::string folder = std::string(szFolder) + "zodovu-filedialog\\";
    ::CreateDirectoryA(folder.c_str(), NULL);
    const std::string path = folder + "disc3.pak";
    HANDLE hFile = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    ::CloseHandle(hFile);

    CFileDialog dlg(TRUE, "pak", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "Archives (*.pak)|*.pak|All files (*.*)|*.*||");
    dlg.m_ofn.lpstrInitialDir = folder.c_str();
    dlg.m_ofn.lpstrTitle = "Pick an archive";
    ModalDriver driver;
    driver.On("Pick an archive", [](HWND hDlg) { ModalDriver::ChooseFile(hDlg, "disc3"); });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetPathName().CompareNoCase(path.c_str()), 0) << dlg.GetPathName().str();
    EXPECT_EQ(dlg.GetFileName(), "disc3.pak");
    ::DeleteFileA(path.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

TEST_F(FileDialogTest, CancelReturnsCancel)
{
    CFileDialog dlg(FALSE, "bik", "clip.bik");
    dlg.m_ofn.lpstrTitle = "Save a clip";
    ModalDriver driver;
    driver.On("Save a clip", [](HWND hDlg) { ModalDriver::PressButton(hDlg, IDCANCEL); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(driver.Count("Save a clip"), 1);
}

using HarnessTest = WindowTest;

TEST_F(HarnessTest, WatchdogClosesAndRecordsAnUnexpectedBox)
{
    // Would wait for ever without the watchdog.
    const int nResult = ::MessageBoxA(NULL, "Nobody expects this box.", "Surprise", MB_OK);
    EXPECT_TRUE(nResult == IDOK || nResult == IDCANCEL);
    const std::vector<std::string> unexpected = Watchdog::Instance().TakeUnexpected();
    ASSERT_EQ(unexpected.size(), 1u);
    EXPECT_NE(unexpected[0].find("Surprise"), std::string::npos);
    EXPECT_NE(unexpected[0].find("Nobody expects this box."), std::string::npos);
}

TEST_F(HarnessTest, ScreenshotOfAWindowLandsInTheBuildTree)
{
    CFormDlg dlg;
    dlg.m_strName = "screenshot";
    ShownForm shown(dlg);
    PumpFor(200);
    const std::string path = SaveScreenshot(dlg.m_hWnd, "framework-form");
    ASSERT_FALSE(path.empty());
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_GT(data.nFileSizeLow, 1000u);
}
