#include "BareLoop.h"

#include "ViewerProcess.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace bench {

namespace {

// A window of the progress window's size (186 x 46 dialog units at 8-point MS Sans
// Serif) with a bar of the same size in it.
class BareWindow {
public:
    explicit BareWindow(uint32_t upper)
    {
        static const bool bRegistered = [] {
            INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
            ::InitCommonControlsEx(&icc);
            WNDCLASSA wc = {};
            wc.lpfnWndProc = ::DefWindowProcA;
            wc.hInstance = ::GetModuleHandleA(NULL);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = "BareLoopWindow";
            return ::RegisterClassA(&wc) != 0;
        }();
        if (!bRegistered)
            throw std::runtime_error("cannot register the bare loop's window class");
        m_hWnd = ::CreateWindowExA(WS_EX_DLGMODALFRAME, "BareLoopWindow", "", WS_POPUP | WS_DLGFRAME | WS_VISIBLE,
                                   372, 346, 281, 81, NULL, NULL, ::GetModuleHandleA(NULL), NULL);
        m_hBar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 42, 258, 21,
                                   m_hWnd, NULL, ::GetModuleHandleA(NULL), NULL);
        if (m_hWnd == NULL || m_hBar == NULL)
            throw std::runtime_error("cannot create the bare loop's window");
        ::SendMessageA(m_hBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(upper));
    }
    ~BareWindow() { ::DestroyWindow(m_hWnd); }

    void Report(uint32_t position)
    {
        MSG msg;
        while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::SendMessageA(m_hBar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }

private:
    HWND m_hWnd = NULL;
    HWND m_hBar = NULL;
};

struct CloseHandleDeleter {
    void operator()(void* h) const { ::CloseHandle(h); }
};
using Handle = std::unique_ptr<void, CloseHandleDeleter>;

Handle OpenFile(const std::string& path, DWORD access, DWORD creation)
{
    // Shared as the program shares them: the archive with anyone, the output with no one.
    const DWORD share = access == GENERIC_WRITE ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE h = ::CreateFileA(path.c_str(), access, share, NULL, creation, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + path);
    return Handle(h);
}

} // namespace

double BareCopy(const std::string& source, uint32_t offset, uint32_t size, const std::string& target)
{
    const double dStart = Now();
    {
        BareWindow window(size);
        Handle in = OpenFile(source, GENERIC_READ, OPEN_EXISTING);
        Handle out = OpenFile(target, GENERIC_WRITE, CREATE_ALWAYS);
        ::SetFilePointer(in.get(), static_cast<LONG>(offset), NULL, FILE_BEGIN);
        std::unique_ptr<char, decltype(&std::free)> block(static_cast<char*>(std::malloc(1 << 20)), &std::free);
        for (uint32_t copied = 0; copied < size;) {
            const DWORD wanted = size - copied < (1u << 20) ? size - copied : (1u << 20);
            DWORD got = 0, put = 0;
            if (!::ReadFile(in.get(), block.get(), wanted, &got, NULL) || got != wanted ||
                !::WriteFile(out.get(), block.get(), got, &put, NULL) || put != got)
                throw std::runtime_error("the bare copy failed");
            copied += got;
            window.Report(copied);
        }
    }
    return Now() - dStart;
}

double BareScan(const std::string& archive, const std::vector<BareClip>& clips)
{
    const double dStart = Now();
    {
        BareWindow window(clips.empty() ? 0 : clips.back().end);
        Handle in = OpenFile(archive, GENERIC_READ, OPEN_EXISTING);
        for (const BareClip& clip : clips) {
            // The scanner's share of file calls: about a dozen small seeks and reads a clip.
            for (uint32_t header : {clip.hiOffset, clip.loOffset}) {
                for (uint32_t field = 0; field < 12; field += 4) {
                    char bytes[4];
                    DWORD got = 0;
                    ::SetFilePointer(in.get(), static_cast<LONG>(header + field), NULL, FILE_BEGIN);
                    if (!::ReadFile(in.get(), bytes, sizeof bytes, &got, NULL) || got != sizeof bytes)
                        throw std::runtime_error("the bare scan failed");
                }
            }
            window.Report(clip.end);
        }
    }
    return Now() - dStart;
}

} // namespace bench
