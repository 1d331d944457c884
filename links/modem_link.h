// The modem link: the serial port `VaComm1`, the modem command layer
// `modem` on it, and the frame capture `VaCapture1`, with the operations the
// modem screens call and the handling of the modem's events. The answering
// copy initialises its modem and accepts the first ring; the dialling copy
// dials with tone or pulse; once the modems report CONNECT the match runs
// over the line, framed as ">" text "/".
//
// Two things differ from a plain capture of the line:
// - The framing cuts a text at its first "/", so the draw texts of a peer,
//   "logl1/2-1/2" and "lognl1/2-1/2", arrive as "logl1" and "lognl1". No
//   move line can be "1", so those two are taken as the draw texts they
//   were. What this copy sends is framed as every peer expects.
// - A pseudo-terminal or an adapter without modem lines reports the
//   carrier as present; the modem's "NO CARRIER" during a match ends it as
//   a lost carrier does.
#pragma once

#include <functional>
#include <string>

#include "core/services.h"
#include "platform/modem.h"
#include "platform/qt_serial_port.h"
#include "protocol/link_control.h"
#include "protocol/screen_state.h"
#include "protocol/wire.h"

namespace zervik {

class TMatch;
class TTimers;
// Forward only: platform/settings.h and links/lan_link.h both define
// kDefaultLanPort, and a driver may need this header beside lan_link.h.
struct TSettings;

inline constexpr int kProbedModemPort = 3;    // preselected when it opens
inline constexpr int kFallbackModemPort = 1;  // otherwise

inline constexpr const char* kWaitingForCallText = "Ожидание соединения...";
inline constexpr const char* kRingText = "Подключение...";
inline constexpr const char* kBusyText = "Линия занята";
inline constexpr const char* kInitFailedText = "Ошибка при инициализации модема";
inline constexpr const char* kNoCarrierText = "Нет несущей";
inline constexpr const char* kNoDialToneText = "Нет гудка";
inline constexpr const char* kModemErrorText = "Ошибка модема";
inline constexpr const char* kVoiceText = "Ответил голос";
inline constexpr const char* kNoAnswerText = "Абонент не отвечает";

// "Порт COM3 не найден": `portName` is the device name with its number.
std::string PortNotFoundText(const std::string& portName);

// On a serial link: a received message as the match must see it ("logl1"
// is "logl1/2-1/2", "lognl1" is "lognl1/2-1/2"); every other message as it
// came.
std::string RestoreCutDrawText(const std::string& utf8Message);

class TModemLink : public ISender, public ILinkControl {
 public:
  // The settings are the program's own (modemPort, pulseDialling and the
  // [Ports] devices) and must outlive the link; `timerTagOffset` as for
  // TModem.
  TModemLink(TSettings& settings, TTimers& timers, int timerTagOffset = 0);
  ~TModemLink() override;
  TModemLink(const TModemLink&) = delete;
  TModemLink& operator=(const TModemLink&) = delete;

  // Screens and match may come after construction; until
  // then the prompts show nothing, and so on.
  void SetScreens(TScreenData& screen, IDialogPanel& panel);
  // modemLinkUp lives in the match; a NO CARRIER during a match goes there
  // as a lost carrier.
  void SetMatch(TMatch* match);
  // CloseLanSockets of the LAN link, when the program has one.
  std::function<void()> closeLanSockets;

  // The match's LinkEstablished (called after modemLinkUp is set) and
  // HandleOpponentMessage.
  std::function<void()> onLinkEstablished;
  TMessageHandler onOpponentMessage;
  // For a driver without a panel: a failure the dialling or waiting screen
  // shows in red, with that text.
  std::function<void(const std::string& text)> onFailure;

  TVaComm VaComm1;
  TModem modem;
  TSerialCapture VaCapture1;

  // ---- Called by the screens ----
  void CloseAllLinks();
  void ChooseDefaultModemPort();
  void StartAnswerMode();
  void CancelModemCommand();
  void StartDialling(const std::string& number);
  // ccomport.OnChange: the list shows COM1 .. COM6 as items 0 .. 5.
  void ccomportChange(int itemIndex);

  // ---- Events ----
  void modemRingDetect(int rings, bool& acceptCall);
  void modemConnect(const std::string& connectString);
  void modemBusy();
  void modemCommandTimeout();
  void VaCapture1Message(const std::string& data);

  // ---- ISender ----
  void SendToOpponent(const std::string& text) override;
  // ---- ILinkControl ----
  bool IsServerCopy() const override;
  void CloseLinks() override;
  bool CarrierDetect() const override;

 private:
  enum TLinkState { lsClosed, lsWaitingForCall, lsDialling, lsMatch };
  bool ModemLinkUp() const;
  // The LAN sockets closed, the chosen port opened for `next`; false (after
  // the port error) when it does not open.
  bool OpenPortFor(TLinkState next);
  void ShowPortError();
  void ShowPrompt(const std::string& text, TColor colour);
  void ShowFailure(const std::string& text);
  void modemNoCarrier();
  void modemAnswerFailed();
  void PortDataReceived(std::string_view bytes);

  TSettings& settings;
  TScreenData* screen = nullptr;
  IDialogPanel* panel = nullptr;
  TMatch* match = nullptr;
  // What the link is doing, for the responses that mean different things
  // while dialling, waiting for a call and during a match.
  TLinkState state = lsClosed;
  // The modem said NO CARRIER during the match: the carrier reads as lost
  // until the next connection, whatever the port's line says.
  bool carrierLost = false;
};

}  // namespace zervik
