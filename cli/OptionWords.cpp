#include "cli/OptionWords.h"

#include "cli/AsciiLower.h"
#include "cli/HelpTexts.h"

#include <climits>

namespace {

// "NAME: rest" split at its first ": ".
bool SplitName(const std::string& message, std::string& name, std::string& rest)
{
    const size_t colon = message.find(": ");
    if (colon == std::string::npos)
        return false;
    name = message.substr(0, colon);
    rest = message.substr(colon + 2);
    return true;
}

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

std::string Quoted(const std::string& word)
{
    return "'" + word + "'";
}

} // namespace

bool ParseDecimal(const std::string& text, long long& value)
{
    const bool negative = !text.empty() && text[0] == '-';
    const size_t start = negative ? 1 : 0;
    if (text.size() == start)
        return false;
    unsigned long long magnitude = 0;
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        const unsigned long long most = static_cast<unsigned long long>(LLONG_MAX);
        magnitude = magnitude > (most - digit) / 10 ? most : magnitude * 10 + digit;   // stays at the end
    }
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return true;
}

CLI::Validator DecimalFrom(long long least, long long most)
{
    return CLI::Validator(
        [least, most](std::string& text) {
            long long value = 0;
            if (!ParseDecimal(text, value) || value < least || value > most)
                return "not a number from " + std::to_string(least) + " to " + std::to_string(most) + ": " +
                       Quoted(text);
            text = std::to_string(value);
            return std::string();
        },
        "N");
}

CLI::Validator AnyDecimal()
{
    return CLI::Validator(
        [](std::string& text) {
            long long value = 0;
            if (!ParseDecimal(text, value))
                return "not a decimal number: " + Quoted(text);
            // Past an int's range is as far out of every range as its end.
            text = std::to_string(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value)));
            return std::string();
        },
        "N");
}

CLI::Validator OneOf(const std::vector<std::string>& names, const std::string& what, bool ignoreCase)
{
    return CLI::Validator(
        [names, what, ignoreCase](std::string& text) {
            for (const std::string& name : names)
                if (text == name || (ignoreCase && AsciiLower(text) == AsciiLower(name))) {
                    text = name;
                    return std::string();
                }
            return "no " + what + " " + Quoted(text) + " (the " + what + "s are " + Listed(names, " and") + ")";
        },
        "");
}

std::string UsageWords(const CLI::ParseError& error, const std::vector<std::string>& extras)
{
    const std::string message = error.what();
    std::string name, rest;
    if (dynamic_cast<const CLI::ExtrasError*>(&error) && !extras.empty()) {
        const std::string& word = extras.front();
        long long number = 0;
        const bool option = word.size() > 1 && word[0] == '-' && !ParseDecimal(word, number);
        return (option ? "unknown option " : "unexpected argument ") + Quoted(word);
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) && SplitName(message, name, rest)) {
        if (StartsWith(rest, "At Most "))
            return name + ": given more than once";
        if (rest.size() > 8 && rest.compare(rest.size() - 8, 8, " missing") == 0)
            return name + ": needs a value";
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&error)) {
        const size_t excludes = message.find(" excludes ");
        if (excludes != std::string::npos)
            return message.substr(0, excludes) + " and " + message.substr(excludes + 10) +
                   " cannot be given together";
    }
    if (dynamic_cast<const CLI::RequiresError*>(&error)) {
        const size_t requires_ = message.find(" requires ");
        if (requires_ != std::string::npos)
            return message.substr(0, requires_) + ": needs " + message.substr(requires_ + 10);
    }
    if (dynamic_cast<const CLI::ConversionError*>(&error)) {
        // A flag given a value: "Could not convert: --json = maybe", "--json: Should be true/false or a number".
        const std::string prefix = "Could not convert: ";
        const size_t equals = message.find(" = ");
        if (StartsWith(message, prefix) && equals != std::string::npos)
            return message.substr(prefix.size(), equals - prefix.size()) + ": takes no value, or true or false, not " +
                   Quoted(message.substr(equals + 3));
        if (SplitName(message, name, rest))
            return name + ": takes no value, or true or false";
    }
    if (message == "A subcommand is required")
        return "a subcommand is required";
    // Our own words (a validator's, a check of the whole line's), or any other
    // in lower case, as every reason of the tool's begins.
    std::string words = message;
    if (!words.empty() && words[0] >= 'A' && words[0] <= 'Z' && (words.size() < 2 || words[1] < 'A' || words[1] > 'Z'))
        words[0] = static_cast<char>(words[0] - 'A' + 'a');
    return words;
}
