#pragma once
// Removes one temporary file when the program is ended by SIGINT, SIGTERM or
// SIGHUP, then ends it as the signal would have.
#include <string>

// Remembers path (empty: forget it). Installs the handlers on first use.
void RemoveOnInterrupt(const std::string& path);
