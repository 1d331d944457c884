// The peer's command line: what it accepts, and a reason for what it does
// not.
#include "tools/peer/peer_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zervik {
namespace {

struct THostCase {
  const char* name;
  const char* text;
  bool valid;
  THostAndPort expected;
};

void PrintTo(const THostCase& row, std::ostream* os) { *os << '"' << row.text << '"'; }

class HostAndPortTest : public ::testing::TestWithParam<THostCase> {};

TEST_P(HostAndPortTest, Parses) {
  const THostCase& row = GetParam();
  const auto parsed = ParseHostAndPort(row.text);
  ASSERT_EQ(parsed.has_value(), row.valid) << row.text;
  if (row.valid) {
    EXPECT_EQ(parsed->host, row.expected.host) << row.text;
    EXPECT_EQ(parsed->port, row.expected.port) << row.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostAndPortTest,
    ::testing::Values(THostCase{"Ipv4", "127.0.0.1", true, {"127.0.0.1", 2804}},
                      THostCase{"Ipv4WithPort", "127.0.0.1:4000", true, {"127.0.0.1", 4000}},
                      THostCase{"NameWithPort", "chess.local:1", true, {"chess.local", 1}},
                      THostCase{"BracketedIpv6WithPort", "[::1]:2805", true, {"::1", 2805}},
                      THostCase{"BracketedIpv6", "[::1]", true, {"::1", 2804}},
                      THostCase{"BareIpv6", "::1", true, {"::1", 2804}},
                      THostCase{"BareLinkLocalWithScope", "fe80::1%eth0", true, {"fe80::1%eth0", 2804}},
                      THostCase{"BracketedLinkLocalWithPort", "[fe80::1%eth0]:99", true, {"fe80::1%eth0", 99}},
                      THostCase{"Empty", "", false, {}},
                      THostCase{"PortWithoutHost", ":2804", false, {}},
                      THostCase{"ColonWithoutPort", "host:", false, {}},
                      THostCase{"PortZero", "host:0", false, {}},
                      THostCase{"PortTooHigh", "host:65536", false, {}},
                      THostCase{"PortNotANumber", "host:12x", false, {}},
                      THostCase{"UnclosedBracket", "[::1", false, {}},
                      THostCase{"EmptyBrackets", "[]:2804", false, {}},
                      THostCase{"PortWithoutColon", "[::1]2804", false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PeerOptionsTest, EveryOptionIsRead) {
  const auto parsed = ParsePeerOptions({"--connect", "[::1]:3000", "--name", "Вера", "--colour", "black",
                                        "--seed", "42", "--games", "5", "--offer-draw-after", "7",
                                        "--accept-draws", "--time-scale", "0.01", "--list-moves"});
  ASSERT_TRUE(std::holds_alternative<TPeerOptions>(parsed))
      << std::get<TPeerUsageError>(parsed).reason;
  const TPeerOptions& o = std::get<TPeerOptions>(parsed);
  EXPECT_FALSE(o.listen);
  EXPECT_EQ(o.server, (THostAndPort{"::1", 3000}));
  EXPECT_EQ(o.name, "Вера");
  EXPECT_EQ(o.colour, 1);
  EXPECT_TRUE(o.seedGiven);
  EXPECT_EQ(o.seed, 42u);
  EXPECT_EQ(o.games, 5);
  EXPECT_EQ(o.offerDrawAfter, 7);
  EXPECT_TRUE(o.acceptDraws);
  EXPECT_DOUBLE_EQ(o.timeScale, 0.01);
  EXPECT_TRUE(o.listMoves);
}

TEST(PeerOptionsTest, DefaultsOfAListener) {
  const auto parsed = ParsePeerOptions({"--listen", "0"});
  ASSERT_TRUE(std::holds_alternative<TPeerOptions>(parsed));
  const TPeerOptions& o = std::get<TPeerOptions>(parsed);
  EXPECT_TRUE(o.listen);
  EXPECT_EQ(o.listenPort, 0);
  EXPECT_EQ(o.name, "peer");
  EXPECT_EQ(o.colour, 0);
  EXPECT_EQ(o.games, 1);
  EXPECT_EQ(o.offerDrawAfter, 0);
  EXPECT_FALSE(o.acceptDraws);
  EXPECT_DOUBLE_EQ(o.timeScale, 1.0);
  EXPECT_FALSE(o.listMoves);
  EXPECT_FALSE(o.seedGiven);
}

TEST(PeerOptionsTest, ScriptedMovesAreReadInOrder) {
  const auto parsed = ParsePeerOptions({"--listen", "0", "--moves", " e2e4  g1f3\te7e8q "});
  ASSERT_TRUE(std::holds_alternative<TPeerOptions>(parsed))
      << std::get<TPeerUsageError>(parsed).reason;
  EXPECT_EQ(std::get<TPeerOptions>(parsed).scriptedMoves,
            (std::vector<std::string>{"e2e4", "g1f3", "e7e8q"}));
  EXPECT_TRUE(std::get<TPeerOptions>(ParsePeerOptions({"--listen", "0"})).scriptedMoves.empty());
}

TEST(PeerOptionsTest, ChatLineIsRead) {
  const auto parsed = ParsePeerOptions({"--listen", "0", "--chat", "добрый день"});
  ASSERT_TRUE(std::holds_alternative<TPeerOptions>(parsed));
  EXPECT_EQ(std::get<TPeerOptions>(parsed).chatLine, "добрый день");
  EXPECT_TRUE(std::holds_alternative<TPeerUsageError>(ParsePeerOptions({"--listen", "0", "--chat", ""})));
}

class RefusedOptionsTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(RefusedOptionsTest, GivesAReason) {
  const auto parsed = ParsePeerOptions(GetParam());
  ASSERT_TRUE(std::holds_alternative<TPeerUsageError>(parsed));
  EXPECT_FALSE(std::get<TPeerUsageError>(parsed).reason.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusedOptionsTest,
    ::testing::Values(std::vector<std::string>{},
                      std::vector<std::string>{"--listen", "0", "--connect", "h"},
                      std::vector<std::string>{"--listen"},
                      std::vector<std::string>{"--listen", "70000"},
                      std::vector<std::string>{"--listen", "-1"},
                      std::vector<std::string>{"--connect", "h:x"},
                      std::vector<std::string>{"--listen", "0", "--colour", "red"},
                      std::vector<std::string>{"--listen", "0", "--games", "0"},
                      std::vector<std::string>{"--listen", "0", "--offer-draw-after", "x"},
                      std::vector<std::string>{"--listen", "0", "--time-scale", "0"},
                      std::vector<std::string>{"--listen", "0", "--time-scale", "nan"},
                      std::vector<std::string>{"--listen", "0", "--seed", "-3"},
                      std::vector<std::string>{"--listen", "0", "--verbose"},
                      std::vector<std::string>{"--listen", "0", "--moves"},
                      std::vector<std::string>{"--listen", "0", "--moves", "e2e4 e7e9"},
                      std::vector<std::string>{"--listen", "0", "--moves", "e7e8k"},
                      std::vector<std::string>{"--listen", "0", "--moves", "Nf3"}),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

}  // namespace
}  // namespace zervik
