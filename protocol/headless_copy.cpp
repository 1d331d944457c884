#include "protocol/headless_copy.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace zervik {

namespace {

// Tag of the timer that runs the posted hooks; no timer of the program
// uses it.
constexpr int kHookTag = 900;
constexpr int kHookDelayMs = 1;

constexpr int kNoTurn = -1;

}  // namespace

// ---------------------------------------------------------------------------
// The stand-ins

struct THeadlessCopy::TParts {
  // Timers of this copy: tags moved by the copy's offset, intervals scaled,
  // and after every handler the copy looks at what changed.
  class TCopyTimers final : public TTimers {
   public:
    TCopyTimers(THeadlessCopy& copy, TTimers& owner, const TOptions& options)
        : copy(copy), owner(owner), offset(options.timerTagOffset), scale(options.timeScale) {}
    void CreateTimer(int tag, int intervalMs, THandler onTimer) override {
      const int real = tag + offset;
      used.insert(real);
      const double scaled = std::llround(static_cast<double>(intervalMs) * scale);
      const int interval = static_cast<int>(std::max(1.0, scaled));
      owner.CreateTimer(real, interval, [this, handler = std::move(onTimer)] {
        handler();
        copy.Observe();
      });
    }
    void FreeTimers(int tag) override { owner.FreeTimers(tag + offset); }
    bool HasTimer(int tag) const override { return owner.HasTimer(tag + offset); }
    void FreeAll() {
      for (int tag : used) owner.FreeTimers(tag);
    }

   private:
    THeadlessCopy& copy;
    TTimers& owner;
    int offset;
    double scale;
    std::set<int> used;
  };

  class TRecord final : public IRecordPanel, public IRecordPanelSwitch {
   public:
    explicit TRecord(THeadlessCopy& copy) : copy(copy) {}
    void FocusAtEnd() override { copy.parts->entry.focused = false; }
    void SetSelectionColour(TColor colour) override { selectionColour = colour; }
    void AddLine(const std::string& text) override {
      lines.push_back({text, selectionColour});
      if (copy.hooks.recordLineAdded) copy.hooks.recordLineAdded(static_cast<int>(lines.size()) - 1, text);
      copy.chat.mchatChange();
    }
    int LineCount() const override { return static_cast<int>(lines.size()); }
    std::string Line(int index) const override {
      if (index < 0 || index >= LineCount()) return {};
      return lines[static_cast<std::size_t>(index)].text;
    }
    void ReplaceLine(int index, const std::string& text) override {
      if (index < 0 || index >= LineCount()) return;
      lines[static_cast<std::size_t>(index)].text = text;
      copy.chat.mchatChange();
    }
    void SetRecordPanelEnabled(bool value) override { enabled = value; }

    std::vector<THeadlessRecordLine> lines;
    TColor selectionColour = clBlack;
    bool enabled = false;

   private:
    THeadlessCopy& copy;
  };

  class TEntry final : public IChatEntry, public IChatSound {
   public:
    std::vector<std::string> Lines() const override { return lines; }
    void Clear() override { lines.clear(); }
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool value) override {
      enabled = value;
      if (!enabled) focused = false;
    }
    void Focus() override { focused = true; }
    void PlayChatSound() override { ++soundsPlayed; }

