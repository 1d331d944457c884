// zervik-modem-sim: two Hayes modems on one telephone line, for trying and
// testing the modem link without modems. It opens two pseudo-terminals,
// prints their paths ("A /dev/pts/3", "B /dev/pts/4"), and behaves on each
// like a modem: echo as set by E0/E1, "OK" to AT, ATZ and the init string,
// ATDT/ATDP with a number rings the other side ("RING" every few seconds)
// until it answers with ATA, then both report "CONNECT 115200" and the
// bytes pass both ways. Closing a port is dropping DTR: the modem hangs up.
//
// Every command line received is logged as "A< ATDP5551234^M" (the Config
// notation: ^M is a carriage return); every response as "B> RING".
//
// Lines on standard input: "drop" drops the line (both sides NO CARRIER),
// "quit" ends the program. SIGUSR1 drops the line too.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;
using TTime = TClock::time_point;

constexpr int kDefaultRingMs = 3000;
constexpr int kDefaultAnswerLimitMs = 50000;  // a Hayes modem's S7
constexpr int kDefaultConnectMs = 1000;
// How often a port that nobody holds open is looked at again.
constexpr int kClosedPortPollMs = 20;
constexpr const char* kConnectText = "CONNECT 115200";

struct TOptions {
  bool busy = false;
  bool noDialTone = false;
  bool voice = false;
  bool error = false;
  bool silent[2] = {false, false};
  int ringMs = kDefaultRingMs;
  int answerLimitMs = kDefaultAnswerLimitMs;
  int connectMs = kDefaultConnectMs;
  std::string links[2];
  std::string logPath;
};

enum TLineState { lnIdle, lnRinging, lnConnecting, lnConnected };

struct TSide {
  char name = 'A';
  int master = -1;
  std::string path;
  bool open = false;  // a program holds the port open (DTR up)
  bool echo = true;
  bool silent = false;
  bool online = false;         // data mode
  bool onlineCommand = false;  // "+++" during a call
  std::string commandLine;
};

volatile std::sig_atomic_t dropRequested = 0;
volatile std::sig_atomic_t quitRequested = 0;

class TModemSim {
 public:
  explicit TModemSim(const TOptions& options) : options(options) {}

  bool Start() {
    if (!options.logPath.empty()) {
      log = std::fopen(options.logPath.c_str(), "a");
      if (!log) {
        std::perror(options.logPath.c_str());
        return false;
      }
    }
    for (int i = 0; i < 2; ++i) {
      TSide& side = sides[i];
      side.name = static_cast<char>('A' + i);
      side.silent = options.silent[i];
      termios raw{};
      cfmakeraw(&raw);
      cfsetispeed(&raw, B115200);
      cfsetospeed(&raw, B115200);
      int slave = -1;
      char name[256] = {};
      if (openpty(&side.master, &slave, name, &raw, nullptr) != 0) {
        std::perror("openpty");
        return false;
      }
      side.path = name;
      // Our own hold on the slave would hide a program's closing the port.
      ::close(slave);
      ::fcntl(side.master, F_SETFL, ::fcntl(side.master, F_GETFL) | O_NONBLOCK);
      if (!options.links[i].empty()) {
        ::unlink(options.links[i].c_str());
        if (::symlink(side.path.c_str(), options.links[i].c_str()) != 0) {
          std::perror(options.links[i].c_str());
          return false;
        }
      }
    }
    std::printf("A %s\nB %s\n", sides[0].path.c_str(), sides[1].path.c_str());
    std::fflush(stdout);
    return true;
  }

