#pragma once
// The few facts of the platform that the file tests pick their cases by, told by
// the standard library rather than by the code under test.
#include <filesystem>

// '\' separates folders too, and "C:" begins a path.
constexpr bool WINDOWS_PATHS = std::filesystem::path::preferred_separator == '\\';
// A character device that takes any bytes, given by its name.
constexpr const char* NULL_DEVICE = WINDOWS_PATHS ? "NUL" : "/dev/null";
