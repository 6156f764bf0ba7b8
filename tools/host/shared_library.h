#pragma once

// Opening a shared library and finding symbols in it: dlopen on POSIX,
// LoadLibrary on Windows.

#include <string>

// Returns an opaque handle, or null with a readable reason in error.
void* OpenSharedLibrary(const std::string& path, std::string& error);
void* FindSymbol(void* library, const char* name);
void CloseSharedLibrary(void* library);
