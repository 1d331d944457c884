#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <ostream>
#include <string>
#include <vector>

#include "protocol/wire.h"
#include "tests/wire/wire_test_support.h"

namespace zervik {
namespace {

using wiretest::CutInto;
using wiretest::Describe;
using wiretest::kMatchMessages;
using wiretest::TCollector;

std::vector<std::string> Dispatched(const std::vector<std::string_view>& reads) {
  TCollector collector;
  TTcpReader reader(collector.Handler());
  for (std::string_view read : reads) reader.Feed(read);
  return collector.messages;
}

std::string TcpStream(const std::vector<std::string>& messages) {
  std::string stream;
  for (const std::string& m : messages) stream += FrameForTcp(m);
  return stream;
}

// ---------------------------------------------------------------------------
// Reads and what they dispatch

struct TReadCase {
  const char* name;
  std::vector<std::string> reads;  // Windows-1251 bytes
  std::vector<std::string> expected;  // UTF-8
  // Failures name the row rather than dump its bytes.
  friend void PrintTo(const TReadCase& c, std::ostream* os) { *os << c.name; }
};

class TcpReaderReads : public testing::TestWithParam<TReadCase> {};

TEST_P(TcpReaderReads, DispatchesExpectedMessages) {
  const TReadCase& c = GetParam();
  std::vector<std::string_view> reads(c.reads.begin(), c.reads.end());
  EXPECT_EQ(Dispatched(reads), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TcpReaderReads,
    testing::Values(
        TReadCase{"TwoMessagesInOneRead", {"rbw1::>ver100::>"}, {"rbw1", "ver100"}},
        TReadCase{"LoneDelimiter", {"::>"}, {}},
        TReadCase{"LoneDelimiterAfterMessage", {"oks::>::>"}, {"oks"}},
        TReadCase{"EmptyMessageBetweenTwo", {"oks::>::>_ok::>"}, {"oks", "", "_ok"}},
        TReadCase{"ShortMessageIsStillCut", {"x::>"}, {"x"}},
        TReadCase{"IncompleteRestWaits", {"oks::>cht"}, {"oks"}},
        TReadCase{"RestCompletedByNextRead", {"ver1", "00::>"}, {"ver100"}},
        TReadCase{"DelimiterSplitOverThreeReads", {"ver100:", ":", ">oks::>"}, {"ver100", "oks"}},
        TReadCase{"EmptyReads", {"", "oks", "", "::>", ""}, {"oks"}},
        TReadCase{"CyrillicBytesDecoded", {"cht\xC8\xE2\xE0\xED: \xB8\xE6::>"}, {"chtИван: ёж"}},
        TReadCase{"ChatHoldingDelimiterArrivesInPieces", {"chta::>b::>"}, {"chta", "b"}}),
    [](const testing::TestParamInfo<TReadCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Read boundaries do not matter

TEST(TcpReaderSplits, WholeStreamInOneReadGivesTheSentMessages) {
  std::vector<std::string> sent = kMatchMessages;
  sent.push_back("lognl1/2-1/2");
  const std::string stream = TcpStream(sent);
  EXPECT_EQ(Dispatched({stream}), sent);
}

// Cuts at every pair of byte positions, so every boundary falls inside
// every delimiter and between every two Cyrillic letters.
TEST(TcpReaderSplits, EveryTwoCutsDispatchTheSameMessagesInOrder) {
  const std::string stream = TcpStream(kMatchMessages);
  for (std::size_t a = 0; a <= stream.size(); ++a) {
    for (std::size_t b = a; b <= stream.size(); ++b) {
      const std::vector<std::size_t> cuts = {a, b};
      ASSERT_EQ(Dispatched(CutInto(stream, cuts)), kMatchMessages) << Describe(cuts);
    }
  }
}

TEST(TcpReaderSplits, RandomCutsDispatchTheSameMessagesInOrder) {
  const std::string stream = TcpStream(kMatchMessages);
  std::mt19937 random(2804);
  std::uniform_int_distribution<std::size_t> cutCount(1, 40);
  std::uniform_int_distribution<std::size_t> position(0, stream.size());
  for (int trial = 0; trial < 500; ++trial) {
    std::vector<std::size_t> cuts(cutCount(random));
    for (std::size_t& cut : cuts) cut = position(random);
    std::sort(cuts.begin(), cuts.end());
    ASSERT_EQ(Dispatched(CutInto(stream, cuts)), kMatchMessages) << Describe(cuts);
  }
}

TEST(TcpReaderSplits, OneByteReads) {
  const std::string stream = TcpStream(kMatchMessages);
  std::vector<std::size_t> cuts;
  for (std::size_t i = 1; i < stream.size(); ++i) cuts.push_back(i);
  EXPECT_EQ(Dispatched(CutInto(stream, cuts)), kMatchMessages);
}

// ---------------------------------------------------------------------------
// The limit on unframed text

struct TLimitCase {
  const char* name;
  std::size_t messageLength;
  std::size_t readSize;  // 0: the whole stream in one read
  bool dispatched;
  // Failures name the row rather than dump its bytes.
  friend void PrintTo(const TLimitCase& c, std::ostream* os) { *os << c.name; }
};

class TcpReaderLimit : public testing::TestWithParam<TLimitCase> {};

// A long chat message, then an ordinary one: the long one arrives whole or
// not at all, however it is cut, and the next message is never harmed.
TEST_P(TcpReaderLimit, LongMessageThenOrdinaryOne) {
  const TLimitCase& c = GetParam();
  std::string longMessage = "cht";
  while (longMessage.size() < c.messageLength) longMessage += static_cast<char>('a' + longMessage.size() % 26);
  const std::string stream = longMessage + "::>ver100::>";

  TCollector collector;
  TTcpReader reader(collector.Handler());
  const std::size_t readSize = c.readSize == 0 ? stream.size() : c.readSize;
  for (std::size_t from = 0; from < stream.size(); from += readSize) {
    reader.Feed(std::string_view(stream).substr(from, readSize));
    ASSERT_LE(reader.HeldBytes(), kMaxUnframedBytes) << "after the read at " << from;
  }

  std::vector<std::string> expected;
  if (c.dispatched) expected.push_back(longMessage);
  expected.push_back("ver100");
  EXPECT_EQ(collector.messages, expected);
  EXPECT_EQ(reader.HeldBytes(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TcpReaderLimit,
    testing::Values(TLimitCase{"LongestInOneRead", kMaxTcpMessageBytes, 0, true},
                    TLimitCase{"LongestInSmallReads", kMaxTcpMessageBytes, 1000, true},
                    TLimitCase{"LongestInOddReads", kMaxTcpMessageBytes, 7, true},
                    TLimitCase{"LongestWithDelimiterCutAfterItsColons", kMaxTcpMessageBytes,
                               kMaxTcpMessageBytes + 2, true},
                    TLimitCase{"OneTooLongInOneRead", kMaxTcpMessageBytes + 1, 0, false},
                    TLimitCase{"OneTooLongInSmallReads", kMaxTcpMessageBytes + 1, 1000, false},
                    TLimitCase{"OneTooLongInOddReads", kMaxTcpMessageBytes + 1, 7, false},
                    TLimitCase{"OneTooLongWithDelimiterCutAfterItsColons",
                               kMaxTcpMessageBytes + 1, kMaxTcpMessageBytes + 3, false},
                    TLimitCase{"TwoTooLongWithDelimiterCutAfterItsColons",
                               kMaxTcpMessageBytes + 2, kMaxTcpMessageBytes + 4, false},
                    TLimitCase{"FarTooLongInSmallReads", 5 * kMaxUnframedBytes, 4096, false}),
    [](const testing::TestParamInfo<TLimitCase>& info) { return std::string(info.param.name); });

TEST(TcpReaderLimitHolds, PeerThatNeverFramesCannotGrowMemory) {
  TCollector collector;
  TTcpReader reader(collector.Handler());
  const std::string read(4096, 'x');
  for (int i = 0; i < 256; ++i) {
    reader.Feed(read);
    ASSERT_LE(reader.HeldBytes(), kMaxUnframedBytes) << "after read " << i;
  }
  reader.Feed("::>oks::>");
  EXPECT_EQ(collector.messages, std::vector<std::string>{"oks"});
}

// ---------------------------------------------------------------------------
// Reset: a new link

TEST(TcpReaderReset, DropsTheIncompleteRestOfTheOldLink) {
  TCollector collector;
  TTcpReader reader(collector.Handler());
  reader.Feed("cht\xC8\xE2");
  reader.Reset();
  reader.Feed("oks::>");
  EXPECT_EQ(collector.messages, std::vector<std::string>{"oks"});
  EXPECT_EQ(reader.HeldBytes(), 0u);
}

TEST(TcpReaderReset, DropsWhatWasSkippedOfAnOverlongMessage) {
  TCollector collector;
  TTcpReader reader(collector.Handler());
  reader.Feed(std::string(kMaxUnframedBytes + 1, 'x'));
  reader.Reset();
  reader.Feed("oks::>");
  EXPECT_EQ(collector.messages, std::vector<std::string>{"oks"});
}

// The opponent leaves: handling "ext" closes the link, and what followed
// it in the same read belongs to the dead link.
TEST(TcpReaderReset, FromInsideTheHandlerStopsTheOldRead) {
  std::vector<std::string> got;
  TTcpReader* self = nullptr;
  TTcpReader reader([&](const std::string& m) {
    got.push_back(m);
    if (m == "ext") self->Reset();
  });
  self = &reader;
  reader.Feed("oks::>ext::>cht\xE0::>vrz");
  EXPECT_EQ(got, (std::vector<std::string>{"oks", "ext"}));
  EXPECT_EQ(reader.HeldBytes(), 0u);
  reader.Feed("ver100::>");
  EXPECT_EQ(got, (std::vector<std::string>{"oks", "ext", "ver100"}));
}

TEST(TcpReaderReset, FeedFromInsideTheHandlerQueuesBehindWhatIsHeld) {
  std::vector<std::string> got;
  TTcpReader* self = nullptr;
  TTcpReader reader([&](const std::string& m) {
    got.push_back(m);
    if (m == "oks") self->Feed("_ok::>");
    if (m == "ext") {
      self->Reset();
      self->Feed("rbw0::>");
    }
  });
  self = &reader;
  reader.Feed("oks::>ver100::>");
  EXPECT_EQ(got, (std::vector<std::string>{"oks", "ver100", "_ok"}));
  // Bytes of the new link, fed after the Reset, survive it; "dra" does not.
  reader.Feed("ext::>dra::>");
  EXPECT_EQ(got, (std::vector<std::string>{"oks", "ver100", "_ok", "ext", "rbw0"}));
}

}  // namespace
}  // namespace zervik
