#include "Screenshot.h"

#include <cstdio>
#include <vector>

namespace wintest {

namespace {

// The build names a host folder; Wine shows the host's root as drive Z:.
std::string ScreenshotFolder()
{
    std::string folder = ZODOVU_SCREENSHOT_DIR;
    if (!folder.empty() && folder[0] == '/')
        folder = "Z:" + folder;
    for (char& ch : folder) {
        if (ch == '/')
            ch = '\\';
    }
    ::CreateDirectoryA(folder.c_str(), NULL);
    return folder + "\\";
}

// Repaints the window and gives the X server time to show what was drawn.
void Settle(HWND hWnd)
{
    ::RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int i = 0; i < 10; ++i) {
        MSG msg;
        while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(30);
    }
}

bool WriteBitmap(const std::string& path, int cx, int cy, const std::vector<BYTE>& pixels)
{
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = cx;
    info.biHeight = cy;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;

    FILE* pFile = std::fopen(path.c_str(), "wb");
    if (pFile == nullptr)
        return false;
    bool bOk = std::fwrite(&file, sizeof(file), 1, pFile) == 1 && std::fwrite(&info, sizeof(info), 1, pFile) == 1 &&
               std::fwrite(pixels.data(), 1, pixels.size(), pFile) == pixels.size();
    bOk = std::fclose(pFile) == 0 && bOk;
    return bOk;
}

} // namespace

std::string SaveScreenshot(HWND hWnd, const std::string& name)
{
    Settle(hWnd);
    RECT rc;
    if (!::GetWindowRect(hWnd, &rc))
        return std::string();
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0)
        return std::string();

    HDC hScreen = ::GetDC(NULL);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, cx, cy);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    ::BitBlt(hMem, 0, 0, cx, cy, hScreen, rc.left, rc.top, SRCCOPY);
    ::SelectObject(hMem, hOld);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int nStride = (cx * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(nStride) * cy);
    const int nLines = ::GetDIBits(hMem, hBitmap, 0, cy, pixels.data(), &info, DIB_RGB_COLORS);

    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
    ::ReleaseDC(NULL, hScreen);
    if (nLines != cy)
        return std::string();

    const std::string path = ScreenshotFolder() + name + ".bmp";
    return WriteBitmap(path, cx, cy, pixels) ? path : std::string();
}

} // namespace wintest
