// The whole program as one object: the main window with its game and screen
// data, the LAN link and the modem link behind it, the dialog panel and its screens, the banners,
// the match, the chat and the menu bar, each wired to the others through the window's seams and the
// game's services. Two programs can live in one process (a test plays one against the other).
#pragma once

#include <memory>

#include "links/lan_link.h"
#include "links/modem_link.h"
#include "platform/qt_sound.h"
#include "protocol/chat.h"
#include "protocol/match.h"
#include "screens/banners.h"
#include "screens/dialog_panel.h"
#include "screens/menu_bar.h"
#include "shell/form1.h"

namespace zervik {

struct TProgramOptions {
  TForm1Options form;
  // The timers every part runs on; empty means the window's own Qt timers.
  // Tests hand in a virtual clock.
  TTimers* timers = nullptr;
  // The LAN port; negative means the settings' lanPort (0 lets the server
  // take any free port).
  int lanPort = -1;
};

class TProgram {
 public:
  explicit TProgram(TProgramOptions options = {});
  // Keeps the name and the address typed in the settings, then frees every
  // timer of the program before its parts go.
  ~TProgram();
  TProgram(const TProgram&) = delete;  // the parts point at each other
  TProgram& operator=(const TProgram&) = delete;

 private:
  // The chat entry `echat`, its sound and the record panel's enabling, as
  // the chat asks for them.
  class TChatControls final : public IChatEntry, public IChatSound, public IRecordPanelSwitch {
   public:
    explicit TChatControls(TForm1& form) : form(form) {}
    std::vector<std::string> Lines() const override;
    void Clear() override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    void Focus() override;
    void PlayChatSound() override;
    void SetRecordPanelEnabled(bool enabled) override;

   private:
    TForm1& form;
    TSoundPlayer chatSound;
  };

 public:
  TForm1 form1;
  TTimers& timers;
  TLanLink lan;
  TModemLink modem;
  TDialogPanel panel;
  TBanners banners;
  TMatch match;

 private:
  TChatControls chatControls;

 public:
  TChat chat;
  TMenuBar menu;
};

}  // namespace zervik
