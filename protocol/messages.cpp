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
  const auto parsed = ParseMoveText(payload);
  if (const auto* fault = std::get_if<TRemoteMoveFault>(&parsed)) {
    switch (*fault) {
      case TRemoteMoveFault::rfBadSquare:
        return heBadCoordinate;
      case TRemoteMoveFault::rfBadKind:
        return heBadMark;
      default:  // the text parser reports only these three
        return heWrongLength;
    }
  }
  const THodMove& move = std::get<THodMove>(parsed);
  // No piece ever moves onto its own square; applying it would lose the
  // piece's sprite.
  if (move.fromX == move.toX && move.fromY == move.toY) return heSameSquare;
  return move;
}

std::string FormatHodPayload(const THodMove& move) { return FormatMoveText(move); }

std::string BuildHodMessage(const THodMove& move) {
  return std::string(TagText(mtHod)) + FormatHodPayload(move);
}

}  // namespace zervik