    std::vector<std::string> lines;
    bool enabled = false;
    bool focused = false;
    int soundsPlayed = 0;
  };

  class TView final : public IGameView {
   public:
    void RedrawPieces(int) override {}
    void DrawWindowFrame(int) override {}
    void LoadSkin() override {}
    void ShowPromotionChooser() override {}
    void HidePromotionChooser() override {}
    void PlayMoveSound() override {}
  };

  // The banner queue: grow, hold and shrink on the Tag 40, 41 and 42
  // timers, then the end effects and the next notice.
  class TBanners final : public IBanners {
   public:
    explicit TBanners(THeadlessCopy& copy) : copy(copy) {}
    void ShowBanner(const std::string& text, int holdMs, TColor textColour, bool turnValue,
                    bool setTurnOnClose, bool mainMenuOnClose) override {
      const THeadlessBanner banner{text, holdMs, textColour, turnValue, setTurnOnClose, mainMenuOnClose};
      requested.push_back(banner);
      if (copy.hooks.bannerShown) copy.hooks.bannerShown(banner);
      if (active) {
        // A full queue drops the notice: it may not be kept anywhere else.
        if (queue.size() < static_cast<std::size_t>(kBannerQueueSlots)) queue.push_back(banner);
        return;
      }
      Start(banner);
    }

    void Start(const THeadlessBanner& banner) {
      current = banner;
      active = true;
      ticks = 0;
      timers().CreateTimer(tagBannerGrow, kBannerTickMs, [this] { GrowTick(); });
    }
    void GrowTick() {
      if (++ticks < kBannerSteps) return;
      timers().CreateTimer(tagBannerHold, std::max(current.holdMs, 1), [this] { HoldEnd(); });
      timers().FreeTimers(tagBannerGrow);
    }
    void HoldEnd() {
      ticks = 0;
      timers().CreateTimer(tagBannerShrink, kBannerTickMs, [this] { ShrinkTick(); });
      timers().FreeTimers(tagBannerHold);
    }
    void ShrinkTick() {
      if (++ticks < kBannerSteps) return;
      if (current.setTurnOnClose) copy.game.myTurn = current.turnValue;
      active = false;
      if (current.mainMenuOnClose) {
        copy.screen.screenState = ssMainMenu;
        copy.parts->panel.OpenDialogPanel();
      }
      timers().FreeTimers(tagBannerShrink);
      if (!active && !queue.empty()) {
        const THeadlessBanner next = queue.front();
        queue.pop_front();
        Start(next);
      }
    }

    std::vector<THeadlessBanner> requested;
    std::deque<THeadlessBanner> queue;
    THeadlessBanner current;
    bool active = false;
    int ticks = 0;

   private:
    TTimers& timers() { return copy.parts->timers; }
    THeadlessCopy& copy;
  };

  // The dialog panel: the screen's layout is set up, its opening action
  // runs and its buttons become usable, at once or after the transition
  // time.
  class TPanel final : public IDialogPanel {
   public:
    TPanel(THeadlessCopy& copy, const TOptions& options)
        : copy(copy), transitionMs(options.panelTransitionMs) {}

    void OpenDialogPanel() override {
      TScreenData& screen = copy.screen;
      screen.panelInTransition = true;
      for (int i = btnPanelLow; i <= btnPanelTop; ++i) screen.screenButtons[i].enabled = false;
      screen.panelShown = true;
      HideDialogFields();
      if (transitionMs <= 0) {
        FinishTransition();
        return;
      }
      // A transition asked for during a running one replaces it.
      TTimers& timers = copy.parts->timers;
      timers.FreeTimers(tagDialogPanel);
      timers.CreateTimer(tagDialogPanel, transitionMs, [this] {
        copy.parts->timers.FreeTimers(tagDialogPanel);
        FinishTransition();
      });
    }
    void PaintDialogPanel(bool) override { ++paints; }
    void CentreDialogTexts() override {}
    void HideDialogFields() override {
      for (int i = btnPanelLow; i <= btnPanelTop; ++i) copy.screen.screenButtons[i].visible = false;
      nameFieldShown = false;
      promptShown = false;
    }
    void VanishPanel() override {}

    bool nameFieldShown = false;
    bool promptShown = false;
    int paints = 0;
    int gamesStarted = 0;

   private:
    void FinishTransition() {
      TScreenData& screen = copy.screen;
      const int state = screen.screenState;
      if (state == ssStartGame || state == ssBoardOnly) {
        screen.panelShown = false;
        if (state == ssStartGame) {
          ++gamesStarted;
          copy.match.StartGamePanelClosed();
        } else {
          copy.match.BoardOnlyPanelClosed();
        }
        screen.panelInTransition = false;
      } else {
        SetUpDialogScreen(state);
        RunOpeningAction(state);
        for (int i = btnPanelLow; i <= btnPanelTop; ++i) screen.screenButtons[i].enabled = true;
        copy.match.ApplyDeferredClaim();
        screen.panelInTransition = false;
      }
      copy.Post([this, state] {
        if (copy.hooks.screenOpened) copy.hooks.screenOpened(state);
      });
    }

    void SetButton(int index, const std::string& caption) {
      TScreenButton& button = copy.screen.screenButtons[index];
      button.caption = caption;
      button.visible = true;
      button.textColour = clBlack;
    }

    void SetUpDialogScreen(int state) {
      TScreenData& screen = copy.screen;
      screen.promptColour = clBlack;
      screen.promptText.clear();
      switch (state) {
        case ssMainMenu:
          SetButton(btnPanelMid, "Игра по модему");
          SetButton(btnPanelTop, "Игра по локальной сети");
          break;
        case ssLanMenu:
          SetButton(btnPanelLow, "Назад");
          SetButton(btnPanelMid, "Подключиться");
          SetButton(btnPanelTop, "Сервер");
          break;
        case ssLanWaitClient:
        case ssModemWaitCall:
          screen.promptText = "Ожидание соединения...";
          SetButton(btnPanelLow, "Назад");
          break;
        case ssLanEnterHost:
          screen.promptText = "Укажите ip адрес или имя сервера:";
          SetButton(btnPanelLow, "Назад");
          SetButton(btnPanelMid, "ОК");
          break;
        case ssModemMenu:
          screen.promptText = "Укажите порт модема:";
          SetButton(btnPanelLow, "Назад");
          SetButton(btnPanelMid, "Подключиться");
          SetButton(btnPanelTop, "Ожидание подключения");
          break;
        case ssModemEnterNumber:
          screen.promptText = "Введите телефонный номер:";
          SetButton(btnPanelLow, "Назад");
          SetButton(btnPanelMid, "ОК");
          break;
        case ssModemDialling:
          screen.promptText = "Набор номера...";
          SetButton(btnPanelLow, "Назад");
          break;
        case ssPlayerSetup:
          copy.nameField = copy.match.playerName;
          if (screen.newGameRequested) {
            screen.promptText = "Ожидание подтверждения";
          } else {
            screen.promptText = "Введите имя:";
            SetButton(btnPanelLow, "Черные");
            SetButton(btnPanelMid, "Белые");
          }
          break;
        case ssNewGameQuery:
          screen.promptText = copy.match.opponentName + " желает начать новую игру. Вы согласны?";
          SetButton(btnPanelLow, "Нет");
          SetButton(btnPanelMid, "Да");
          break;
        default:
          break;
      }
      promptShown = !screen.promptText.empty();
    }

    void RunOpeningAction(int state) {
      switch (state) {
        case ssMainMenu:
          if (copy.match.services.links) copy.match.services.links->CloseLinks();
          break;
        case ssPlayerSetup:
          nameFieldShown = copy.match.PlayerSetupOpened();
          break;
        default:
          break;
      }
    }

    THeadlessCopy& copy;
    int transitionMs;
  };

  TParts(THeadlessCopy& copy, TTimers& owner, const TOptions& options)
      : timers(copy, owner, options), record(copy), banners(copy), panel(copy, options) {}

  TCopyTimers timers;
  TRecord record;
  TEntry entry;
  TView view;
  TBanners banners;
  TPanel panel;

  std::deque<std::function<void()>> posted;
  int turnGame = kNoTurn;  // the turn the myTurn hook was last posted for
  int turnMove = kNoTurn;
};

