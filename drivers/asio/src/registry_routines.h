// The registry routines of registration: each opens and closes its own keys
// with the ANSI registry calls. Key paths are relative to a root key.
#pragma once

#include <windows.h>

// 1 when the key opens, 0 when it does not, -1 for a missing path.
int RegistryKeyExists(HKEY root, const char* path);
// 0 when `name` exists below `parent` or was created there; -1 when the
// parent cannot be opened or the creation fails.
int RegistryCreateSubkey(HKEY root, const char* parent, const char* name);
// REG_SZ with the text's length and no terminator; `valueName` null is the
// default value. 0 or -1.
int RegistrySetString(HKEY root, const char* path, const char* valueName, const char* text);
// Reads the value only when it fits `size` bytes; 0 or -1.
int RegistryReadValue(HKEY root, const char* path, const char* valueName, void* buffer, DWORD size);
// Deletes `name` below `parent` with every key under it, bottom up. 0 when at
// least one key was found to delete, else -1.
int RegistryDeleteTree(HKEY root, const char* parent, const char* name);
