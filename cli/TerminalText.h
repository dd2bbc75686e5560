#pragma once
// Names as a terminal may show them: a name is bytes, and some bytes would
// move the cursor or start an escape sequence there.
#include <cstddef>
#include <string>

// The length of the well-formed UTF-8 sequence that starts text[i], or 0 when
// none does (no overlong forms, surrogates or code points past U+10FFFF).
size_t Utf8SequenceLength(const std::string& text, size_t i);

// text as a terminal may show it: control characters (C0, DEL and C1), and
// bytes that are not UTF-8 become \xHH, and a backslash \\.
std::string EscapedForTerminal(const std::string& text);
