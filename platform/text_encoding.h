// Conversion between the program's UTF-8 text and the Windows-1251 bytes of
// the wire and of the INI file. These are the only two places where
// Windows-1251 exists.
#pragma once

#include <string>
#include <string_view>

namespace zervik {

// UTF-8 text to Windows-1251 bytes. A character that Windows-1251 cannot
// hold becomes "?"; invalid UTF-8 bytes become "?" as well.
std::string Utf8ToCp1251(std::string_view utf8);
// Windows-1251 bytes to UTF-8 text. The one unassigned byte (0x98) becomes
// U+FFFD.
std::string Cp1251ToUtf8(std::string_view bytes);

}  // namespace zervik
