#include "links/lan_link.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include "platform/timers.h"

namespace zervik {

namespace {

// An address typed as "[::1]" is taken as "::1": the brackets are how an
// IPv6 address is written in front of a port, and users type them anyway.
QString HostWithoutBrackets(const std::string& address) {
  QString text = QString::fromStdString(address).trimmed();
  if (text.size() >= 2 && text.front() == u'[' && text.back() == u']')
    text = text.mid(1, text.size() - 2);
  return text;
}

}  // namespace

std::string PortTakenText(int port) { return "Порт " + std::to_string(port) + " занят"; }

std::string PortUnavailableText(int port) {
  return "Порт " + std::to_string(port) + " недоступен";
}

TLanLink::TLanLink(TScreenData& screen, IDialogPanel& panel, TTimers& timers, int lanPort,
                   int connectLimitMs, QObject* parent)
    : TLanLink(timers, lanPort, connectLimitMs, parent) {
  SetScreens(screen, panel);
}

TLanLink::TLanLink(TTimers& timers, int lanPort, int connectLimitMs, QObject* parent)
    : QObject(parent),
      timers(timers),
      connectLimitMs(connectLimitMs),
      port(lanPort),
      cs1(new QTcpSocket(this)),
      ss1(new QTcpServer(this)),
      reader([this](const std::string& message) {
        if (onOpponentMessage) onOpponentMessage(message);
      }) {
  connect(cs1, &QTcpSocket::connected, this, &TLanLink::cs1Connect);
  connect(cs1, &QTcpSocket::readyRead, this, &TLanLink::cs1Read);
  connect(cs1, &QTcpSocket::errorOccurred, this, &TLanLink::cs1Error);
  connect(cs1, &QTcpSocket::disconnected, this, &TLanLink::cs1Disconnect);
  connect(ss1, &QTcpServer::newConnection, this, &TLanLink::ss1ClientConnect);
}

void TLanLink::SetScreens(TScreenData& screenData, IDialogPanel& dialogPanel) {
  screen = &screenData;
  panel = &dialogPanel;
}

TLanLink::~TLanLink() {
  // The timers belong to the copy and may outlive the link; their handlers
  // hold `this`.
  timers.FreeTimers(tagConnectLimit);
  timers.FreeTimers(tagRestorePrompt);
  // The sockets go with this object and report their closing as they go;
  // by then nothing here may hear it.
  cs1->disconnect(this);
  ss1->disconnect(this);
  for (QTcpSocket* client : ss1->findChildren<QTcpSocket*>()) client->disconnect(this);
}

void TLanLink::SetSerialLink(ISender* sender, ILinkControl* control) {
  serialSender = sender;
  serialControl = control;
}

// ---------------------------------------------------------------------------
// Active, Host, Port

bool TLanLink::ServerActive() const { return ss1->isListening(); }

void TLanLink::SetServerActive(bool active) {
  if (!active) {
    ss1->close();
    DropServerConnection();
    // Clients accepted by the system but not yet handed to us go with the
    // listening socket.
    while (QTcpSocket* pending = ss1->nextPendingConnection()) {
      pending->abort();
      pending->deleteLater();
    }
    ss1Taken = false;
    return;
  }
  if (ss1->isListening()) return;
  ss1Taken = false;
  // The dual-stack "any" address: one socket takes IPv4 and IPv6 clients.
  if (!ss1->listen(QHostAddress::Any, static_cast<quint16>(port)))
    ShowPortError(ss1->serverError());
}

bool TLanLink::ClientActive() const {
  return cs1->state() == QAbstractSocket::ConnectedState;
}

void TLanLink::SetClientActive(bool active) {
  if (!active) {
    // Cancels a running attempt too, so that a late success cannot start a
    // match from whatever screen is shown by then.
    attemptRunning = false;
    timers.FreeTimers(tagConnectLimit);
    if (cs1->state() == QAbstractSocket::ConnectedState)
      CloseConnection(cs1);
    else if (cs1->state() != QAbstractSocket::UnconnectedState &&
             cs1->state() != QAbstractSocket::ClosingState)
      cs1->abort();
    return;
  }
  switch (cs1->state()) {
    case QAbstractSocket::UnconnectedState:
      break;
    case QAbstractSocket::ClosingState:
      // The last match's "ext" may still be on its way; a new attempt
      // matters more.
      cs1->abort();
      break;
    default:
      return;  // connected, or an attempt is running
  }
  attemptRunning = true;
  timers.FreeTimers(tagConnectLimit);
  timers.CreateTimer(tagConnectLimit, connectLimitMs, [this] { ConnectLimitReached(); });
  const QString target = HostWithoutBrackets(host);
  const quint16 targetPort = static_cast<quint16>(port);
  // A literal address, scope id ("fe80::1%eth0") included, needs no look-up.
  QHostAddress literal;
  if (literal.setAddress(target))
    cs1->connectToHost(literal, targetPort);
  else
    cs1->connectToHost(target, targetPort);
}

int TLanLink::ListeningPort() const { return ss1->isListening() ? ss1->serverPort() : 0; }

bool TLanLink::ServerConnected() const {
  return ss1Connection && ss1Connection->state() == QAbstractSocket::ConnectedState;
}

// ---------------------------------------------------------------------------
// The screens' operations

void TLanLink::CloseLanSockets() {
  SetServerActive(false);
  SetClientActive(false);
}

void TLanLink::StartLanServer() {
  SetServerActive(true);
  SetClientActive(false);
}

void TLanLink::ConnectToServer(const std::string& address) {
  if (address.empty()) return;
  serverAddress = address;
  SetHost(address);
  // A new attempt makes an old failure notice stale.
  timers.FreeTimers(tagRestorePrompt);
  SetClientActive(true);
}

// ---------------------------------------------------------------------------
// Sending

void TLanLink::SendToOpponent(const std::string& text) {
  if (ss1->isListening()) {
    // Listening without an opponent: there is nobody to write to.
    if (ServerConnected()) ss1Connection->write(QByteArray::fromStdString(FrameForTcp(text)));
    return;
  }
  if (ClientActive()) {
    cs1->write(QByteArray::fromStdString(FrameForTcp(text)));
    return;
  }
  if (serialSender) serialSender->SendToOpponent(text);
}

// ---------------------------------------------------------------------------
// ILinkControl

bool TLanLink::IsServerCopy() const {
  return ss1->isListening() || (serialControl && serialControl->IsServerCopy());
}

void TLanLink::CloseLinks() {
  SetServerActive(false);
  SetClientActive(false);
  // Whatever the closed link still had on its way is no longer the match's.
  reader.Reset();
}

bool TLanLink::CarrierDetect() const { return serialControl && serialControl->CarrierDetect(); }

// ---------------------------------------------------------------------------
// cs1

void TLanLink::cs1Connect() {
  if (!attemptRunning) {
    // Only reachable if the platform reports a connection after we gave
    // the attempt up; it must not start a match.
    cs1->abort();
    return;
  }
  attemptRunning = false;
  timers.FreeTimers(tagConnectLimit);
  // Moves and chat lines are small and wait for no more bytes.
  cs1->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  reader.Reset();
  if (onLinkEstablished) onLinkEstablished();
}

void TLanLink::cs1Read() {
  // Read everything before handing it on: a message may close the socket.
  const QByteArray bytes = cs1->readAll();
  // What arrives while our side closes belongs to a match that has ended.
  if (cs1->state() != QAbstractSocket::ConnectedState) return;
  reader.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void TLanLink::cs1Error(QAbstractSocket::SocketError) {
  // Errors of a connection that stands (a reset during a game) are
  // swallowed: the link watch notices a dead link.
  if (!attemptRunning) return;
  FailConnectionAttempt();
}

void TLanLink::cs1Disconnect() {}

void TLanLink::ConnectLimitReached() {
  timers.FreeTimers(tagConnectLimit);
  if (!attemptRunning) return;
  cs1->abort();
  FailConnectionAttempt();
}

void TLanLink::FailConnectionAttempt() {
  attemptRunning = false;
  timers.FreeTimers(tagConnectLimit);
  if (screen && screen->panelShown && screen->screenState == ssLanEnterHost) {
    screen->promptColour = clRed;
    screen->promptText = kServerNotFoundText;
    // Not re-centred: the text starts where the prompt started.
    panel->PaintDialogPanel(true);
    timers.FreeTimers(tagRestorePrompt);
    timers.CreateTimer(tagRestorePrompt, kRestorePromptMs, [this] { RestoreHostPrompt(); });
  }
  if (onConnectionFailed) onConnectionFailed();
}

void TLanLink::RestoreHostPrompt() {
  if (screen && screen->screenState == ssLanEnterHost) {
    screen->screenButtons[btnPanelMid].visible = true;
    screen->promptColour = clBlack;
    screen->promptText = kHostPromptText;
    panel->PaintDialogPanel(true);
  }
  timers.FreeTimers(tagRestorePrompt);
}

// ---------------------------------------------------------------------------
// ss1

void TLanLink::ss1ClientConnect() {
  while (QTcpSocket* client = ss1->nextPendingConnection()) {
    if (ss1Taken) {
      // One opponent per listening session: a further client is sent away
      // without touching the match that runs.
      client->abort();
      client->deleteLater();
      continue;
    }
    ss1Taken = true;
    ss1Connection = client;
    client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(client, &QTcpSocket::readyRead, this, &TLanLink::ss1ClientRead);
    connect(client, &QTcpSocket::errorOccurred, this, &TLanLink::ss1ClientError);
    connect(client, &QTcpSocket::disconnected, this, &TLanLink::ss1ClientDisconnect);
    reader.Reset();
    if (onLinkEstablished) onLinkEstablished();
    // LinkEstablished may have closed the server (a handler that ends the
    // match at once); the rest of the queue went with it.
    if (!ss1->isListening()) return;
  }
}

void TLanLink::ss1ClientRead() {
  auto* client = qobject_cast<QTcpSocket*>(sender());
  if (!client || client != ss1Connection) return;
  const QByteArray bytes = client->readAll();
  reader.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void TLanLink::ss1ClientError(QAbstractSocket::SocketError) {
  // Handled by doing nothing: a dead connection is the link watch's to
  // notice.
}

void TLanLink::ss1ClientDisconnect() {
  auto* client = qobject_cast<QTcpSocket*>(sender());
  if (!client) return;
  // The connection leaves the list; ss1 goes on listening, and stays
  // taken, until the match ends.
  if (client == ss1Connection) ss1Connection = nullptr;
  client->deleteLater();
}

void TLanLink::DropServerConnection() {
  if (!ss1Connection) return;
  QTcpSocket* client = ss1Connection;
  ss1Connection = nullptr;
  client->disconnect(this);
  if (client->state() == QAbstractSocket::ConnectedState) {
    CloseConnection(client);
    // Deleted once the last bytes are out; never at once, since this may
    // run inside the connection's own read event.
    if (client->state() != QAbstractSocket::UnconnectedState) {
      connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
      return;
    }
  } else {
    client->abort();
  }
  client->deleteLater();
}

void TLanLink::CloseConnection(QTcpSocket* socket) {
  // The last message written (an "ext") must reach the peer: the socket
  // is closed once what it holds is written, not thrown away. Flushing
  // first hands it to the system now, before any exit.
  socket->flush();
  socket->disconnectFromHost();
}

void TLanLink::ShowPortError(int errorCode) {
  if (!screen || screen->screenState != ssLanWaitClient) return;
  screen->promptColour = clRed;
  screen->promptText = errorCode == QAbstractSocket::AddressInUseError
                           ? PortTakenText(port)
                           : PortUnavailableText(port);
  panel->CentreDialogTexts();
  panel->PaintDialogPanel(true);
}

}  // namespace zervik
