#include "screens/program.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTextEdit>

#include "platform/timers.h"

namespace zervik {

namespace {

// Every tag a timer of the program may carry.
constexpr int kProgramTimerTags[] = {
    tagDialogPanel,  tagRestorePrompt, tagConnectLimit,  tagBannerGrow, tagBannerHold,
    tagBannerShrink, tagAnimation,     tagRefusalNotice, tagLinkWatch,  tagKeepAlive,
    tagModemCommand, tagModemDial,     tagModemAnswer,   tagModemPause};

}  // namespace

std::vector<std::string> TProgram::TChatControls::Lines() const {
  return {form.echat->text().toStdString()};
}
void TProgram::TChatControls::Clear() { form.echat->clear(); }
bool TProgram::TChatControls::Enabled() const { return form.echat->isEnabled(); }
void TProgram::TChatControls::SetEnabled(bool enabled) { form.echat->setEnabled(enabled); }
void TProgram::TChatControls::Focus() { form.echat->setFocus(); }
void TProgram::TChatControls::PlayChatSound() {
  const QString file =
      QString::fromLatin1(kChatSoundFile.data(), static_cast<qsizetype>(kChatSoundFile.size()));
  chatSound.Play(form.skins.Locate(file).toStdString());
}
void TProgram::TChatControls::SetRecordPanelEnabled(bool enabled) {
  form.mchat->setEnabled(enabled);
}

TProgram::TProgram(TProgramOptions options)
    : form1(std::move(options.form)),
      timers(options.timers ? *options.timers : static_cast<TTimers&>(form1.timers)),
      lan(timers, options.lanPort >= 0 ? options.lanPort : form1.settings.lanPort),
      modem(form1.settings, timers),
      panel(form1, timers),
      banners(form1, timers, panel),
      match(form1.game, form1.screen,
            TMatchServices{&lan, &lan, &panel, &banners, &form1, &timers, nullptr}),
      chatControls(form1),
      chat(form1.game, match.playerName,
           TChatServices{&chatControls, &form1, &lan, &chatControls, &chatControls}),
      menu(form1, match, panel, &lan) {
  match.services.chat = &chat;
  match.playerName = form1.settings.playerName;
  lan.serverAddress = form1.settings.serverAddress;

  TGameServices& services = form1.game.services;
  services.sender = &lan;
  services.banners = &banners;
  services.record = &form1;
  services.view = &form1;
  services.timers = &timers;
  services.btnDraw = &form1.screen.screenButtons[btnDraw];

  panel.SetMatch(&match);
  panel.SetLanLink(&lan);
  panel.SetModemLink(&modem);
  lan.SetScreens(form1.screen, panel);
  lan.onLinkEstablished = [this] { match.LinkEstablished(); };
  lan.onOpponentMessage = [this](const std::string& message) {
    match.HandleOpponentMessage(message);
  };
  // The modem line sits behind the LAN link: the LAN link sends through it
  // when no socket carries the match, and answers for it as the link.
  lan.SetSerialLink(&modem, &modem);
  modem.SetScreens(form1.screen, panel);
  modem.SetMatch(&match);
  modem.closeLanSockets = [this] { lan.CloseLanSockets(); };
  modem.onLinkEstablished = [this] { match.LinkEstablished(); };
  modem.onOpponentMessage = [this](const std::string& message) {
    match.HandleOpponentMessage(message);
  };

  form1.seams.dialogPanel = &panel;
  form1.seams.mouse = &menu;
  form1.seams.coloursChosen = [this] { return match.coloursChosen; };
  form1.seams.closeLanSockets = [this] { lan.CloseLanSockets(); };

  // Enter in the chat entry sends the line; the field of the screens
  // confirms nothing (only the panel's buttons do).
  QObject::connect(form1.echat, &QLineEdit::returnPressed, &form1,
                   [this] { chat.echatKeyDown(kEnterKey); });
  QObject::connect(form1.ccomport, &QComboBox::currentIndexChanged, &form1,
                   [this](int index) { panel.ccomportChange(index); });
}

TProgram::~TProgram() {
  form1.settings.playerName = match.playerName;
  form1.settings.serverAddress = lan.serverAddress;
  for (int tag : kProgramTimerTags) timers.FreeTimers(tag);
}

}  // namespace zervik
