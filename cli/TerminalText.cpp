#include "cli/TerminalText.h"

#include <cstdio>

size_t Utf8SequenceLength(const std::string& text, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xC2 && lead <= 0xDF ? 2
                                                         : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    if ((lead == 0xE0 && byte(i + 1) < 0xA0) || (lead == 0xED && byte(i + 1) >= 0xA0) ||
        (lead == 0xF0 && byte(i + 1) < 0x90) || (lead == 0xF4 && byte(i + 1) >= 0x90))
        return 0;
    return length;
}

std::string EscapedForTerminal(const std::string& text)
{
    std::string shown;
    for (size_t i = 0; i < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        size_t length = byte >= 0x80 ? Utf8SequenceLength(text, i) : 1;
        // U+0080 to U+009F, the C1 controls: CSI (U+009B) starts an escape sequence too.
        const bool c1Control = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (byte == '\\') {
            shown += "\\\\";
        } else if (length == 0 || byte < 0x20 || byte == 0x7F || c1Control) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            shown += code;
            length = 1;
        } else {
            shown.append(text, i, length);
        }
        i += length;
    }
    return shown;
}
