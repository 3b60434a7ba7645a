// Single characters of the ANSI code page (Windows-1252), for the locale
// services that work a character at a time (collation, case mapping).
#pragma once

#include <cstdint>

namespace platform {

// The UTF-16 unit of a Windows-1252 byte. The five bytes the code page leaves
// undefined (81 8D 8F 90 9D) stand for the control characters of the same
// value, as the system's conversion does.
char16_t ansiCharToWide(uint8_t byte);

// The Windows-1252 byte of a code point, or -1 when it has no place there.
int wideCharToAnsi(char32_t codePoint);

}  // namespace platform
