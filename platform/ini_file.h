// The configuration file in the Windows profile format, read and written key
// by key as the Windows profile functions do it:
//  - `[Section]` lines and `Key=Value` lines; section and key names compare
//    without regard to case (ASCII and Cyrillic letters); the first section
//    and the first key of a name win;
//  - names and values are trimmed of blanks, and a value enclosed in a pair
//    of single or double quotes loses the quotes;
//  - a missing file or key gives the caller's default; text is read up to
//    kMaxValueLength characters;
//  - integers are written in decimal; read, a value of more than two
//    characters beginning "0x"/"0X" is hexadecimal, anything that is not an
//    integer gives the default; booleans are integers (not 0 is true);
//  - a write changes one line (or adds one key, or one section with its key)
//    and leaves every other byte of the file as it was.
// The file holds Windows-1251 so that files written by earlier versions keep
// working; the interface takes and gives UTF-8.
//
// Every read looks at the file afresh and every write replaces it whole:
// the new contents go to a temporary file beside it, which is then renamed
// over it, so a crash leaves either the old file or the new one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zervik {

// Outcome of a profile write. A failed write carries the text the shell
// shows in its error box.
struct TIniWriteResult {
  bool ok = true;
  std::string errorText;  // "Unable to write to <file>" when !ok

  explicit operator bool() const { return ok; }
  static TIniWriteResult Success() { return {}; }
  static TIniWriteResult Failure(const std::string& fileName);
};

class TIniFile {
 public:
  // Longest text value a read returns, as with a 2048-byte profile buffer.
  static constexpr std::size_t kMaxValueLength = 2047;

  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  [[nodiscard]] TIniWriteResult WriteString(std::string_view section, std::string_view key,
                                            std::string_view value);
  [[nodiscard]] TIniWriteResult WriteInteger(std::string_view section, std::string_view key,
                                             int value);
  [[nodiscard]] TIniWriteResult WriteBool(std::string_view section, std::string_view key,
                                          bool value);

 private:
  std::string fileName_;
};

// Reads a profile integer: decimal with an optional sign, or "0x"/"0X"
// followed by hexadecimal digits when the text is longer than two
// characters (up to eight digits; the 32 bits are taken as a signed value,
// so "0xFFFFFFFF" is -1). Anything else, or a decimal out of the int range,
// gives `defaultValue`.
int ParseProfileInteger(std::string_view text, int defaultValue);

// The configuration file's name: the executable's path with its extension
// replaced by ".INI" (".../zervik" gives ".../zervik.INI").
std::string IniPathForExecutable(const std::string& exePath);

}  // namespace zervik