// ---------------------------------------------------------------------------
// The copy

THeadlessCopy::THeadlessCopy(ISender& sender, ILinkControl& links, TTimers& timers)
    : THeadlessCopy(sender, links, timers, TOptions{}) {}

THeadlessCopy::THeadlessCopy(ISender& sender, ILinkControl& links, TTimers& timers,
                             const TOptions& options)
    : parts(std::make_unique<TParts>(*this, timers, options)),
      game(TGameServices{&sender, &parts->banners, &parts->record, &parts->view, &parts->timers,
                         &screen.screenButtons[btnDraw]}),
      match(game, screen,
            TMatchServices{&sender, &links, &parts->panel, &parts->banners, &parts->view, &parts->timers,
                           nullptr}),
      chat(game, match.playerName,
           TChatServices{&parts->entry, &parts->record, &sender, &parts->entry, &parts->record}) {
  match.services.chat = &chat;
  // The menu as it stands at start-up.
  const char* captions[] = {"Новая игра", "Опции", "О программе", "Выход", "Предложить ничью"};
  for (int i = btnNewGame; i <= btnDraw; ++i) screen.screenButtons[i].caption = captions[i];
  for (int i : {btnNewGame, btnDraw}) {
    screen.screenButtons[i].enabled = false;
    screen.screenButtons[i].textColour = clSilver;
  }
  for (int i = btnPanelLow; i <= btnPanelTop; ++i) screen.screenButtons[i].visible = false;
}

THeadlessCopy::~THeadlessCopy() { parts->timers.FreeAll(); }

