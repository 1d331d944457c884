#include <array>
#include <charconv>
#include <system_error>

#include "protocol/wire.h"

namespace zervik {
namespace {

struct TTagEntry {
  std::string_view text;
  TMessageTag tag;
  bool payloadAfterTag;  // the handler works on the text after the tag
};

// The order in which a received tag is compared.
constexpr std::array<TTagEntry, 15> kTagOrder = {{
    {"ver", mtVer, true},
    {"oks", mtOks, false},
    {"_ok", mtOk, false},
    {"rbw", mtRbw, true},
    {"vrz", mtVrz, true},
    {"cht", mtCht, true},
    {"log", mtLog, true},
    {"dra", mtDra, false},
    {"ext", mtExt, false},
    {"new", mtNew, false},
    {"acc", mtAcc, false},
    {"reg", mtReg, false},
    {"bla", mtBla, true},
    {"whi", mtWhi, true},
    {"hod", mtHod, true},
}};

constexpr std::size_t kTagLength = 3;
constexpr std::size_t kHodMoveLength = 5;  // FX FY M TX TY
constexpr char kHodDrawOffer = '=';
constexpr std::string_view kHodMarks = ".1234flok";

bool IsHodCoordinate(char c) { return c >= '1' && c <= '8'; }
int CoordinateValue(char c) { return c - '0'; }
char CoordinateChar(int v) { return static_cast<char>('0' + v); }

}  // namespace

std::string_view TagText(TMessageTag tag) {
  for (const TTagEntry& entry : kTagOrder)
    if (entry.tag == tag) return entry.text;
  return {};
}

std::optional<TReceived> ClassifyMessage(const std::string& utf8Message) {
  // No complete tag: nothing may be read past its end.
  if (utf8Message.size() < kTagLength) return std::nullopt;
  TReceived received;
  received.messageTag = utf8Message.substr(0, kTagLength);
  received.payload = utf8Message;
  for (const TTagEntry& entry : kTagOrder) {
    if (received.messageTag != entry.text) continue;
    received.tag = entry.tag;
    if (entry.payloadAfterTag) received.payload.erase(0, kTagLength);
    return received;
  }
  // Unknown tag (capitals included): the controller ignores it.
  received.tag = mtUnknown;
  return received;
}

std::optional<int> ParseWireNumber(std::string_view payload) {
  int value = 0;
  const char* end = payload.data() + payload.size();
  const auto [stop, error] = std::from_chars(payload.data(), end, value);
  // Not a number, a number too large for an int, or a number followed by
  // anything else.
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::variant<THodMove, THodError> ParseHodPayload(std::string_view payload) {
  THodMove move;
  if (!payload.empty() && payload.front() == kHodDrawOffer) {
    move.drawOffer = true;
    payload.remove_prefix(1);
  }
  if (payload.size() != kHodMoveLength) return heWrongLength;
  // Anything else would index the board outside 1 .. 8.
  for (const std::size_t i : {0u, 1u, 3u, 4u})
    if (!IsHodCoordinate(payload[i])) return heBadCoordinate;
  if (kHodMarks.find(payload[2]) == std::string_view::npos) return heBadMark;
  move.fromX = CoordinateValue(payload[0]);
  move.fromY = CoordinateValue(payload[1]);
  move.mark = payload[2];
  move.toX = CoordinateValue(payload[3]);
  move.toY = CoordinateValue(payload[4]);
  // No piece ever moves onto its own square; applying it would lose the
  // piece's sprite.
  if (move.fromX == move.toX && move.fromY == move.toY) return heSameSquare;
  return move;
}

std::string FormatHodPayload(const THodMove& move) {
  std::string payload;
  if (move.drawOffer) payload.push_back(kHodDrawOffer);
  payload.push_back(CoordinateChar(move.fromX));
  payload.push_back(CoordinateChar(move.fromY));
  payload.push_back(move.mark);
  payload.push_back(CoordinateChar(move.toX));
  payload.push_back(CoordinateChar(move.toY));
  return payload;
}

std::string BuildHodMessage(const THodMove& move) {
  return std::string(TagText(mtHod)) + FormatHodPayload(move);
}

}  // namespace zervik
