#pragma once

// The text of a settings file as it may be saved on Windows: UTF-16 with a
// byte-order mark ("Unicode" in Notepad) becomes the UTF-8 the reader parses.

#include <string>

// True when bytes start with a UTF-16 byte-order mark: FF FE (little-endian)
// or FE FF (big-endian).
bool HasUtf16Mark(const std::string& bytes);

// Decodes bytes that start with a UTF-16 byte-order mark into UTF-8, the mark
// left out. False, with utf8 empty, for an odd number of bytes or a surrogate
// without its pair.
bool Utf16ToUtf8(const std::string& bytes, std::string& utf8);
