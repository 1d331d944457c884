// The screens of the dialog panel: what each one shows, what runs when it
// has opened, and what its buttons do.
#include <QComboBox>
#include <QLineEdit>

#include "links/lan_link.h"
#include "links/modem_link.h"
#include "platform/timers.h"
#include "protocol/match.h"
#include "screens/dialog_panel.h"
#include "shell/form1.h"

namespace zervik {

namespace {

constexpr int kFieldTopOffset = 30;    // field top below the panel's top edge
constexpr int kWaitingPromptTop = 20;  // prompt top of the waiting screens
constexpr int kStackBottomGap = 20;    // bottom stack above the panel's bottom edge
constexpr int kSwitchBelowField = 20;
constexpr int kQueryPromptTop = 10;  // below the top of the 150-pixel question
constexpr int kWhite = 0;
constexpr int kBlack = 1;

struct TPanelSize {
  int width;
  int height;
};

TPanelSize SizeOf(int state) {
  switch (state) {
    case ssMainMenu:
    case ssLanMenu:
      return {kPanelWidth, 100};
    case ssLanWaitClient:
    case ssModemWaitCall:
    case ssModemDialling:
      return {kPanelWidth, 110};
    case ssLanEnterHost:
      return {kPanelWidth, 140};
    case ssModemMenu:
    case ssModemEnterNumber:
      return {kPanelWidth, 180};
    case ssPlayerSetup:
      return {kPanelWidth, 150};
    case ssNewGameQuery:
      return {kQueryPanelWidth, 150};
    default:
      return {kPanelWidth, 0};
  }
}

}  // namespace

std::string TDialogPanel::FieldText() const { return form.eip->text().toStdString(); }

void TDialogPanel::SetFieldText(const std::string& text) {
  form.eip->setText(QString::fromStdString(text));
}

void TDialogPanel::SetButton(int index, const char* caption, int top) {
  TScreenButton& button = screen.screenButtons[index];
  button.caption = caption;
  button.top = top;
  button.visible = true;
  button.textColour = clBlack;
}

// ---------------------------------------------------------------------------
// Layouts

void TDialogPanel::SetUpDialogScreen() {
  const int state = screen.screenState;
  const TPanelSize size = SizeOf(state);
  form.panelWidth = static_cast<float>(size.width);
  form.panelHeight = static_cast<float>(size.height);
  const int h = size.height;
  const int bh = form.buttonHeight;
  const int cy = CentreY();
  const int th = TextHeightOfFont();
  const int stackLow = cy + h / 2 - kStackBottomGap - bh;
  const int fieldTop = cy - h / 2 + kFieldTopOffset;

  screen.promptColour = clBlack;
  screen.promptText.clear();
  promptVisible = false;
  showsEditField = false;
  dialModeVisible = false;

  // The field eip (or the port list) under the prompt, as wide as the
  // prompt unless a width is given.
  const auto placeField = [&](QWidget* field, int width) {
    field->setGeometry(field->x(), fieldTop, width, field->height());
    promptTop = fieldTop - th - 2;
  };
  const auto prompt = [&](const std::string& text) {
    screen.promptText = text;
    promptVisible = true;
  };

  switch (state) {
    case ssMainMenu:
      SetButton(btnPanelMid, kMainMenuModem, cy);
      SetButton(btnPanelTop, kMainMenuLan, cy - bh);
      break;
    case ssLanMenu: {
      const int top = cy - bh - bh / 2;
      SetButton(btnPanelTop, "Сервер", top);
      SetButton(btnPanelMid, "Подключиться", top + bh);
      SetButton(btnPanelLow, kBackCaption, top + 2 * bh);
      break;
    }
    case ssLanWaitClient:
    case ssModemWaitCall:
      prompt("Ожидание соединения...");
      promptTop = cy - h / 2 + kWaitingPromptTop;
      SetButton(btnPanelLow, kBackCaption, stackLow);
      break;
    case ssModemDialling:
      prompt("Набор номера...");
      promptTop = cy - h / 2 + kWaitingPromptTop;
      SetButton(btnPanelLow, kBackCaption, stackLow);
      break;
    case ssLanEnterHost:
      prompt(kHostPromptText);
      SetFieldText(lan ? lan->serverAddress : form.settings.serverAddress);
      placeField(form.eip, TextWidthOf(screen.promptText));
      showsEditField = true;
      SetButton(btnPanelLow, kBackCaption, stackLow);
      SetButton(btnPanelMid, kOkCaption, stackLow - bh);
      break;
    case ssModemMenu:
      prompt("Укажите порт модема:");
      placeField(form.ccomport, TextWidthOf(screen.promptText));
      SetButton(btnPanelLow, kBackCaption, stackLow);
      SetButton(btnPanelMid, "Подключиться", stackLow - bh);
      SetButton(btnPanelTop, "Ожидание подключения", stackLow - 2 * bh);
      break;
    case ssModemEnterNumber:
      prompt("Введите телефонный номер:");
      SetFieldText(form.settings.phoneNumber);
      placeField(form.eip, TextWidthOf(screen.promptText));
      showsEditField = true;
      SetButton(btnPanelLow, kBackCaption, stackLow);
      SetButton(btnPanelMid, kOkCaption, stackLow - bh);
      dialModeText = form.settings.pulseDialling ? "Импульсный" : "Тоновый";
      dialModeTop = form.eip->y() + form.eip->height() + kSwitchBelowField;
      dialModeWidth = TextWidthOf(dialModeText);
      dialModeHeight = th;
      dialModeVisible = true;
      break;
    case ssPlayerSetup:
      SetFieldText(match ? match->playerName : form.settings.playerName);
      if (screen.newGameRequested) {
        prompt("Ожидание подтверждения");
        promptTop = cy - th / 2;
      } else {
        prompt("Введите имя:");
        placeField(form.eip, kNameFieldWidth);
        showsEditField = true;
        SetButton(btnPanelLow, "Черные", stackLow);
        SetButton(btnPanelMid, "Белые", stackLow - bh);
      }
      break;
    case ssNewGameQuery:
      prompt((match ? match->opponentName : std::string()) +
             " желает начать новую игру. Вы согласны?");
      promptTop = cy - h / 2 + kQueryPromptTop;
      SetButton(btnPanelLow, "Нет", stackLow);
      SetButton(btnPanelMid, "Да", stackLow - bh);
      break;
    default:
      break;
  }
  CentreDialogTexts();
}

// ---------------------------------------------------------------------------
// Opening actions

void TDialogPanel::CloseAllLinks() {
  if (modem) {
    modem->CloseAllLinks();  // the LAN sockets first, then the serial port
    return;
  }
  if (lan) lan->CloseLanSockets();
}

void TDialogPanel::RunOpeningAction(int state) {
  switch (state) {
    case ssMainMenu:
      CloseAllLinks();
      break;
    case ssLanMenu:
      if (lan) lan->CloseLanSockets();
      break;
    case ssLanWaitClient:
      if (lan) lan->StartLanServer();
      break;
    case ssLanEnterHost:
      form.eip->show();
      if (lan) lan->CloseLanSockets();
      break;
    case ssModemMenu: {
      int& port = form.settings.modemPort;
      if (port < kFirstModemPort || port > form.ccomport->count()) {
        // COM3 when it opens, else COM1.
        if (modem)
          modem->ChooseDefaultModemPort();
        else
          port = kFirstModemPort;
      }
      form.ccomport->setCurrentIndex(port - 1);
      form.ccomport->show();
      CloseAllLinks();
      break;
    }
    case ssModemWaitCall:
    case ssModemDialling:
      // A port that cannot be opened shows its error in red and nothing is
      // dialled; "Назад" leads on.
      if (!modem) break;
      if (state == ssModemWaitCall)
        modem->StartAnswerMode();
      else
        modem->StartDialling(FieldText());
      break;
    case ssModemEnterNumber:
      form.eip->show();
      CloseAllLinks();
      if (modem) modem->CancelModemCommand();
      break;
    case ssPlayerSetup:
      if (match ? match->PlayerSetupOpened() : !screen.newGameRequested) {
        form.eip->show();
      } else {
        form.eip->hide();
      }
      break;
    default:
      break;
  }
}

void TDialogPanel::ccomportChange(int itemIndex) {
  if (itemIndex < 0) return;
  if (modem)
    modem->ccomportChange(itemIndex);
  else
    form.settings.modemPort = itemIndex + 1;
}

// ---------------------------------------------------------------------------
// Panel buttons

void TDialogPanel::GoTo(int state) {
  screen.screenState = state;
  OpenDialogPanel();
}

void TDialogPanel::PanelButtonClicked(int index) {
  const bool low = index == btnPanelLow;
  const bool mid = index == btnPanelMid;
  const bool top = index == btnPanelTop;
  switch (screen.screenState) {
    case ssMainMenu:
      if (mid) GoTo(ssModemMenu);
      if (top) GoTo(ssLanMenu);
      break;
    case ssLanMenu:
      if (low) GoTo(ssMainMenu);
      if (mid) GoTo(ssLanEnterHost);
      if (top) GoTo(ssLanWaitClient);
      break;
    case ssLanWaitClient:
      if (low) GoTo(ssLanMenu);
      break;
    case ssLanEnterHost:
      if (low) GoTo(ssLanMenu);
      if (mid) {
        // An empty address starts nothing; "ОК" goes either way, so that
        // a second attempt cannot start while one runs.
        if (lan) lan->ConnectToServer(FieldText());
        screen.screenButtons[btnPanelMid].visible = false;
        PaintDialogPanel(true);
      }
      break;
    case ssModemMenu:
      if (low) GoTo(ssMainMenu);
      if (mid) GoTo(ssModemEnterNumber);
      if (top) GoTo(ssModemWaitCall);
      break;
    case ssModemWaitCall:
      if (low) GoTo(ssModemMenu);
      break;
    case ssModemEnterNumber:
      if (low) GoTo(ssModemMenu);
      if (mid) {
        form.settings.phoneNumber = FieldText();
        GoTo(ssModemDialling);
      }
      break;
    case ssModemDialling:
      if (low) GoTo(ssModemEnterNumber);
      break;
    case ssPlayerSetup:
      if (low) PickColour(kBlack);
      if (mid) PickColour(kWhite);
      break;
    case ssNewGameQuery:
      if (match && (low || mid)) match->AnswerNewGameQuery(mid);
      break;
    default:
      break;
  }
}

void TDialogPanel::PickColour(int colour) {
  if (!match) return;
  const TPickResult result = match->PickColour(colour, FieldText());
  if (result != prWaitingForOpponent) return;
  // "Ожидание другого игрока", centred both ways, without the field.
  promptLeft = CentreX() - TextWidthOf(screen.promptText) / 2;
  promptTop = CentreY() - TextHeightOfFont() / 2;
  form.eip->hide();
  promptVisible = true;
  PaintDialogPanel(true);
}

bool TDialogPanel::DialModeClicked(int X, int Y) {
  if (!dialModeVisible) return false;
  const bool inBand = dialModeLeft - kDialModeBand < X && X < dialModeLeft + dialModeWidth &&
                      dialModeTop < Y && Y < dialModeTop + dialModeHeight;
  if (!inBand) return false;
  bool& pulse = form.settings.pulseDialling;
  pulse = !pulse;
  dialModeText = pulse ? "Импульсный" : "Тоновый";
  CentreDialogTexts();
  PaintDialogPanel(true);
  return true;
}

}  // namespace zervik
