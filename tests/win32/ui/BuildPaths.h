#pragma once
// Paths of the build tree, as this Windows process opens them.
#include <string>

// The built zodovu.exe.
std::string ViewerProgramPath();
