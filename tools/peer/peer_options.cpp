#include "tools/peer/peer_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string_view>

namespace zervik {

const char* const kPeerUsage =
    "usage: zervik-peer (--listen PORT | --connect HOST[:PORT]\n"
    "                    | --modem-answer DEVICE | --modem-dial DEVICE NUMBER)\n"
    "                   [--name NAME]\n"
    "                   [--colour white|black] [--seed N] [--games N]\n"
    "                   [--offer-draw-after K] [--accept-draws] [--time-scale F]\n"
    "                   [--list-moves] [--moves \"e2e4 g1f3 e7e8q ...\"]\n"
    "                   [--chat TEXT]\n";

namespace {

std::optional<long long> WholeNumber(const std::string& text) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto [rest, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || rest != end) return std::nullopt;
  return value;
}

std::optional<int> PortNumber(const std::string& text, int lowest) {
  const auto value = WholeNumber(text);
  if (!value || *value < lowest || *value > 65535) return std::nullopt;
  return static_cast<int>(*value);
}

}  // namespace

bool IsScriptedMoveText(const std::string& text) {
  if (text.size() != 4 && text.size() != 5) return false;
  const auto file = [](char c) { return c >= 'a' && c <= 'h'; };
  const auto rank = [](char c) { return c >= '1' && c <= '8'; };
  if (!file(text[0]) || !rank(text[1]) || !file(text[2]) || !rank(text[3])) return false;
  return text.size() == 4 || std::string_view("qrbn").find(text[4]) != std::string_view::npos;
}

std::optional<THostAndPort> ParseHostAndPort(const std::string& text) {
  THostAndPort result;
  if (!text.empty() && text.front() == '[') {
    const auto close = text.find(']');
    if (close == std::string::npos || close == 1) return std::nullopt;
    result.host = text.substr(1, close - 1);
    const std::string rest = text.substr(close + 1);
    if (rest.empty()) return result;
    if (rest.front() != ':') return std::nullopt;
    const auto port = PortNumber(rest.substr(1), 1);
    if (!port) return std::nullopt;
    result.port = *port;
    return result;
  }
  const auto colons = std::count(text.begin(), text.end(), ':');
  if (colons >= 2) {  // a bare IPv6 address
    result.host = text;
    return result;
  }
  if (colons == 1) {
    const auto colon = text.find(':');
    result.host = text.substr(0, colon);
    const auto port = PortNumber(text.substr(colon + 1), 1);
    if (!port) return std::nullopt;
    result.port = *port;
  } else {
    result.host = text;
  }
  if (result.host.empty()) return std::nullopt;
  return result;
}

std::variant<TPeerOptions, TPeerUsageError> ParsePeerOptions(const std::vector<std::string>& args) {
  TPeerOptions options;
  bool connect = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    const auto missing = [&] { return TPeerUsageError{arg + " needs a value"}; };
    if (arg == "--listen") {
      const auto text = value();
      if (!text) return missing();
      const auto port = PortNumber(*text, 0);
      if (!port) return TPeerUsageError{"--listen takes a port 0 ... 65535, not '" + *text + "'"};
      options.listen = true;
      options.listenPort = *port;
    } else if (arg == "--connect") {
      const auto text = value();
      if (!text) return missing();
      const auto server = ParseHostAndPort(*text);
      if (!server) return TPeerUsageError{"--connect takes HOST[:PORT], not '" + *text + "'"};
      connect = true;
      options.server = *server;
    } else if (arg == "--modem-answer" || arg == "--modem-dial") {
      const auto device = value();
      if (!device || device->empty()) return missing();
      options.modemDevice = *device;
      if (arg == "--modem-dial") {
        const auto number = value();
        if (!number || number->empty()) return TPeerUsageError{"--modem-dial needs DEVICE NUMBER"};
        options.modemNumber = *number;
        options.modemDial = true;
      } else {
        options.modemAnswer = true;
      }
    } else if (arg == "--name") {
      const auto text = value();
      if (!text) return missing();
      options.name = *text;
    } else if (arg == "--colour") {
      const auto text = value();
      if (!text) return missing();
      if (*text == "white")
        options.colour = 0;
      else if (*text == "black")
        options.colour = 1;
      else
        return TPeerUsageError{"--colour takes white or black, not '" + *text + "'"};
    } else if (arg == "--seed") {
      const auto text = value();
      if (!text) return missing();
      const auto seed = WholeNumber(*text);
      if (!seed || *seed < 0 || *seed > 0xFFFFFFFFLL)
        return TPeerUsageError{"--seed takes a number 0 ... 4294967295, not '" + *text + "'"};
      options.seed = static_cast<std::uint32_t>(*seed);
      options.seedGiven = true;
    } else if (arg == "--games" || arg == "--offer-draw-after") {
      const auto text = value();
      if (!text) return missing();
      const auto count = WholeNumber(*text);
      if (!count || *count < 1 || *count > 1000000)
        return TPeerUsageError{arg + " takes a number 1 ... 1000000, not '" + *text + "'"};
      (arg == "--games" ? options.games : options.offerDrawAfter) = static_cast<int>(*count);
    } else if (arg == "--accept-draws") {
      options.acceptDraws = true;
    } else if (arg == "--time-scale") {
      const auto text = value();
      if (!text) return missing();
      char* end = nullptr;
      const double scale = std::strtod(text->c_str(), &end);
      if (text->empty() || end != text->c_str() + text->size() || !std::isfinite(scale) ||
          scale <= 0 || scale > 1000)
        return TPeerUsageError{"--time-scale takes a number above 0, not '" + *text + "'"};
      options.timeScale = scale;
    } else if (arg == "--list-moves") {
      options.listMoves = true;
    } else if (arg == "--chat") {
      const auto text = value();
      if (!text || text->empty()) return missing();
      options.chatLine = *text;
    } else if (arg == "--moves") {
      const auto text = value();
      if (!text) return missing();
      std::istringstream words(*text);
      std::string word;
      options.scriptedMoves.clear();
      while (words >> word) {
        if (!IsScriptedMoveText(word))
          return TPeerUsageError{"--moves takes moves like e2e4 or e7e8q, not '" + word + "'"};
        options.scriptedMoves.push_back(word);
      }
    } else {
      return TPeerUsageError{"unknown argument '" + arg + "'"};
    }
  }
  const int links = int{options.listen} + int{connect} + int{options.modemAnswer} +
                    int{options.modemDial};
  if (links != 1)
    return TPeerUsageError{
        "give exactly one of --listen PORT, --connect HOST[:PORT], --modem-answer DEVICE and "
        "--modem-dial DEVICE NUMBER"};
  return options;
}

}  // namespace zervik
