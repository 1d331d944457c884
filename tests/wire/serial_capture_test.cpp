#include <gtest/gtest.h>

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

std::vector<std::string> Captured(const std::vector<std::string_view>& reads) {
  TCollector collector;
  TSerialCapture capture(collector.Handler());
  for (std::string_view read : reads) capture.Feed(read);
  return collector.messages;
}

struct TFrameCase {
  const char* name;
  std::vector<std::string> reads;  // Windows-1251 bytes
  std::vector<std::string> expected;  // UTF-8
  // Failures name the row rather than dump its bytes.
  friend void PrintTo(const TFrameCase& c, std::ostream* os) { *os << c.name; }
};

class SerialCaptureFrames : public testing::TestWithParam<TFrameCase> {};

TEST_P(SerialCaptureFrames, CapturesExpectedMessages) {
  const TFrameCase& c = GetParam();
  std::vector<std::string_view> reads(c.reads.begin(), c.reads.end());
  EXPECT_EQ(Captured(reads), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialCaptureFrames,
    testing::Values(
        TFrameCase{"ModemLinesAroundFrameDropped", {"CONNECT 33600\r\n>oks/\r\nOK\r\n"}, {"oks"}},
        TFrameCase{"TwoFramesInOneRead", {">rbw1/>ver100/"}, {"rbw1", "ver100"}},
        TFrameCase{"StartInsideFrameIsText", {">cht a>b>/"}, {"cht a>b>"}},
        TFrameCase{"TextCutAtFirstFinishRestDropped", {">logl1/2-1/2/>oks/"}, {"logl1", "oks"}},
        TFrameCase{"FinishOutsideFrameDropped", {"/oks/"}, {}},
        TFrameCase{"FrameOverThreeReads", {">ve", "r100", "/"}, {"ver100"}},
        TFrameCase{"UnclosedFrameWaits", {">oks"}, {}},
        TFrameCase{"EmptyFrame", {">/"}, {""}},
        TFrameCase{"CyrillicBytesDecoded", {">cht\xC8\xE2\xE0\xED: \xB8\xE6/"}, {"chtИван: ёж"}}),
    [](const testing::TestParamInfo<TFrameCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The 999-character limit

// Digits cycling through the body, so that "the last 999" is checked and
// not merely "999 of them".
std::string Body(std::size_t length) {
  std::string body;
  for (std::size_t i = 0; i < length; ++i) body += static_cast<char>('0' + i % 10);
  return body;
}

struct TLengthCase {
  const char* name;
  std::size_t bodyLength;
  std::size_t readSize;
  // Failures name the row rather than dump its bytes.
  friend void PrintTo(const TLengthCase& c, std::ostream* os) { *os << c.name; }
};

class SerialCaptureLength : public testing::TestWithParam<TLengthCase> {};

TEST_P(SerialCaptureLength, KeepsTheLast999Characters) {
  const TLengthCase& c = GetParam();
  const std::string body = Body(c.bodyLength);
  const std::string stream = ">" + body + "/>oks/";
  std::vector<std::size_t> cuts;
  for (std::size_t at = c.readSize; at < stream.size(); at += c.readSize) cuts.push_back(at);
  const std::size_t kept = std::min(body.size(), kMaxSerialMessageLength);
  const std::vector<std::string> expected = {body.substr(body.size() - kept), "oks"};
  EXPECT_EQ(Captured(CutInto(stream, cuts)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialCaptureLength,
    testing::Values(TLengthCase{"Exactly999", 999, 100000}, TLengthCase{"Of1000", 1000, 100000},
                    TLengthCase{"Of1997", 1997, 100000}, TLengthCase{"Of1998", 1998, 100000},
                    TLengthCase{"Of5000", 5000, 100000},
                    TLengthCase{"Of5000ByteByByte", 5000, 1},
                    TLengthCase{"Of3001InOddReads", 3001, 13}),
    [](const testing::TestParamInfo<TLengthCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Read boundaries do not matter

std::string SerialStream() {
  std::string stream = "ATZE1M1\r\nOK\r\nCONNECT 115200\r\n";
  for (const std::string& m : kMatchMessages) stream += FrameForSerial(m) + "\r\n";
  return stream;
}

TEST(SerialCaptureSplits, EveryTwoCutsCaptureTheSameMessagesInOrder) {
  const std::string stream = SerialStream();
  ASSERT_EQ(Captured({stream}), kMatchMessages);
  for (std::size_t a = 0; a <= stream.size(); ++a) {
    for (std::size_t b = a; b <= stream.size(); ++b) {
      const std::vector<std::size_t> cuts = {a, b};
      ASSERT_EQ(Captured(CutInto(stream, cuts)), kMatchMessages) << Describe(cuts);
    }
  }
}

TEST(SerialCaptureSplits, RandomCutsCaptureTheSameMessagesInOrder) {
  const std::string stream = SerialStream();
  std::mt19937 random(115200);
  std::uniform_int_distribution<std::size_t> cutCount(1, 40);
  std::uniform_int_distribution<std::size_t> position(0, stream.size());
  for (int trial = 0; trial < 500; ++trial) {
    std::vector<std::size_t> cuts(cutCount(random));
    for (std::size_t& cut : cuts) cut = position(random);
    std::sort(cuts.begin(), cuts.end());
    ASSERT_EQ(Captured(CutInto(stream, cuts)), kMatchMessages) << Describe(cuts);
  }
}

// ---------------------------------------------------------------------------
// Reset: the port is closed and opened again

TEST(SerialCaptureReset, DropsAnOpenFrame) {
  TCollector collector;
  TSerialCapture capture(collector.Handler());
  capture.Feed(">cht\xC8");
  capture.Reset();
  capture.Feed("x/>oks/");
  EXPECT_EQ(collector.messages, std::vector<std::string>{"oks"});
}

TEST(SerialCaptureReset, FromInsideTheHandlerStopsTheOldRead) {
  std::vector<std::string> got;
  TSerialCapture* self = nullptr;
  TSerialCapture capture([&](const std::string& m) {
    got.push_back(m);
    if (m == "ext") self->Reset();
  });
  self = &capture;
  capture.Feed(">oks/>ext/>dra/>cht");
  capture.Feed("x/>ver100/");
  EXPECT_EQ(got, (std::vector<std::string>{"oks", "ext", "ver100"}));
}

TEST(SerialCaptureReset, FeedFromInsideTheHandlerQueuesBehindTheRead) {
  std::vector<std::string> got;
  TSerialCapture* self = nullptr;
  TSerialCapture capture([&](const std::string& m) {
    got.push_back(m);
    if (m == "oks") self->Feed(">_ok/");
  });
  self = &capture;
  capture.Feed(">oks/>ver100/");
  EXPECT_EQ(got, (std::vector<std::string>{"oks", "ver100", "_ok"}));
}

}  // namespace
}  // namespace zervik
