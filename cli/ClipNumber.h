#pragma once
// Clip numbers on the command line are decimal, as the list shows them: leading
// zeros are allowed and still mean decimal ("010" is clip 10), and nothing else
// ("0x10", "+3", " 3", "1e2") is a number.
#include <string>

namespace CLI {
class Validator;
}

// True and number set when text is a decimal number from 1 to MAX_CLIPS.
bool ParseClipNumber(const std::string& text, int& number);

// For a NUMBER option, given with transform(): CLI11 itself reads "010" as octal
// and "0x10" as hexadecimal, so the text is checked and rewritten without its
// leading zeros first. (check() would throw the rewritten text away.)
CLI::Validator ClipNumberValidator();