  void Run() {
    bool stdinOpen = true;
    std::string stdinLine;
    while (!quitRequested) {
      if (dropRequested) {
        dropRequested = 0;
        Log('-', "drop requested");
        DropLine();
      }
      for (TSide& side : sides) WatchOpen(side);
      RunTimers();

      std::vector<pollfd> fds;
      std::vector<int> owners;  // side index, or -1 for stdin
      if (stdinOpen) {
        fds.push_back({STDIN_FILENO, POLLIN, 0});
        owners.push_back(-1);
      }
      for (int i = 0; i < 2; ++i) {
        if (!sides[i].open) continue;
        fds.push_back({sides[i].master, POLLIN, 0});
        owners.push_back(i);
      }
      const int rc = ::poll(fds.data(), fds.size(), NextWaitMs());
      if (rc < 0) continue;  // a signal
      for (std::size_t k = 0; k < fds.size(); ++k) {
        if (!(fds[k].revents & (POLLIN | POLLHUP))) continue;
        if (owners[k] < 0) {
          char buffer[256];
          const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
          if (n <= 0) {
            stdinOpen = false;  // keeps running, e.g. in the background
            continue;
          }
          for (ssize_t j = 0; j < n; ++j) {
            if (buffer[j] != '\n') {
              stdinLine += buffer[j];
              continue;
            }
            ControlCommand(stdinLine);
            stdinLine.clear();
          }
          continue;
        }
        TSide& side = sides[owners[k]];
        char buffer[4096];
        const ssize_t n = ::read(side.master, buffer, sizeof buffer);
        if (n <= 0) {
          WatchOpen(side);
          continue;
        }
        Received(side, std::string(buffer, static_cast<std::size_t>(n)));
      }
    }
  }

 private:
  // ---- The line ----

  void ControlCommand(const std::string& text) {
    if (text == "drop") {
      Log('-', "drop requested");
      DropLine();
    } else if (text == "quit") {
      quitRequested = 1;
    }
  }

  void DropLine() {
    for (TSide& side : sides) {
      const bool inCall = line == lnConnected || line == lnConnecting ||
                          (line == lnRinging && &side == &sides[caller]);
      if (inCall) Respond(side, "NO CARRIER");
      side.online = side.onlineCommand = false;
    }
    line = lnIdle;
  }

  // One side hangs up (ATH, or its port closed): the other side of a call
  // hears the carrier go.
  void HangUp(TSide& side) {
    const int index = &side == &sides[0] ? 0 : 1;
    TSide& other = sides[1 - index];
    if (line == lnConnected || line == lnConnecting) Respond(other, "NO CARRIER");
    if (line == lnRinging && index == caller) Log(other.name, "ringing stops");
    if (line != lnRinging || index == caller) line = lnIdle;
    side.online = side.onlineCommand = false;
    other.online = other.onlineCommand = false;
  }

  void WatchOpen(TSide& side) {
    pollfd fd{side.master, POLLIN, 0};
    ::poll(&fd, 1, 0);
    const bool open = !(fd.revents & POLLHUP);
    if (open == side.open) return;
    side.open = open;
    Log(side.name, open ? "port opened" : "port closed");
    if (open) {
      side.commandLine.clear();
      return;
    }
    // DTR dropped: the modem goes on-hook.
    const int index = &side == &sides[0] ? 0 : 1;
    const bool inCall =
        line == lnConnected || line == lnConnecting || (line == lnRinging && index == caller);
    if (inCall) HangUp(side);
  }

  void RunTimers() {
    const TTime now = TClock::now();
    if (line == lnRinging) {
      if (now >= answerDeadline) {
        Log(sides[caller].name, "no answer");
        line = lnIdle;
        Respond(sides[caller], "NO CARRIER");
      } else if (now >= nextRing) {
        Respond(sides[1 - caller], "RING");
        nextRing = now + std::chrono::milliseconds(options.ringMs);
      }
    }
    if (line == lnConnecting && now >= connectAt) {
      line = lnConnected;
      for (TSide& side : sides) {
        side.online = true;
        side.onlineCommand = false;
        Respond(side, kConnectText);
      }
    }
  }

