#include "protocol/wire.h"

#include <algorithm>
#include <utility>

#include "platform/text_encoding.h"

namespace zervik {
namespace {

// Sets a flag for the lifetime of a scope, so that a handler that throws
// does not leave a reader believing it is still dispatching.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag(flag) { flag = true; }
  ~TFlagScope() { flag = false; }
  TFlagScope(const TFlagScope&) = delete;  // one scope owns the flag
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag;
};

}  // namespace

std::string FrameForTcp(const std::string& utf8Text) {
  std::string framed = Utf8ToCp1251(utf8Text);
  framed.append(kTcpDelimiter);
  return framed;
}

std::string FrameForSerial(const std::string& utf8Text) {
  std::string framed(1, kSerialFrameStart);
  framed.append(Utf8ToCp1251(utf8Text));
  framed.push_back(kSerialFrameFinish);
  return framed;
}

// ---------------------------------------------------------------------------
// TTcpReader

TTcpReader::TTcpReader(TMessageHandler onMessage) : onMessage(std::move(onMessage)) {}

void TTcpReader::Feed(std::string_view bytes) {
  receiveBuffer.append(bytes);
  // Fed from inside the handler: the cut that is running takes these bytes
  // in turn, after everything that came before them.
  if (dispatching) return;
  {
    TFlagScope scope(dispatching);
    CutMessages();
  }
  LimitHeldText();
}

void TTcpReader::Reset() {
  receiveBuffer.clear();
  cutUpTo = 0;
  searchFrom = 0;
  skippingOverlong = false;
}

// Works on the members afresh after every dispatch and holds no view into
// the buffer across the handler, which may Reset() the reader or feed it.
void TTcpReader::CutMessages() {
  const std::size_t delimiterSize = kTcpDelimiter.size();
  for (;;) {
    const std::size_t held = receiveBuffer.size() - cutUpTo;
    if (skippingOverlong) {
      // The tail of a message that outgrew the limit: it ends at its "::>",
      // and nothing of it is a message.
      const std::size_t at = receiveBuffer.find(kTcpDelimiter, std::max(cutUpTo, searchFrom));
      if (at == std::string::npos) return;
      cutUpTo = searchFrom = at + delimiterSize;
      skippingOverlong = false;
      continue;
    }
    // A rest of three characters or fewer is never a message, not even a
    // lone "::>".
    if (held <= delimiterSize) return;
    const std::size_t at = receiveBuffer.find(kTcpDelimiter, std::max(cutUpTo, searchFrom));
    if (at == std::string::npos) {
      // Incomplete: wait for the next read. Its last two bytes may begin
      // the delimiter.
      searchFrom = std::max(cutUpTo, receiveBuffer.size() - (delimiterSize - 1));
      return;
    }
    const std::string body = receiveBuffer.substr(cutUpTo, at - cutUpTo);
    cutUpTo = searchFrom = at + delimiterSize;
    // Over-long: dropped whole, the same as when it arrives in small reads
    // and outgrows the limit while it waits.
    if (body.size() > kMaxTcpMessageBytes) continue;
    onMessage(Cp1251ToUtf8(body));
  }
}

void TTcpReader::LimitHeldText() {
  receiveBuffer.erase(0, cutUpTo);
  searchFrom -= std::min(searchFrom, cutUpTo);
  cutUpTo = 0;
  // Past the limit the text held can only be part of an over-long message:
  // drop it and the rest of that message up to its "::>".
  if (receiveBuffer.size() > kMaxUnframedBytes) skippingOverlong = true;
  if (skippingOverlong) {
    const std::size_t keep = kTcpDelimiter.size() - 1;  // may begin the "::>"
    if (receiveBuffer.size() > keep) receiveBuffer.erase(0, receiveBuffer.size() - keep);
    receiveBuffer.shrink_to_fit();
    searchFrom = 0;
  }
}

// ---------------------------------------------------------------------------
// TSerialCapture

TSerialCapture::TSerialCapture(TMessageHandler onMessage) : onMessage(std::move(onMessage)) {}

void TSerialCapture::Feed(std::string_view bytes) {
  // Fed from inside the handler: these bytes follow the ones being
  // captured, so they wait until those are done.
  if (dispatching) {
    queued.append(bytes);
    return;
  }
  TFlagScope scope(dispatching);
  Capture(bytes);
  while (!queued.empty()) {
    std::string next;
    next.swap(queued);
    Capture(next);
  }
}

void TSerialCapture::Reset() {
  frameOpen = false;
  frameBody.clear();
  queued.clear();
  ++generation;
}

void TSerialCapture::Capture(std::string_view bytes) {
  const unsigned captureGeneration = generation;
  for (const char c : bytes) {
    if (!frameOpen) {
      // Outside a frame: modem responses and stray bytes are dropped.
      if (c == kSerialFrameStart) {
        frameOpen = true;
        frameBody.clear();
      }
      continue;
    }
    if (c != kSerialFrameFinish) {
      // A ">" inside an open frame is text like any other.
      frameBody.push_back(c);
      // Only the last kMaxSerialMessageLength characters survive; trimming
      // in batches keeps a long frame from costing a shift per character.
      if (frameBody.size() >= 2 * kMaxSerialMessageLength)
        frameBody.erase(0, frameBody.size() - kMaxSerialMessageLength);
      continue;
    }
    frameOpen = false;
    std::string body;
    body.swap(frameBody);
    if (body.size() > kMaxSerialMessageLength) body.erase(0, body.size() - kMaxSerialMessageLength);
    onMessage(Cp1251ToUtf8(body));
    // Reset by the handler: the rest of these bytes came from the old link.
    if (generation != captureGeneration) return;
  }
}

}  // namespace zervik
