// The main window as it opens: every control as the template makes it, the state
// before any archive is loaded, the clip list's columns, and the icon.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "GameRegistryKey.h"
#include "TestWindows.h"
#include "ui/ViewerDlg.h"
#include "WinTest.h"

namespace {

struct ExpectedControl {
    int nId;               // -1 for the unnamed ones
    const char* pszClass;
    int x, y, cx, cy;      // dialog units
    const char* pszText;   // NULL: our own wording, not checked
    bool bEnabled;
    DWORD dwStyle;         // window and control style bits as created
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPushLike = BS_CHECKBOX | BS_PUSHLIKE | WS_TABSTOP | WS_GROUP;

const ExpectedControl kControls[] = {
    {-1, "Button", 7, 7, 190, 43, "Step 1: Select an archive", true, kChild | BS_GROUPBOX | WS_GROUP},
    {-1, "Button", 7, 45, 190, 106, "Step 2: Select FMV clip", true, kChild | BS_GROUPBOX | WS_GROUP},
    {IDC_ARCHIVE, "Edit", 13, 23, 92, 12, "", true,
     kChild | ES_READONLY | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP},
    {IDC_BROWSE, "Button", 108, 23, 14, 13, "...", true, kChild | kPushLike},
    {IDC_HIRES, "Button", 15, 133, 82, 8, "High-res. (640x448)", false,
     kChild | BS_AUTORADIOBUTTON | WS_DISABLED | WS_GROUP},
    {IDC_LORES, "Button", 105, 133, 82, 8, "Low-res. (320x224)", false, kChild | BS_AUTORADIOBUTTON | WS_DISABLED},
    {IDC_VIEW, "Button", 14, 159, 50, 14, "View", false, kChild | kPushLike | WS_DISABLED},
    {IDC_EXTRACT, "Button", 67, 159, 50, 14, "Extract...", false, kChild | kPushLike | WS_DISABLED},
    {IDCANCEL, "Button", 139, 159, 50, 14, "Exit", true, kChild | kPushLike},
    {-1, "Static", 7, 192, 190, 1, "", true, kChild | SS_BLACKFRAME | SS_SUNKEN},
    {-1, "Static", 7, 197, 190, 25, NULL, false, kChild | SS_CENTER | WS_DISABLED | WS_GROUP},
    {-1, "Static", 7, 230, 190, 18, NULL, true, kChild | SS_CENTER | WS_GROUP},
    {IDC_CLIPLIST, "SysListView32", 13, 60, 178, 66, "List1", true,
     kChild | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP},
    {-1, "Static", 152, 7, 40, 8, " Version 1.1 ", false, kChild | SS_CENTER | WS_DISABLED | WS_GROUP},
    {IDC_DISC, "Static", 128, 23, 62, 13, "", true, kChild | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | WS_GROUP},
    {IDC_FULLSCREEN, "Button", 14, 177, 50, 8, "Fullscreen", true, kChild | BS_AUTOCHECKBOX | WS_TABSTOP},
};

class MainWindow : public wintest::WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        TestApp();
        m_key.SetDataDrive("C:\\Korvalon\\");
    }

