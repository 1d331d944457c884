// Shared pieces of the wire tests: a handler that records what it is given,
// a realistic stream of one match, and reads cut at chosen points.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/wire.h"

namespace zervik::wiretest {

struct TCollector {
  std::vector<std::string> messages;
  TMessageHandler Handler() {
    return [this](const std::string& m) { messages.push_back(m); };
  }
};

// The opening of a match as one copy sends it, chat in Cyrillic included.
// None of these texts holds a framing character of either link.
inline const std::vector<std::string> kMatchMessages = {
    "rbw1",
    "ver100",
    "whiИван Петров",
    "vrzw",
    "chtИван Петров: Привет! Сыграем? Ёлки, ЖЁСТКО.",
    "logl1. e2-e4",
    "hod52.54",
    "oks",
    "_ok",
    "logl2. Кg1-f3",
    "logaФ",
    "hod=57f58",
    "loga+",
    "chtИван Петров: ходи",
    "ext",
};

inline std::string Concatenate(const std::vector<std::string>& framed) {
  std::string all;
  for (const std::string& f : framed) all += f;
  return all;
}

// `stream` cut at the ascending positions in `cuts` (empty reads included
// when two cuts coincide).
inline std::vector<std::string_view> CutInto(std::string_view stream,
                                             const std::vector<std::size_t>& cuts) {
  std::vector<std::string_view> reads;
  std::size_t from = 0;
  for (std::size_t cut : cuts) {
    reads.push_back(stream.substr(from, cut - from));
    from = cut;
  }
  reads.push_back(stream.substr(from));
  return reads;
}

inline std::string Describe(const std::vector<std::size_t>& cuts) {
  std::string text = "reads cut at";
  for (std::size_t cut : cuts) text += " " + std::to_string(cut);
  return text;
}

}  // namespace zervik::wiretest
