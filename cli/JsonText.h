#pragma once
// The JSON documents of list and verify.
#include "catalogue/ArchiveScanner.h"

#include <nlohmann/json.hpp>

#include <string>

using Json = nlohmann::ordered_json;

// Raised when a key changes meaning or goes away, so that scripts can tell.
constexpr int JSON_FORMAT = 1;

// The document indented, with a line end. File names need not be UTF-8: bytes
// that are not valid UTF-8 become U+FFFD, the replacement character.
inline std::string JsonDocument(const Json& document)
{
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

// Where and why the scan refused an archive (or, after a salvage, where its damage begins).
inline Json RejectionJson(const ScanRejection& rejection)
{
    return {{"clip", rejection.clip}, {"offset", rejection.offset}, {"text", rejection.text}};
}
