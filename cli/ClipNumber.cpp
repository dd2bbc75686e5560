#include "ClipNumber.h"

#include "ClipTable.h"

#include <CLI/CLI.hpp>

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

CLI::Validator ClipNumberValidator()
{
    return CLI::Validator(
        [](std::string& text) {
            int number = 0;
            if (!ParseClipNumber(text, number))
                return "not a clip number from 1 to " + std::to_string(MAX_CLIPS) + ": " + text;
            text = std::to_string(number);
            return std::string();
        },
        "NUMBER");
}