    // Runs the window modally, calls inspect once it is up, then closes it.
    void WhileOpen(CViewerDlg& dlg, const std::function<void(HWND)>& inspect)
    {
        ModalWatch watch([&] {
            if (dlg.m_hWnd == NULL || !IsWindowVisible(dlg.m_hWnd))
                return true;
            inspect(dlg.m_hWnd);
            ::PostMessageA(dlg.m_hWnd, WM_COMMAND, IDCANCEL, 0);
            return false;
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_FALSE(watch.TimedOut());
    }

    GameRegistryKey m_key;
};

std::string ClassOf(HWND hWnd)
{
    char szClass[64] = "";
    GetClassNameA(hWnd, szClass, sizeof szClass);
    return szClass;
}

// A control's style in the template's terms. The system draws the border of an
// edit field or list as a sunken client edge, and gives the checked radio button
// of a group the tab stop.
DWORD StyleAsTemplated(HWND hWnd)
{
    DWORD dwStyle = static_cast<DWORD>(GetWindowLongA(hWnd, GWL_STYLE));
    if (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
        dwStyle |= WS_BORDER;
    if ((dwStyle & BS_TYPEMASK) == BS_AUTORADIOBUTTON && _stricmp(ClassOf(hWnd).c_str(), "Button") == 0
        && SendMessageA(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED)
        dwStyle &= ~WS_TABSTOP;
    return dwStyle;
}

TEST_F(MainWindow, EveryControlIsAsTheTemplateMakesIt)
{
    CViewerDlg dlg;
    WhileOpen(dlg, [](HWND hDlg) {
        std::vector<HWND> children;
        for (HWND h = GetWindow(hDlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            children.push_back(h);
        ASSERT_EQ(children.size(), std::size(kControls));
        for (size_t i = 0; i < children.size(); ++i) {
            const ExpectedControl& want = kControls[i];
            HWND h = children[i];
            SCOPED_TRACE("control #" + std::to_string(i + 1) + " " + (want.pszText ? want.pszText : ""));
            EXPECT_EQ(LOWORD(GetDlgCtrlID(h)), LOWORD(want.nId));
            EXPECT_STRCASEEQ(ClassOf(h).c_str(), want.pszClass);
            EXPECT_EQ(StyleAsTemplated(h), want.dwStyle) << std::hex << GetWindowLongA(h, GWL_STYLE);
            EXPECT_EQ(IsWindowEnabled(h) != FALSE, want.bEnabled);
            if (want.pszText) {
                EXPECT_EQ(WindowText(h), want.pszText);
            }

            // The dialog places each control at its mapped position with its mapped size.
            RECT origin = {want.x, want.y, want.cx, want.cy};
            MapDialogRect(hDlg, &origin);
            RECT actual;
            GetWindowRect(h, &actual);
            MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, origin.left);
            EXPECT_EQ(actual.top, origin.top);
            EXPECT_EQ(actual.right - actual.left, origin.right);
            EXPECT_EQ(actual.bottom - actual.top, origin.bottom);
        }
    });
}

TEST_F(MainWindow, TabVisitsTheEnabledTabStopsInTemplateOrder)
{
    CViewerDlg dlg;
    WhileOpen(dlg, [](HWND hDlg) {
        std::vector<int> order;
        HWND hFirst = GetNextDlgTabItem(hDlg, NULL, FALSE);
        HWND h = hFirst;
        do {
            order.push_back(GetDlgCtrlID(h));
            h = GetNextDlgTabItem(hDlg, h, FALSE);
        } while (h && h != hFirst && order.size() < 20);
        EXPECT_EQ(order, (std::vector<int>{IDC_ARCHIVE, IDC_BROWSE, IDCANCEL, IDC_CLIPLIST, IDC_FULLSCREEN}));
        EXPECT_EQ(GetFocus(), GetDlgItem(hDlg, IDC_ARCHIVE));
    });
}

TEST_F(MainWindow, OpensCentredWithCaptionIconAndNothingLoaded)
{
    CViewerDlg dlg;
    WhileOpen(dlg, [&dlg](HWND hDlg) {
        EXPECT_EQ(WindowText(hDlg), "Korvalon FMV viewer");
        EXPECT_TRUE(GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        DWORD dwStyle = GetWindowLongA(hDlg, GWL_STYLE);
        EXPECT_TRUE(dwStyle & WS_SYSMENU);
        EXPECT_FALSE(dwStyle & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

        RECT rc;
        GetWindowRect(hDlg, &rc);
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_NEAR((rc.left + rc.right) / 2, (work.left + work.right) / 2, 2);
        EXPECT_NEAR((rc.top + rc.bottom) / 2, (work.top + work.bottom) / 2, 2);

        ASSERT_NE(dlg.GetIcon(), nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0)), dlg.GetIcon());
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(hDlg, WM_QUERYDRAGICON, 0, 0)), dlg.GetIcon());

        EXPECT_EQ(IsDlgButtonChecked(hDlg, IDC_HIRES), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(hDlg, IDC_LORES), BST_UNCHECKED);
        EXPECT_EQ(IsDlgButtonChecked(hDlg, IDC_FULLSCREEN), BST_UNCHECKED);
        EXPECT_EQ(WindowText(GetDlgItem(hDlg, IDC_ARCHIVE)), "");
        EXPECT_EQ(WindowText(GetDlgItem(hDlg, IDC_DISC)), "");
        EXPECT_EQ(SendDlgItemMessageA(hDlg, IDC_CLIPLIST, LVM_GETITEMCOUNT, 0, 0), 0);
        EXPECT_STREQ(dlg.GetTempClip(), "");
        EXPECT_STREQ(dlg.GetInitialDir(), "C:\\Korvalon\\");
        EXPECT_EQ(dlg.GetClipList().m_hWnd, GetDlgItem(hDlg, IDC_CLIPLIST));

        SaveScreenshot(hDlg, "main-window");
    });
}

int CALLBACK NoteFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM lParam)
{
    *reinterpret_cast<bool*>(lParam) = true;
    return 0;
}

// Wine's own fonts in the prefix: the template's face is really found (a stand-in
// with wider letters wraps the version label and shows only "Version"), and the
// caption buttons' symbol font is there (without it the close box shows a letter).
TEST_F(MainWindow, DrawnInMsSansSerifWithTheVersionOnOneLine)
{
    CViewerDlg dlg;
    WhileOpen(dlg, [](HWND hDlg) {
        HDC hdc = GetDC(hDlg);
        HGDIOBJ hOld = SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageA(hDlg, WM_GETFONT, 0, 0)));
        char szFace[LF_FACESIZE] = "";
        GetTextFaceA(hdc, sizeof szFace, szFace);
        EXPECT_STREQ(szFace, "MS Sans Serif");

        HWND hVersion = NULL;
        for (HWND h = GetWindow(hDlg, GW_CHILD); h && !hVersion; h = GetWindow(h, GW_HWNDNEXT))
            if (WindowText(h) == " Version 1.1 ")
                hVersion = h;
        ASSERT_NE(hVersion, nullptr);
        const std::string text = WindowText(hVersion);
        SIZE extent = {};
        GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &extent);
        RECT rc;
        GetClientRect(hVersion, &rc);
        EXPECT_LE(extent.cx, rc.right) << "the label wraps";
        EXPECT_LE(extent.cy, rc.bottom);
        SelectObject(hdc, hOld);

        LOGFONTA lf = {};
        lf.lfCharSet = DEFAULT_CHARSET;
        strcpy(lf.lfFaceName, "Marlett");
        bool bMarlett = false;
        EnumFontFamiliesExA(hdc, &lf, NoteFamily, reinterpret_cast<LPARAM>(&bMarlett), 0);
        EXPECT_TRUE(bMarlett) << "the caption buttons' font";
        ReleaseDC(hDlg, hdc);
    });
}

