#include "DialogTemplate.h"

#include <stdexcept>

namespace {

// Walks the template's 16-bit words; every string in it is UTF-16, which the
// ASCII texts of our templates turn into narrow strings without loss.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* p) : m_pStart(p), m_p(p) {}

    template <typename T>
    T Read()
    {
        T value;
        memcpy(&value, m_p, sizeof value);
        m_p += sizeof value;
        return value;
    }

    std::string ReadString()
    {
        std::string text;
        for (WORD ch; (ch = Read<WORD>()) != 0;)
            text += static_cast<char>(ch);
        return text;
    }

    // An ordinal (0xFFFF then a number) or a string; ordinals of the predefined
    // control classes are named, others written as "#n".
    std::string ReadNameOrOrdinal()
    {
        WORD first;
        memcpy(&first, m_p, sizeof first);
        if (first != 0xFFFF)
            return ReadString();
        Read<WORD>();
        WORD ordinal = Read<WORD>();
        static const char* const kClasses[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
        if (ordinal >= 0x80 && ordinal <= 0x85)
            return kClasses[ordinal - 0x80];
        return "#" + std::to_string(ordinal);
    }

    void AlignToDword()
    {
        while ((m_p - m_pStart) % 4 != 0)
            ++m_p;
    }

    void Skip(size_t n) { m_p += n; }

private:
    const BYTE* m_pStart;
    const BYTE* m_p;
};

}  // namespace

DialogTemplate LoadDialogTemplate(HMODULE hModule, WORD wId)
{
    HRSRC hResource = FindResourceA(hModule, MAKEINTRESOURCEA(wId), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL hData = hResource ? LoadResource(hModule, hResource) : NULL;
    const BYTE* p = hData ? static_cast<const BYTE*>(LockResource(hData)) : NULL;
    if (p == NULL)
        throw std::runtime_error("no dialog template " + std::to_string(wId));

    TemplateReader in(p);
    DialogTemplate dlg;
    WORD nItems = 0;
    dlg.bExtended = in.Read<WORD>() == 1 && in.Read<WORD>() == 0xFFFF;
    if (dlg.bExtended) {
        in.Read<DWORD>();  // help id
        dlg.dwExStyle = in.Read<DWORD>();
        dlg.dwStyle = in.Read<DWORD>();
    } else {
        in = TemplateReader(p);
        dlg.dwStyle = in.Read<DWORD>();
        dlg.dwExStyle = in.Read<DWORD>();
    }
    nItems = in.Read<WORD>();
    dlg.x = in.Read<short>();
    dlg.y = in.Read<short>();
    dlg.cx = in.Read<short>();
    dlg.cy = in.Read<short>();
    dlg.strMenu = in.ReadNameOrOrdinal();
    dlg.strClass = in.ReadNameOrOrdinal();
    dlg.strCaption = in.ReadString();
    if (dlg.dwStyle & DS_SETFONT) {
        dlg.wPointSize = in.Read<WORD>();
        if (dlg.bExtended) {
            dlg.wWeight = in.Read<WORD>();
            dlg.bItalic = in.Read<BYTE>();
            dlg.bCharSet = in.Read<BYTE>();
        }
        dlg.strFace = in.ReadString();
    }

    for (WORD i = 0; i < nItems; ++i) {
        in.AlignToDword();
        DialogItemTemplate item;
        if (dlg.bExtended) {
            in.Read<DWORD>();  // help id
            item.dwExStyle = in.Read<DWORD>();
            item.dwStyle = in.Read<DWORD>();
        } else {
            item.dwStyle = in.Read<DWORD>();
            item.dwExStyle = in.Read<DWORD>();
        }
        item.x = in.Read<short>();
        item.y = in.Read<short>();
        item.cx = in.Read<short>();
        item.cy = in.Read<short>();
        item.wId = dlg.bExtended ? LOWORD(in.Read<DWORD>()) : in.Read<WORD>();
        item.strClass = in.ReadNameOrOrdinal();
        item.strText = in.ReadNameOrOrdinal();
        in.Skip(in.Read<WORD>());  // creation data
        dlg.items.push_back(item);
    }
    return dlg;
}
