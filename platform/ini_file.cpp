#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/text_encoding.h"

namespace zervik {
namespace {

// The file's lines as they are on disk (Windows-1251), each with the line
// end it had, so that lines the write does not touch are put back byte for
// byte.
struct TLine {
  std::string text;
  std::string end;  // "\r\n", "\n" or "" for a last line without one
};

enum TLineKind { lkSection, lkKey, lkOther };

struct TParsedLine {
  TLineKind kind = lkOther;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed
};

constexpr std::string_view kBlanks = " \t";
// Line end of a file written from scratch: the profile format's own.
constexpr std::string_view kDefaultLineEnd = "\r\n";

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

TParsedLine ParseLine(std::string_view text) {
  const std::string_view line = Trim(text);
  if (line.empty() || line.front() == ';') return {};
  if (line.front() == '[') {
    const auto close = line.rfind(']');
    if (close != std::string_view::npos) return {lkSection, Trim(line.substr(1, close - 1)), {}};
  }
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return {};
  const std::string_view name = Trim(line.substr(0, eq));
  if (name.empty()) return {};
  return {lkKey, name, Trim(line.substr(eq + 1))};
}

// Case folding of Windows-1251 letters: ASCII, the Russian alphabet and the
// other Cyrillic pairs of the code page (small letter, capital letter):
// ё ђ ѓ љ њ ќ ћ џ ў ј ґ є ї і ѕ.
constexpr unsigned char kCyrillicPairs[][2] = {
    {0xB8, 0xA8}, {0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A}, {0x9C, 0x8C},
    {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F}, {0xA2, 0xA1}, {0xBC, 0xA3},
    {0xB4, 0xA5}, {0xBA, 0xAA}, {0xBF, 0xAF}, {0xB3, 0xB2}, {0xBE, 0xBD}};

unsigned char FoldCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  if (c >= 0xE0) return static_cast<unsigned char>(c - 0x20);  // а..я
  for (const auto& pair : kCyrillicPairs)
    if (c == pair[0]) return pair[1];
  return c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// A name or value with a line break in it would become two lines, the
// second of which could pose as a key or a section of its own.
std::string SingleLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

std::vector<TLine> SplitLines(const std::string& bytes) {
  std::vector<TLine> lines;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const auto nl = bytes.find('\n', pos);
    if (nl == std::string::npos) {
      lines.push_back({bytes.substr(pos), ""});
      break;
    }
    if (nl > pos && bytes[nl - 1] == '\r')
      lines.push_back({bytes.substr(pos, nl - 1 - pos), "\r\n"});
    else
      lines.push_back({bytes.substr(pos, nl - pos), "\n"});
    pos = nl + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<TLine>& lines) {
  std::string out;
  for (const auto& line : lines) out += line.text + line.end;
  return out;
}

// What a write needs to know about where a key is, or would go.
struct TLocation {
  std::optional<std::size_t> section;  // the section's header line
  std::optional<std::size_t> key;      // the key's line
  std::size_t insertAfter = 0;         // last non-blank line of the section
};

TLocation Locate(const std::vector<TLine>& lines, std::string_view section, std::string_view key) {
  TLocation where;
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const TParsedLine parsed = ParseLine(lines[i].text);
    if (parsed.kind == lkSection) {
      if (inSection) break;  // end of the first section of that name
      if (SameName(parsed.name, section)) {
        inSection = true;
        where.section = i;
        where.insertAfter = i;
      }
      continue;
    }
    if (!inSection) continue;
    if (!Trim(lines[i].text).empty()) where.insertAfter = i;
    if (parsed.kind == lkKey && SameName(parsed.name, key)) {
      where.key = i;
      break;
    }
  }
  return where;
}

struct TFileContents {
  bool exists = false;
  bool readable = false;
  std::string bytes;
};

TFileContents Load(const std::string& fileName) {
  TFileContents contents;
  struct stat info {};
  if (stat(fileName.c_str(), &info) != 0) return contents;
  contents.exists = true;
  if (!S_ISREG(info.st_mode)) return contents;
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return contents;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return contents;
  contents.readable = true;
  contents.bytes = std::move(buffer).str();
  return contents;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Writes `bytes` to a new file beside `fileName` and renames it over
// `fileName`. The temporary file never outlives a failure.
bool ReplaceFile(const std::string& fileName, const std::string& bytes) {
  static std::uint64_t counter = 0;
  std::string tempName;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    tempName = fileName + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    fd = open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = WriteAll(fd, bytes);
  // Keep the permissions of the file being replaced.
  struct stat info {};
  if (ok && stat(fileName.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    fchmod(fd, info.st_mode & 07777);
  // On disk before the rename, or a crash could leave an empty file in its
  // place.
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok) ok = rename(tempName.c_str(), fileName.c_str()) == 0;
  if (!ok) unlink(tempName.c_str());
  return ok;
}

std::optional<int> ParseDecimal(std::string_view text) {
  // from_chars takes a minus sign but not a plus sign; the profile takes
  // either, once.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  if (text.empty() || text.front() == '+') return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<int> ParseHex(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

TIniWriteResult TIniWriteResult::Failure(const std::string& fileName) {
  return {false, "Unable to write to " + fileName};
}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  const TFileContents contents = Load(fileName_);
  if (!contents.readable) return std::string(defaultValue);
  const std::vector<TLine> lines = SplitLines(contents.bytes);
  const TLocation where =
      Locate(lines, Utf8ToCp1251(SingleLine(section)), Utf8ToCp1251(SingleLine(key)));
  if (!where.key) return std::string(defaultValue);
  std::string_view value = ParseLine(lines[*where.key].text).value;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  if (value.size() > kMaxValueLength) value = value.substr(0, kMaxValueLength);
  return Cp1251ToUtf8(value);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  return ParseProfileInteger(ReadString(section, key, ""), defaultValue);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

TIniWriteResult TIniFile::WriteString(std::string_view section, std::string_view key,
                                      std::string_view value) {
  const std::string sectionBytes = Utf8ToCp1251(SingleLine(Trim(section)));
  const std::string keyBytes = Utf8ToCp1251(SingleLine(Trim(key)));
  const std::string valueBytes = Utf8ToCp1251(SingleLine(value));
  if (sectionBytes.empty() || keyBytes.empty()) return TIniWriteResult::Failure(fileName_);

  const TFileContents contents = Load(fileName_);
  // A file that is there but cannot be read must not be replaced by one that
  // holds nothing but this key.
  if (contents.exists && !contents.readable) return TIniWriteResult::Failure(fileName_);
  std::vector<TLine> lines = SplitLines(contents.bytes);

  std::string lineEnd(kDefaultLineEnd);
  for (const auto& line : lines)
    if (!line.end.empty()) {
      lineEnd = line.end;
      break;
    }
  auto endLine = [&](std::size_t index) {
    if (lines[index].end.empty()) lines[index].end = lineEnd;
  };

  const TLocation where = Locate(lines, sectionBytes, keyBytes);
  if (where.key) {
    // The key keeps the spelling it has in the file.
    TLine& line = lines[*where.key];
    line.text = std::string(ParseLine(line.text).name) + "=" + valueBytes;
  } else if (where.section) {
    endLine(where.insertAfter);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(where.insertAfter) + 1,
                 TLine{keyBytes + "=" + valueBytes, lineEnd});
  } else {
    if (!lines.empty()) {
      endLine(lines.size() - 1);
      if (!Trim(lines.back().text).empty()) lines.push_back({"", lineEnd});
    }
    lines.push_back({"[" + sectionBytes + "]", lineEnd});
    lines.push_back({keyBytes + "=" + valueBytes, lineEnd});
  }

  if (!ReplaceFile(fileName_, JoinLines(lines))) return TIniWriteResult::Failure(fileName_);
  return TIniWriteResult::Success();
}

TIniWriteResult TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

TIniWriteResult TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

int ParseProfileInteger(std::string_view text, int defaultValue) {
  std::optional<int> value;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    value = ParseHex(text.substr(2));
  else
    value = ParseDecimal(text);
  return value.value_or(defaultValue);
}

std::string IniPathForExecutable(const std::string& exePath) {
  const auto slash = exePath.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const auto dot = exePath.rfind('.');
  // A dot that opens the name (".zervik") is part of the name, not an
  // extension.
  if (dot == std::string::npos || dot <= nameStart) return exePath + ".INI";
  return exePath.substr(0, dot) + ".INI";
}

}  // namespace zervik
