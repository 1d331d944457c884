// The LAN link: one TCP connection between two copies. The server copy
// listens with `ss1` (on IPv4 and IPv6 at once) and keeps exactly one
// connection; the client copy connects with `cs1` to an address or host
// name. Everything runs on the event loop: no call waits for the network.
//
// The link hands what arrives to the match: a connection that stands calls
// the link-up handler, every message cut from the bytes read goes to the
// message handler. It also shows the link's own errors in the dialog
// panel's prompt (a failed connection attempt, a port already taken).
#pragma once

#include <QObject>
#include <QPointer>
#include <QAbstractSocket>
#include <functional>
#include <string>

#include "core/services.h"
#include "platform/settings.h"
#include "protocol/link_control.h"
#include "protocol/screen_state.h"
#include "protocol/wire.h"

class QTcpServer;
class QTcpSocket;

namespace zervik {

class TTimers;

// kDefaultLanPort (2804) comes with the settings.
// An attempt that has not connected by then has failed like any refused
// one; without a limit a silent network would leave the address screen
// waiting for ever.
inline constexpr int kConnectLimitMs = 15000;
// The timer of the connection limit. No other timer of the program carries
// this tag.
inline constexpr int tagConnectLimit = 36;

inline constexpr const char* kHostPromptText = "Укажите ip адрес или имя сервера:";
inline constexpr const char* kServerNotFoundText = "Сервер с таким именем не найден";

// The text shown in red on the waiting screen when `port` cannot be
// listened on.
std::string PortTakenText(int port);
std::string PortUnavailableText(int port);

class TLanLink : public QObject, public ISender, public ILinkControl {
  Q_OBJECT

 public:
  // The screen data, the panel and the timers are the copy's own and must
  // outlive the link. `connectLimitMs` is wall-clock time as the timers
  // count it.
  TLanLink(TScreenData& screen, IDialogPanel& panel, TTimers& timers,
           int lanPort = kDefaultLanPort, int connectLimitMs = kConnectLimitMs,
           QObject* parent = nullptr);
  // Without screens yet (their owner may be built after the link, since it
  // needs the link as its sender); until SetScreens the link's errors show
  // nothing in the panel.
  explicit TLanLink(TTimers& timers, int lanPort = kDefaultLanPort,
                    int connectLimitMs = kConnectLimitMs, QObject* parent = nullptr);
  void SetScreens(TScreenData& screen, IDialogPanel& panel);
  ~TLanLink() override;
  TLanLink(const TLanLink&) = delete;
  TLanLink& operator=(const TLanLink&) = delete;

  // Where a link that has come up and the messages read from it go (the
  // match controller's LinkEstablished and HandleOpponentMessage).
  std::function<void()> onLinkEstablished;
  TMessageHandler onOpponentMessage;
  // A connection attempt has failed (refused, unreachable, no such name,
  // the time limit), whatever screen is shown. For a driver without a
  // panel; the panel's prompt is told separately.
  std::function<void()> onConnectionFailed;

  // The serial line behind the LAN link in SendToOpponent's order, and the
  // modem's side of ILinkControl. Either may be null.
  void SetSerialLink(ISender* serialSender, ILinkControl* serialControl);

  // The last address given to ConnectToServer (kept in the settings).
  std::string serverAddress;

  // ---- The sockets' Active, Host and Port ----
  // ss1.Active: listening.
  bool ServerActive() const;
  void SetServerActive(bool active);
  // cs1.Active: connected (false while an attempt is still running).
  bool ClientActive() const;
  // True starts an attempt to Host():Port(); false closes the connection
  // and cancels an attempt that is still running.
  void SetClientActive(bool active);
  // Whether cs1 has an attempt running that has not connected yet.
  bool ClientConnecting() const { return attemptRunning; }
  const std::string& Host() const { return host; }
  void SetHost(const std::string& address) { host = address; }
  // lanPort, used by both sockets. 0 lets ss1 take any free port.
  int Port() const { return port; }
  void SetPort(int lanPort) { port = lanPort; }
  // The port ss1 is bound to while it listens, 0 otherwise.
  int ListeningPort() const;
  // Whether ss1 holds its one connection right now.
  bool ServerConnected() const;

  // ---- Called by the screens ----
  void CloseLanSockets();
  void StartLanServer();
  void ConnectToServer(const std::string& address);

  // ---- ISender ----
  void SendToOpponent(const std::string& text) override;

  // ---- ILinkControl ----
  bool IsServerCopy() const override;
  void CloseLinks() override;
  bool CarrierDetect() const override;

 private:
  // Socket events.
  void cs1Connect();
  void cs1Read();
  void cs1Error(QAbstractSocket::SocketError error);
  void cs1Disconnect();
  void ss1ClientConnect();
  void ss1ClientRead();
  void ss1ClientError(QAbstractSocket::SocketError error);
  void ss1ClientDisconnect();
  // Timer handlers.
  void RestoreHostPrompt();
  void ConnectLimitReached();

  void FailConnectionAttempt();
  void DropServerConnection();
  void ShowPortError(int errorCode);
  void CloseConnection(QTcpSocket* socket);

  TScreenData* screen = nullptr;
  IDialogPanel* panel = nullptr;
  TTimers& timers;
  int connectLimitMs;
  std::string host;
  int port;

  QTcpSocket* cs1 = nullptr;
  QTcpServer* ss1 = nullptr;
  // The one opponent of the server copy; gone when it disconnects.
  QPointer<QTcpSocket> ss1Connection;
  // The opponent of this listening session has connected: every further
  // client is turned away until ss1 listens anew.
  bool ss1Taken = false;
  bool attemptRunning = false;

  ISender* serialSender = nullptr;
  ILinkControl* serialControl = nullptr;

  // Both sockets feed one reader; only one of them carries a match.
  TTcpReader reader;
};

}  // namespace zervik