  int NextWaitMs() const {
    const TTime now = TClock::now();
    auto until = [&](TTime t) {
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t - now).count();
      return static_cast<int>(ms < 0 ? 0 : ms + 1);
    };
    int wait = 1000;
    if (!sides[0].open || !sides[1].open) wait = kClosedPortPollMs;
    if (line == lnRinging) wait = std::min({wait, until(nextRing), until(answerDeadline)});
    if (line == lnConnecting) wait = std::min(wait, until(connectAt));
    return wait;
  }

  // ---- One modem ----

  void Received(TSide& side, const std::string& bytes) {
    const int index = &side == &sides[0] ? 0 : 1;
    if (side.silent) {
      Log(side.name, "(silent) got " + Visible(bytes), '<');
      return;
    }
    if (side.online && !side.onlineCommand) {
      if (bytes == "+++") {
        Log(side.name, "+++", '<');
        side.onlineCommand = true;
        Respond(side, "OK");
        return;
      }
      TSide& other = sides[1 - index];
      if (line == lnConnected && other.open) Write(other, bytes);
      return;
    }
    for (char c : bytes) {
      if (side.echo) Write(side, std::string(1, c));
      if (c == '\n') continue;
      if (c != '\r') {
        if (side.commandLine.size() < 256) side.commandLine += c;
        continue;
      }
      const std::string command = side.commandLine;
      side.commandLine.clear();
      Log(side.name, Visible(command + "\r"), '<');
      Command(side, index, command);
    }
  }

  void Command(TSide& side, int index, const std::string& text) {
    if (text.size() < 2 || std::toupper(static_cast<unsigned char>(text[0])) != 'A' ||
        std::toupper(static_cast<unsigned char>(text[1])) != 'T')
      return;  // not a command: a modem ignores it
    std::size_t i = 2;
    auto number = [&] {
      std::string digits;
      while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        digits += text[i++];
      return digits.empty() ? 0 : std::atoi(digits.c_str());
    };
    while (i < text.size()) {
      const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++])));
      switch (c) {
        case ' ':
          break;
        case 'Z':
          side.echo = true;
          break;
        case 'E':
          side.echo = number() != 0;
          break;
        case 'H':
          number();
          if (side.onlineCommand || line != lnIdle) HangUp(side);
          break;
        case 'O':
          number();
          if (side.onlineCommand && line == lnConnected) {
            side.onlineCommand = false;
            Respond(side, kConnectText);
          } else {
            Respond(side, "NO CARRIER");
          }
          return;
        case 'A':
          Answer(side, index);
          return;
        case 'D':
          Dial(side, index, text.substr(i));
          return;
        case '&':
          if (i < text.size()) ++i;
          number();
          break;
        case 'S':
          number();
          if (i < text.size() && text[i] == '?') {
            ++i;
            Respond(side, "000");
          } else if (i < text.size() && text[i] == '=') {
            ++i;
            number();
          }
          break;
        default:
          if (!std::isalpha(static_cast<unsigned char>(c))) {
            Respond(side, "ERROR");
            return;
          }
          number();  // M1, L2, V1, Q0, X4 ...: accepted
          break;
      }
    }
    Respond(side, "OK");
  }

  void Dial(TSide& side, int index, const std::string& dialString) {
    std::string number = dialString;
    if (!number.empty() && (std::toupper(static_cast<unsigned char>(number[0])) == 'T' ||
                            std::toupper(static_cast<unsigned char>(number[0])) == 'P'))
      number.erase(0, 1);
    Log(side.name, "dials " + number);
    if (options.noDialTone) return Respond(side, "NO DIALTONE");
    if (line != lnIdle || options.busy) return Respond(side, "BUSY");
    if (options.voice) return Respond(side, "VOICE");
    if (options.error) return Respond(side, "ERROR");
    line = lnRinging;
    caller = index;
    const TTime now = TClock::now();
    nextRing = now;  // the first ring at once
    answerDeadline = now + std::chrono::milliseconds(options.answerLimitMs);
    RunTimers();
  }

  void Answer(TSide& side, int index) {
    if (line != lnRinging || index == caller) return Respond(side, "NO CARRIER");
    line = lnConnecting;
    connectAt = TClock::now() + std::chrono::milliseconds(options.connectMs);
    Log(side.name, "answers");
  }

  // ---- Output ----

  void Respond(TSide& side, const std::string& text) {
    if (side.silent) return;
    Log(side.name, text, '>');
    Write(side, "\r\n" + text + "\r\n");
  }

  void Write(TSide& side, const std::string& bytes) {
    // A port nobody reads would fill up and block us: what does not fit
    // is lost, as on a line without handshake.
    if (!side.open) return;
    const ssize_t n = ::write(side.master, bytes.data(), bytes.size());
    (void)n;
  }

  void Log(char who, const std::string& text, char direction = ' ') {
    FILE* out = log ? log : stdout;
    if (direction == ' ')
      std::fprintf(out, "%c: %s\n", who, text.c_str());
    else
      std::fprintf(out, "%c%c %s\n", who, direction, text.c_str());
    std::fflush(out);
  }

  static std::string Visible(const std::string& bytes) {
    std::string text;
    for (char c : bytes) {
      if (c == '\r')
        text += "^M";
      else if (c == '\n')
        text += "^J";
      else
        text += c;
    }
    return text;
  }

  TOptions options;
  TSide sides[2];
  FILE* log = nullptr;
  TLineState line = lnIdle;
  int caller = 0;
  TTime nextRing{};
  TTime answerDeadline{};
  TTime connectAt{};
};

