// The modem command layer against a scripted port: every command the layer
// writes is checked against the script, and the scripted response lines
// are handed back as the port would, after the write has returned. Time is
// the virtual clock's.
#include "platform/modem.h"

#include <gtest/gtest.h>

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "platform/virtual_timers.h"

namespace zervik {
namespace {

// "ATZ\r" as "ATZ^M", so that failures read like the Config list.
std::string Visible(const std::string& bytes) {
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

// A port that expects commands in order and answers each with its lines.
class TScriptedPort : public IModemPort {
 public:
  struct TStep {
    std::string command;                 // as the modem must receive it
    std::vector<std::string> responses;  // raw bytes, handed back one by one
  };

  void Expect(std::string command, std::vector<std::string> responses) {
    script.push_back({std::move(command), std::move(responses)});
  }

  bool WriteText(const std::string& bytes) override {
    if (!open) return false;
    written += bytes;
    // A command may come in several writes (pauses); it is checked whole.
    while (!script.empty() && written.size() >= script.front().command.size()) {
      const TStep step = script.front();
      script.pop_front();
      if (written.compare(0, step.command.size(), step.command) != 0) {
        ADD_FAILURE() << "expected '" << Visible(step.command) << "', got '" << Visible(written)
                      << "'";
        written.clear();
        return true;
      }
      commands.push_back(step.command);
      written.erase(0, step.command.size());
      for (const auto& r : step.responses) pending.push_back(r);
    }
    return true;
  }

  // The responses of the commands written so far reach the modem.
  void Deliver(TModem& modem) {
    while (!pending.empty()) {
      const std::string bytes = pending.front();
      pending.pop_front();
      modem.DataReceived(bytes);
    }
  }

  void AssertDone() const {
    EXPECT_TRUE(script.empty()) << "still expected: '" << Visible(script.front().command) << "'";
    EXPECT_EQ(Visible(written), "") << "written beyond the script";
  }

  bool open = true;
  std::vector<std::string> commands;
  std::string written;

 private:
  std::deque<TStep> script;
  std::deque<std::string> pending;
};

// Every event of the modem, in the order raised.
struct TEventLog {
  std::vector<std::string> events;
  bool acceptRings = true;

  void Attach(TModem& modem) {
    modem.OnRingDetect = [this](int rings, bool& accept) {
      events.push_back("ring " + std::to_string(rings));
      accept = acceptRings;
    };
    modem.OnConnect = [this](const std::string& text) { events.push_back("connect " + text); };
    modem.OnBusy = [this] { events.push_back("busy"); };
    modem.OnCommandTimeout = [this] { events.push_back("command timeout"); };
    modem.OnVoice = [this] { events.push_back("voice"); };
    modem.OnNoCarrier = [this] { events.push_back("no carrier"); };
    modem.OnNoDialTone = [this] { events.push_back("no dialtone"); };
    modem.OnError = [this] { events.push_back("error"); };
    modem.OnDialTimeout = [this] { events.push_back("dial timeout"); };
    modem.OnAnswerTimeout = [this] { events.push_back("answer timeout"); };
    modem.OnOk = [this] { events.push_back("ok"); };
  }
};

using TEvents = std::vector<std::string>;

class ModemTest : public ::testing::Test {
 protected:
  void SetUp() override { log.Attach(modem); }

  TScriptedPort port;
  TVirtualTimers clock;
  TModem modem{port, clock};
  TEventLog log;
};

TEST_F(ModemTest, ConfigListInItsOrderAndNotation) {
  const std::vector<std::string> expected = {"RESETCMD=ATZ^M",
                                             "DIALCMD=ATDT",
                                             "DIALTERM=^M",
                                             "HANGUPCMD=+++~~~ATH0^M",
                                             "INITCMD=ATZE1M1^M",
                                             "ANSWERCMD=ATA^M",
                                             "ROK=OK",
                                             "RCONNECT=CONNECT",
                                             "RBUSY=BUSY",
                                             "RVOICE=VOICE",
                                             "RNOCARRIER=NO CARRIER",
                                             "RNODIALTONE=NO DIALTONE",
                                             "RERROR=ERROR",
                                             "RRING=RING",
                                             "RTERM=^M"};
  EXPECT_EQ(modem.Config, expected);
  EXPECT_EQ(modem.CommandTimeout, 5000);
  EXPECT_EQ(modem.DialTimeout, 60000);
  EXPECT_EQ(modem.AnswerTimeout, 30000);
  EXPECT_EQ(modem.RingDetect, rdNone);
  EXPECT_EQ(DecodeModemNotation("ATZ^M^M"), "ATZ\r\r");
  EXPECT_EQ(DecodeModemNotation("^"), "^");
}

TEST_F(ModemTest, InitAnsweredWithOkNeverTimesOut) {
  // The modem echoes the command (E1) before its verbose answer.
  port.Expect("ATZE1M1\r", {"ATZE1M1\r", "\r\nOK\r\n"});
  ASSERT_FALSE(modem.Init());
  port.Deliver(modem);
  EXPECT_EQ(modem.Waiting(), TModem::wtNothing);
  clock.Advance(60000);
  EXPECT_EQ(log.events, TEvents{"ok"});
  port.AssertDone();
}

TEST_F(ModemTest, SilentModemTimesOutAfterExactlyFiveSeconds) {
  port.Expect("ATZE1M1\r", {});
  ASSERT_FALSE(modem.Init());
  clock.Advance(4999);
  EXPECT_TRUE(log.events.empty());
  clock.Advance(1);
  EXPECT_EQ(log.events, TEvents{"command timeout"});
  // Once, and a late answer changes nothing.
  clock.Advance(20000);
  modem.DataReceived("\r\nOK\r\n");
  EXPECT_EQ(log.events, TEvents{"command timeout"});
  EXPECT_EQ(clock.Count(), 0);
}

TEST_F(ModemTest, ToneAndPulseDialStrings) {
  modem.Config[1] = "DIALCMD=ATDP";
  port.Expect("ATDP5551234\r", {"\r\nNO CARRIER\r\n"});
  ASSERT_FALSE(modem.Dial("5551234"));
  port.Deliver(modem);
  modem.Config[1] = "DIALCMD=ATDT";
  port.Expect("ATDT8-495-123\r", {});
  ASSERT_FALSE(modem.Dial("8-495-123"));
  port.AssertDone();
  EXPECT_EQ(log.events, TEvents{"no carrier"});
}

// What the modem answers to a dial, and the event it must raise.
struct TDialOutcome {
  const char* name;
  std::vector<std::string> responses;
  int waitMs;  // virtual time after the responses
  TEvents events;
  bool connected;
};

void PrintTo(const TDialOutcome& row, std::ostream* out) { *out << row.name; }

class DialOutcome : public ModemTest, public ::testing::WithParamInterface<TDialOutcome> {};

TEST_P(DialOutcome, RaisesItsEvent) {
  const TDialOutcome& row = GetParam();
  port.Expect("ATDT123\r", row.responses);
  ASSERT_FALSE(modem.Dial("123"));
  port.Deliver(modem);
  clock.Advance(row.waitMs);
  EXPECT_EQ(log.events, row.events);
  EXPECT_EQ(modem.Connected(), row.connected);
  port.AssertDone();
}

INSTANTIATE_TEST_SUITE_P(
    Modem, DialOutcome,
    ::testing::Values(
        TDialOutcome{"ConnectWithSpeed",
                     {"ATDT123\r", "\r\nCONNECT 115200\r\n"},
                     120000,
                     {"connect CONNECT 115200"},
                     true},
        TDialOutcome{"BareConnect", {"\r\nCONNECT\r\n"}, 0, {"connect CONNECT"}, true},
        TDialOutcome{"Busy", {"\r\nBUSY\r\n"}, 120000, {"busy"}, false},
        TDialOutcome{"NoCarrier", {"\r\nNO CARRIER\r\n"}, 0, {"no carrier"}, false},
        TDialOutcome{"NoDialTone", {"\r\nNO DIALTONE\r\n"}, 0, {"no dialtone"}, false},
        TDialOutcome{"Error", {"\r\nERROR\r\n"}, 0, {"error"}, false},
        TDialOutcome{"Voice", {"\r\nVOICE\r\n"}, 0, {"voice"}, false},
        TDialOutcome{"NoAnswerInSixtySeconds", {}, 60000, {"dial timeout"}, false},
        TDialOutcome{"NotYetAtFiftyNineSeconds", {}, 59999, {}, false},
        // Lines are compared whole: neither of these is BUSY, and an OK
        // answers no dial.
        TDialOutcome{"WholeLinesOnly",
                     {"\r\nBUSYLINE\r\n", "\r\n BUSY\r\n", "\r\nOK\r\n"},
                     60000,
                     {"dial timeout"},
                     false},
        // Line feeds are ignored wherever they stand.
        TDialOutcome{"LineFeedsIgnored", {"\n\nBU\nSY\n\r"}, 0, {"busy"}, false},
        // A response cut by the reads arrives whole.
        TDialOutcome{"SplitAcrossReads",
                     {"\r\nCON", "NECT 11", "5200", "\r", "\n"},
                     0,
                     {"connect CONNECT 115200"},
                     true}),
    [](const ::testing::TestParamInfo<TDialOutcome>& info) { return info.param.name; });

TEST_F(ModemTest, ResponseSplitAtEveryByteArrivesWhole) {
  port.Expect("ATDT1\r", {});
  ASSERT_FALSE(modem.Dial("1"));
  for (char c : std::string("ATDT1\r\r\nCONNECT 115200\r\n")) modem.DataReceived(std::string(1, c));
  EXPECT_EQ(log.events, TEvents{"connect CONNECT 115200"});
}

TEST_F(ModemTest, RingAcceptedIsAnsweredWithAnswerCommand) {
  modem.RingDetect = rdMsg;
  port.Expect("ATZE1M1\r", {"\r\nOK\r\n"});
  ASSERT_FALSE(modem.Init());
  port.Deliver(modem);
  port.Expect("ATA\r", {"ATA\r", "\r\nCONNECT 115200\r\n"});
  modem.DataReceived("\r\nRING\r\n");
  EXPECT_EQ(modem.Waiting(), TModem::wtAnswer);
  // A ring during the answer is the same call.
  modem.DataReceived("\r\nRING\r\n");
  port.Deliver(modem);
  EXPECT_EQ(log.events, (TEvents{"ok", "ring 1", "connect CONNECT 115200"}));
  EXPECT_TRUE(modem.Connected());
  port.AssertDone();
}

TEST_F(ModemTest, RingsRefusedAreCountedAndNotAnswered) {
  modem.RingDetect = rdMsg;
  log.acceptRings = false;
  modem.DataReceived("\r\nRING\r\n\r\nRING\r\n");
  EXPECT_EQ(log.events, (TEvents{"ring 1", "ring 2"}));
  EXPECT_TRUE(port.commands.empty());
  EXPECT_EQ(port.written, "");
}

TEST_F(ModemTest, RingsAreReportedOnlyAsRingDetectSays) {
  modem.RingDetect = rdNone;
  modem.DataReceived("\r\nRING\r\n");
  modem.RingLineRaised();
  EXPECT_TRUE(log.events.empty());
  modem.RingDetect = rdLine;
  modem.DataReceived("\r\nRING\r\n");
  EXPECT_TRUE(log.events.empty());
  port.Expect("ATA\r", {});
  modem.RingLineRaised();
  EXPECT_EQ(log.events, TEvents{"ring 1"});
  port.AssertDone();
}

TEST_F(ModemTest, AnsweredCallThatNeverConnectsTimesOutAfterThirtySeconds) {
  modem.RingDetect = rdMsg;
  port.Expect("ATA\r", {});
  modem.DataReceived("\r\nRING\r\n");
  clock.Advance(29999);
  EXPECT_EQ(log.events, TEvents{"ring 1"});
  clock.Advance(1);
  EXPECT_EQ(log.events, (TEvents{"ring 1", "answer timeout"}));
}

TEST_F(ModemTest, LineDownDuringACallAndFramesIgnored) {
  port.Expect("ATDT1\r", {"\r\nCONNECT 115200\r\n"});
  ASSERT_FALSE(modem.Dial("1"));
  port.Deliver(modem);
  // The match's frames carry no carriage return; a frame that happens to
  // read like a response is no line of its own.
  modem.DataReceived(">rbw1/>ver100/>chtИван: BUSY/");
  modem.DataReceived(">chtИван: ERROR/\r\n");
  EXPECT_TRUE(modem.Connected());
  modem.DataReceived(std::string(1000, 'x'));  // a long stretch of data
  modem.DataReceived("\r\nNO CARRIER\r\n");
  EXPECT_EQ(log.events, (TEvents{"connect CONNECT 115200", "no carrier"}));
  EXPECT_FALSE(modem.Connected());
}

TEST_F(ModemTest, RefusedCommands) {
  port.Expect("ATZE1M1\r", {});
  ASSERT_FALSE(modem.Init());
  EXPECT_EQ(modem.Dial("1"), mfWaiting);
  EXPECT_EQ(modem.Init(), mfWaiting);
  modem.Cancel();
  clock.Advance(10000);
  EXPECT_TRUE(log.events.empty()) << "a cancelled command timed out";
  port.open = false;
  EXPECT_EQ(modem.Dial("1"), mfWriteFailed);
  EXPECT_EQ(modem.Waiting(), TModem::wtNothing);
  modem.Config[1] = "DIALPREFIX=ATDT";
  port.open = true;
  EXPECT_EQ(modem.Dial("1"), mfNoCommand);
  port.AssertDone();
}

TEST_F(ModemTest, PausesInACommandAreKept) {
  modem.Config[4] = "INITCMD=+++~~~ATH0^M";
  port.Expect("+++ATH0\r", {"\r\nOK\r\n"});
  ASSERT_FALSE(modem.Init());
  EXPECT_EQ(port.written, "+++");
  clock.Advance(3 * kCommandPauseMs - 1);
  EXPECT_EQ(port.written, "+++");
  clock.Advance(1);
  port.Deliver(modem);
  EXPECT_EQ(log.events, TEvents{"ok"});
  port.AssertDone();
}

TEST_F(ModemTest, HandlerThatCancelsLeavesNoTimer) {
  // A handler that cancels (as the screens do when they go back) leaves no
  // timer behind.
  modem.OnBusy = [this] { modem.Cancel(); };
  port.Expect("ATDT1\r", {"\r\nBUSY\r\n"});
  ASSERT_FALSE(modem.Dial("1"));
  port.Deliver(modem);
  EXPECT_EQ(clock.Count(), 0);
}

TEST(ModemTags, TwoModemsOnOneClockKeepTheirOwnTimers) {
  TScriptedPort a, b;
  TVirtualTimers clock;
  TModem first(a, clock, 0), second(b, clock, 1000);
  int firstTimeouts = 0, secondTimeouts = 0;
  first.OnCommandTimeout = [&] { ++firstTimeouts; };
  second.OnCommandTimeout = [&] { ++secondTimeouts; };
  a.Expect("ATZE1M1\r", {});
  b.Expect("ATZE1M1\r", {"\r\nOK\r\n"});
  ASSERT_FALSE(first.Init());
  ASSERT_FALSE(second.Init());
  b.Deliver(second);  // frees the second modem's timer, not the first's
  clock.Advance(5000);
  EXPECT_EQ(firstTimeouts, 1);
  EXPECT_EQ(secondTimeouts, 0);
}

}  // namespace
}  // namespace zervik
