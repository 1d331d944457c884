#include "platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace zervik {
namespace {

// One iconv descriptor per direction, opened on first use. The program runs
// on one thread, so sharing them is safe.
class TConverter {
 public:
  TConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~TConverter() { iconv_close(cd_); }
  TConverter(const TConverter&) = delete;  // owns the descriptor
  TConverter& operator=(const TConverter&) = delete;

  // Converts `in`; an input sequence that cannot be converted is replaced by
  // `replacement` and skipped (`skip` tells how many bytes it spans).
  template <typename Skip>
  std::string Convert(std::string_view in, std::string_view replacement, Skip skip) {
    std::string out;
    out.reserve(in.size() * 2);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (r != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: an unconvertible or cut sequence.
      out.append(replacement);
      size_t n = skip(std::string_view(src, srcLeft));
      src += n;
      srcLeft -= n;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence at the front of `s` (at least 1).
size_t Utf8SequenceLength(std::string_view s) {
  const auto lead = static_cast<unsigned char>(s[0]);
  size_t n = 1;
  if (lead >= 0xF0) n = 4;
  else if (lead >= 0xE0) n = 3;
  else if (lead >= 0xC0) n = 2;
  size_t i = 1;
  while (i < n && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  return i;
}

}  // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
  static TConverter converter("WINDOWS-1251", "UTF-8");
  return converter.Convert(utf8, "?", Utf8SequenceLength);
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  static TConverter converter("UTF-8", "WINDOWS-1251");
  return converter.Convert(bytes, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; });
}

}  // namespace zervik
