// Where the program finds the drawings it ships: the source tree's data/ folder when it is
// there, otherwise <prefix>/share/kestrel next to an installed program's <prefix>/bin.
#pragma once

#include <filesystem>

// The path of the shipped file name; empty when neither folder holds it.
std::filesystem::path shippedDataFile(const char* name);
