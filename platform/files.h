#pragma once

// Files by UTF-8 paths on every system: Windows is given wide-character
// paths, so a folder may hold any character. One file per platform.

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// The folder of a loaded module, with its trailing separator: on Windows from
// the module's handle, elsewhere from an address inside it. "" when unknown.
std::string ModuleFolder(void* module_handle, const void* address_in_module);

// The folder of the running program, with its trailing separator, or "".
std::string ProgramFolder();

// TooLarge: the file holds more than max_bytes.
enum class FileRead { Read, Missing, Failed, TooLarge };

// Opens a file with fopen's mode (text mode writes CRLF on Windows), or null;
// then missing, if given, says whether there is no such file.
std::FILE* OpenFile(const std::string& path, const char* mode, bool* missing = nullptr);

// Reads a whole file of at most max_bytes into text. Whatever else it
// returns, text is left empty: a file is used whole or not at all.
FileRead ReadFileText(const std::string& path, std::size_t max_bytes, std::string& text);

// Renames from to to, replacing to. False when it could not.
bool RenameReplacing(const std::string& from, const std::string& to);

// Removes a file. True when none of that name is left, also when there was none.
bool RemoveFileIfPresent(const std::string& path);
