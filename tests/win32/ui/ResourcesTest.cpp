// The resources built into zodovu.exe: both dialog templates (the progress
// window's control by control), the icon's images and the version block.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BuildPaths.h"
#include "DialogTemplate.h"
#include "ui/res/resource.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

struct ExpectedItem {
    WORD wId;
    const char* pszClass;
    short x, y, cx, cy;
    const char* pszText;
    DWORD dwStyle;
    DWORD dwExStyle;
};

const ExpectedItem kProgressItems[] = {
    {IDC_PROGRESS, "msctls_progress32", 7, 26, 172, 13, "Progress1", kChild | WS_BORDER, 0},
    {IDC_STATUS, "Static", 7, 7, 172, 8, "Scanning %s...", kChild | SS_CENTER | WS_GROUP, 0},
};

class ViewerResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hModule = LoadLibraryExA(ViewerProgramPath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_hModule, nullptr) << ViewerProgramPath();
    }
    void TearDown() override
    {
        if (m_hModule)
            FreeLibrary(m_hModule);
    }

    template <size_t N>
    void ExpectItems(const DialogTemplate& dlg, const ExpectedItem (&expected)[N])
    {
        ASSERT_EQ(dlg.items.size(), N);
        for (size_t i = 0; i < N; ++i) {
            const DialogItemTemplate& item = dlg.items[i];
            const ExpectedItem& want = expected[i];
            SCOPED_TRACE("control #" + std::to_string(i + 1));
            EXPECT_EQ(item.wId, want.wId);
            EXPECT_STRCASEEQ(item.strClass.c_str(), want.pszClass);
            EXPECT_EQ(item.x, want.x);
            EXPECT_EQ(item.y, want.y);
            EXPECT_EQ(item.cx, want.cx);
            EXPECT_EQ(item.cy, want.cy);
            EXPECT_EQ(item.strText, want.pszText);
            EXPECT_EQ(item.dwStyle, want.dwStyle) << std::hex << item.dwStyle;
            EXPECT_EQ(item.dwExStyle, want.dwExStyle);
        }
    }

    HMODULE m_hModule = NULL;
};

// The main window's controls are checked as created, in the main window's tests.
TEST_F(ViewerResources, MainTemplateIsExtendedWithItsCaptionAndFont)
{
    DialogTemplate dlg = LoadDialogTemplate(m_hModule, IDD_MAIN);
    EXPECT_TRUE(dlg.bExtended);
    EXPECT_EQ(dlg.dwStyle, DWORD(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(dlg.dwExStyle, DWORD(WS_EX_APPWINDOW));
    EXPECT_EQ(dlg.x, 0);
    EXPECT_EQ(dlg.y, 0);
    EXPECT_EQ(dlg.cx, 204);
    EXPECT_EQ(dlg.cy, 255);
    EXPECT_EQ(dlg.strMenu, "");
    EXPECT_EQ(dlg.strClass, "");
    EXPECT_EQ(dlg.strCaption, "Korvalon FMV viewer");
    EXPECT_EQ(dlg.wPointSize, 8);
    EXPECT_EQ(dlg.strFace, "MS Sans Serif");
    EXPECT_EQ(dlg.wWeight, FW_DONTCARE);
    EXPECT_EQ(dlg.bItalic, 0);
    EXPECT_EQ(dlg.bCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(dlg.items.size(), 16u);
}

TEST_F(ViewerResources, NoticeHasThreeLinesAndCreditTwo)
{
    DialogTemplate dlg = LoadDialogTemplate(m_hModule, IDD_MAIN);
    ASSERT_EQ(dlg.items.size(), 16u);
    auto lines = [](const std::string& text) { return 1 + std::count(text.begin(), text.end(), '\n'); };
    EXPECT_EQ(lines(dlg.items[10].strText), 3);
    EXPECT_EQ(lines(dlg.items[11].strText), 2);
}

TEST_F(ViewerResources, ProgressTemplateIsPlainWithoutTitleBarOrButton)
{
    DialogTemplate dlg = LoadDialogTemplate(m_hModule, IDD_PROGRESS);
    EXPECT_FALSE(dlg.bExtended);
    EXPECT_EQ(dlg.dwStyle, DWORD(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE));
    EXPECT_EQ(dlg.dwExStyle, 0u);
    EXPECT_EQ(dlg.x, 0);
    EXPECT_EQ(dlg.y, 0);
    EXPECT_EQ(dlg.cx, 186);
    EXPECT_EQ(dlg.cy, 46);
    EXPECT_EQ(dlg.strCaption, "");
    EXPECT_EQ(dlg.wPointSize, 8);
    EXPECT_EQ(dlg.strFace, "MS Sans Serif");
    ExpectItems(dlg, kProgressItems);
}

TEST_F(ViewerResources, IconHasA32And16PixelImageOf16Colours)
{
    HRSRC hGroup = FindResourceA(m_hModule, MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14));
    ASSERT_NE(hGroup, nullptr);
    const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(m_hModule, hGroup)));
    ASSERT_NE(p, nullptr);
    WORD header[3];
    memcpy(header, p, sizeof header);
    EXPECT_EQ(header[1], 1);  // icons, not cursors
    ASSERT_EQ(header[2], 2);
    // Each 14-byte entry: width, height, colours, reserved, planes, bits, size, id.
    const int sizes[] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        const BYTE* entry = p + 6 + 14 * i;
        WORD wBitCount;
        memcpy(&wBitCount, entry + 6, sizeof wBitCount);
        EXPECT_EQ(entry[0], sizes[i]);
        EXPECT_EQ(entry[1], sizes[i]);
        EXPECT_EQ(entry[2], 16);
        EXPECT_EQ(wBitCount, 4);
    }
}

TEST_F(ViewerResources, VersionBlockSaysOnePointOneInUsEnglishUnicode)
{
    std::string path = ViewerProgramPath();
    DWORD dwHandle = 0;
    DWORD cb = GetFileVersionInfoSizeA(path.c_str(), &dwHandle);
    ASSERT_GT(cb, 0u);
    std::vector<BYTE> block(cb);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, cb, block.data()));

    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT uLen = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&pFixed), &uLen));
    EXPECT_EQ(pFixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(pFixed->dwFileVersionLS, 0u);
    EXPECT_EQ(pFixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(pFixed->dwProductVersionLS, 0u);
    EXPECT_EQ(pFixed->dwFileFlags & pFixed->dwFileFlagsMask, 0u);
    EXPECT_EQ(pFixed->dwFileOS, DWORD(VOS__WINDOWS32));
    EXPECT_EQ(pFixed->dwFileType, DWORD(VFT_APP));

    WORD* pTranslation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&pTranslation), &uLen));
    ASSERT_EQ(uLen, 4u);
    EXPECT_EQ(pTranslation[0], 0x0409);
    EXPECT_EQ(pTranslation[1], 1200);

    auto text = [&](const char* name) {
        char* pValue = nullptr;
        std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
        if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&pValue), &uLen))
            return std::string("(missing)");
        return std::string(pValue);
    };
    EXPECT_EQ(text("FileVersion"), "1.1");
    EXPECT_EQ(text("ProductVersion"), "1.1");
    EXPECT_EQ(text("ProductName"), "Korvalon FMV viewer");
}

}  // namespace
