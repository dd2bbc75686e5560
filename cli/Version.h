#pragma once
// "zodovu-cli 1.1": the project's version, set once in the top-level CMakeLists.txt.
extern const char VERSION_TEXT[];