void Usage() {
  std::fprintf(stderr,
               "usage: zervik-modem-sim [options]\n"
               "  --busy               every dial gets BUSY\n"
               "  --no-dialtone        every dial gets NO DIALTONE\n"
               "  --voice              every dial gets VOICE\n"
               "  --error              every dial gets ERROR\n"
               "  --silent a|b|both    that modem answers nothing at all\n"
               "  --ring-ms N          time between rings (%d)\n"
               "  --answer-limit-ms N  rings until the caller gets NO CARRIER (%d)\n"
               "  --connect-ms N       from ATA to CONNECT (%d)\n"
               "  --link-a PATH        a symbolic link to side A's port (also --link-b)\n"
               "  --log FILE           the log goes there instead of standard output\n"
               "standard input: \"drop\" drops the line, \"quit\" ends; SIGUSR1 drops too\n",
               kDefaultRingMs, kDefaultAnswerLimitMs, kDefaultConnectMs);
}

std::optional<TOptions> ParseOptions(int argc, char** argv) {
  TOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    auto milliseconds = [&](int& target) {
      const auto text = value();
      if (!text) return false;
      char* end = nullptr;
      const long ms = std::strtol(text->c_str(), &end, 10);
      if (*end != '\0' || ms < 0 || ms > 3600000) return false;
      target = static_cast<int>(ms);
      return true;
    };
    if (arg == "--busy") {
      options.busy = true;
    } else if (arg == "--no-dialtone") {
      options.noDialTone = true;
    } else if (arg == "--voice") {
      options.voice = true;
    } else if (arg == "--error") {
      options.error = true;
    } else if (arg == "--silent") {
      const auto which = value();
      if (!which || (*which != "a" && *which != "b" && *which != "both")) return std::nullopt;
      options.silent[0] = *which != "b";
      options.silent[1] = *which != "a";
    } else if (arg == "--ring-ms") {
      if (!milliseconds(options.ringMs) || options.ringMs == 0) return std::nullopt;
    } else if (arg == "--answer-limit-ms") {
      if (!milliseconds(options.answerLimitMs)) return std::nullopt;
    } else if (arg == "--connect-ms") {
      if (!milliseconds(options.connectMs)) return std::nullopt;
    } else if (arg == "--link-a" || arg == "--link-b") {
      const auto path = value();
      if (!path) return std::nullopt;
      options.links[arg == "--link-a" ? 0 : 1] = *path;
    } else if (arg == "--log") {
      const auto path = value();
      if (!path) return std::nullopt;
      options.logPath = *path;
    } else {
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<TOptions> options = ParseOptions(argc, argv);
  if (!options) {
    Usage();
    return 2;
  }
  // Started by a test, it goes when the test goes.
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  std::signal(SIGUSR1, [](int) { dropRequested = 1; });
  std::signal(SIGTERM, [](int) { quitRequested = 1; });
  std::signal(SIGINT, [](int) { quitRequested = 1; });
  std::signal(SIGPIPE, SIG_IGN);
  TModemSim sim(*options);
  if (!sim.Start()) return 1;
  sim.Run();
  for (const std::string& link : options->links)
    if (!link.empty()) ::unlink(link.c_str());
  return 0;
}
