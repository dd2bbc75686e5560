#include "ClipNumber.h"

#include "ClipTable.h"

bool ParseClipNumber(const std::string& text, int& number)
{
    if (text.empty())
        return false;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > static_cast<long>(MAX_CLIPS))
            return false;
    }
    if (value < 1)
        return false;
    number = static_cast<int>(value);
    return true;
}
