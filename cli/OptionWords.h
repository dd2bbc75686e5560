#pragma once
// The values of zodovu-cli's options checked in its own words, and CLI11's
// own refusals (a missing value, an unknown option, two options that exclude
// each other) said again in them: no text the user reads is the parser's.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

// A decimal number: digits with at most a leading '-', leading zeros meaning
// nothing ("010" is ten; "0x10", "+3", " 3", "1e2" are no numbers). One past
// the range of long long is taken as its end, which no option's range reaches.
bool ParseDecimal(const std::string& text, long long& value);

// Decimal numbers from least to most, given to CLI11 without leading zeros, so
// that it never reads "010" as octal.
CLI::Validator DecimalFrom(long long least, long long most);
// Any decimal number, whose range the whole line decides (--crf, by the format).
CLI::Validator AnyDecimal();
// One of names, compared in ASCII's lower case when ignoreCase, and given to
// CLI11 as the table spells it; what names them: "format" ("no format 'avi'
// (the formats are mp4 and webm)").
CLI::Validator OneOf(const std::vector<std::string>& names, const std::string& what, bool ignoreCase);

// A refusal of CLI11's, in the tool's words; extras are the words it did not
// expect, for an ExtrasError.
std::string UsageWords(const CLI::ParseError& error, const std::vector<std::string>& extras);
