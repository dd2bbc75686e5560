#pragma once
#include <algorithm>
#include <string>

// text with ASCII's capitals made small, and nothing else changed: option
// values, and names as a file system that ignores case compares them.
inline std::string AsciiLower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return text;
}