void THeadlessCopy::Post(std::function<void()> action) {
  parts->posted.push_back(std::move(action));
  if (parts->timers.HasTimer(kHookTag)) return;
  parts->timers.CreateTimer(kHookTag, kHookDelayMs, [this] {
    parts->timers.FreeTimers(kHookTag);
    while (!parts->posted.empty()) {
      std::function<void()> next = std::move(parts->posted.front());
      parts->posted.pop_front();
      next();
    }
  });
}

void THeadlessCopy::Observe() {
  if (!CanMove()) return;
  const int gameNumber = GamesStarted();
  if (parts->turnGame == gameNumber && parts->turnMove == game.moveNumber) return;
  parts->turnGame = gameNumber;
  parts->turnMove = game.moveNumber;
  Post([this] {
    if (!CanMove()) {
      // The turn was taken away before the player could use it (a question
      // opened); it is offered again when it comes back.
      parts->turnGame = kNoTurn;
      parts->turnMove = kNoTurn;
      return;
    }
    if (hooks.myTurn) hooks.myTurn();
  });
}

void THeadlessCopy::LinkEstablished() {
  match.LinkEstablished();
  Observe();
}

void THeadlessCopy::Receive(const std::string& utf8Message) {
  match.HandleOpponentMessage(utf8Message);
  Observe();
}

TPickResult THeadlessCopy::PickColour(int colour) {
  const TPickResult result = match.PickColour(colour, nameField);
  if (result == prWaitingForOpponent) {
    parts->panel.nameFieldShown = false;
    parts->panel.promptShown = true;
  }
  Observe();
  return result;
}

void THeadlessCopy::AnswerNewGame(bool yes) {
  match.AnswerNewGameQuery(yes);
  Observe();
}

bool THeadlessCopy::RequestNewGame() {
  const bool asked = match.RequestNewGame();
  Observe();
  return asked;
}

bool THeadlessCopy::ClickDrawItem() {
  const bool acted = match.DrawItemClicked();
  Observe();
  return acted;
}

void THeadlessCopy::Leave() {
  match.LeaveMatch();
  Observe();
}

void THeadlessCopy::TypeChat(const std::string& text) {
  parts->entry.lines = {text};
  if (parts->entry.enabled) chat.echatKeyDown(kEnterKey);
  Observe();
}

bool THeadlessCopy::PlayMove(const TLocalMove& move) {
  const bool made = PlayLocalMove(game, move);
  match.OpenPendingNewGameQuery();
  Observe();
  return made;
}

bool THeadlessCopy::PressPiece(int x, int y) {
  const bool picked = game.PickUpPiece(game.SquareLeft(x) + game.squareWidth / 2,
                                       game.SquareTop(y) + game.squareHeight / 2);
  Observe();
  return picked;
}

void THeadlessCopy::ReleasePiece() {
  game.DropPiece();
  match.OpenPendingNewGameQuery();
  Observe();
}

const std::vector<THeadlessRecordLine>& THeadlessCopy::RecordLines() const { return parts->record.lines; }

std::vector<std::string> THeadlessCopy::RecordTexts() const {
  std::vector<std::string> texts;
  texts.reserve(parts->record.lines.size());
  for (const auto& line : parts->record.lines) texts.push_back(line.text);
  return texts;
}

const std::vector<THeadlessBanner>& THeadlessCopy::BannersRequested() const {
  return parts->banners.requested;
}
bool THeadlessCopy::BannerActive() const { return parts->banners.active; }
int THeadlessCopy::BannersQueued() const { return static_cast<int>(parts->banners.queue.size()); }
const std::vector<std::string>& THeadlessCopy::ChatEntryLines() const { return parts->entry.lines; }
bool THeadlessCopy::ChatEntryEnabled() const { return parts->entry.enabled; }
bool THeadlessCopy::ChatEntryFocused() const { return parts->entry.focused; }
int THeadlessCopy::ChatSoundsPlayed() const { return parts->entry.soundsPlayed; }
bool THeadlessCopy::RecordPanelEnabled() const { return parts->record.enabled; }
int THeadlessCopy::GamesStarted() const { return parts->panel.gamesStarted; }

bool THeadlessCopy::CanMove() const {
  return game.myTurn && !game.gameOver && !game.pieceDragging && !game.promotionPending &&
         !screen.panelShown && !screen.panelInTransition && match.linkUp;
}

bool THeadlessCopy::Quiet() const {
  return !parts->banners.active && parts->banners.queue.empty() &&
         !parts->timers.HasTimer(tagAnimation) && !screen.panelInTransition;
}

}  // namespace zervik
