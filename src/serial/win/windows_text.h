#pragma once

#include <string>
#include <string_view>

namespace ampelon {

// Texts cross the Windows API as UTF-16; the program keeps them as UTF-8.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// Windows' own description of an error code, for the user: "Access is denied", without the
// period and line break Windows ends it with.
std::string WindowsErrorText(unsigned long errorCode);

}  // namespace ampelon