TEST_F(MainWindow, ClipListHasFourColumnsAndSelectsWholeRows)
{
    CViewerDlg dlg;
    WhileOpen(dlg, [](HWND hDlg) {
        HWND hList = GetDlgItem(hDlg, IDC_CLIPLIST);
        struct {
            const char* pszHeading;
            int fmt;
            int cx;
        } const columns[] = {{"Clip", LVCFMT_LEFT, 110}, {"Length", LVCFMT_RIGHT, 45},
                             {"Hi-res", LVCFMT_RIGHT, 45}, {"Lo-res", LVCFMT_RIGHT, 45}};
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(columns[i].pszHeading);
            char szText[32] = "";
            LVCOLUMNA column = {};
            column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
            column.pszText = szText;
            column.cchTextMax = sizeof szText;
            ASSERT_TRUE(SendMessageA(hList, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
            EXPECT_STREQ(szText, columns[i].pszHeading);
            EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, columns[i].fmt);
            EXPECT_EQ(column.cx, columns[i].cx);
            EXPECT_EQ(column.iSubItem, i);
        }
        HWND hHeader = reinterpret_cast<HWND>(SendMessageA(hList, LVM_GETHEADER, 0, 0));
        EXPECT_EQ(SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0), 4);
        EXPECT_EQ(SendMessageA(hList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);
    });
}

TEST_F(MainWindow, EnterEndsTheWindowAsOkAfterReadingTheControls)
{
    CViewerDlg dlg;
    int nResult = 0;
    ModalWatch watch([&] {
        if (dlg.m_hWnd == NULL || !IsWindowVisible(dlg.m_hWnd))
            return true;
        CheckDlgButton(dlg.m_hWnd, IDC_FULLSCREEN, BST_CHECKED);
        HWND hFocus = GetFocus();
        PostMessageA(hFocus, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(hFocus, WM_KEYUP, VK_RETURN, 0xC0000001);
        return false;
    });
    nResult = dlg.DoModal();
    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(dlg.IsFullscreen());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

}  // namespace
