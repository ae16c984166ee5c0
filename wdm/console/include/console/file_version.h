// The version text of a file, from its version block: "2.05" for 2.5.0.x,
// "2.05.3" for 2.5.3.x (the fourth field is never shown).
#pragma once

#include <string>

// `out` is empty when the file has no version block.
void GetFileVersionString(const char* fileName, std::string& out);
