// zervik-peer: a copy of Zervik without a window, for developers, CI and
// users who check a network set-up against a real copy.
#include <QCoreApplication>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "tools/peer/peer.h"
#include "tools/peer/peer_options.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  auto parsed = zervik::ParsePeerOptions(args);
  if (auto* error = std::get_if<zervik::TPeerUsageError>(&parsed)) {
    std::cerr << "zervik-peer: " << error->reason << "\n" << zervik::kPeerUsage;
    return 2;
  }
  zervik::TPeer peer(std::get<zervik::TPeerOptions>(parsed), std::cout, std::cerr,
                     [](int code) { QCoreApplication::exit(code); });
  // A failed start has told its reason; the exit code comes through the
  // event loop either way.
  peer.Start();
  return app.exec();
}
