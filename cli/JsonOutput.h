#pragma once
// The JSON documents of list and verify.
#include <nlohmann/json.hpp>

// Raised when a key changes meaning or goes away, so that scripts can tell.
constexpr int JSON_FORMAT = 1;

// Prints the document indented on stdout. File names need not be UTF-8: bytes
// that are not valid UTF-8 become U+FFFD, the replacement character.
void PrintJsonDocument(const nlohmann::ordered_json& document);
