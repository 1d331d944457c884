// The chat: the one-line entry `echat` sends what the player types, the
// record panel `mchat` shows both players' lines in the writer's colour
// (navy for white, maroon for black) between the black record lines.
#pragma once

#include <string>
#include <vector>

#include "core/services.h"
#include "core/types.h"

namespace zervik {

class TGame;

// The chat entry `echat`.
class IChatEntry {
 public:
  virtual ~IChatEntry() = default;
  virtual std::vector<std::string> Lines() const = 0;  // UTF-8
  virtual void Clear() = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void Focus() = 0;
};

// The sound of a received chat line ("Sounds/chatsound.wav"), played
// asynchronously; a missing file plays nothing.
class IChatSound {
 public:
  virtual ~IChatSound() = default;
  virtual void PlayChatSound() = 0;
};

// Enabling of the record panel `mchat` (its text stays as it is).
class IRecordPanelSwitch {
 public:
  virtual ~IRecordPanelSwitch() = default;
  virtual void SetRecordPanelEnabled(bool enabled) = 0;
};

struct TChatServices {
  IChatEntry* entry = nullptr;
  IRecordPanel* record = nullptr;
  ISender* sender = nullptr;
  IChatSound* sound = nullptr;           // may be null: no sound
  IRecordPanelSwitch* recordSwitch = nullptr;  // may be null
};

inline constexpr int kEnterKey = 13;

// Colour of the chat lines written by the player of `colour` (0 white).
constexpr TColor ChatColourOf(int colour) { return colour == 0 ? clNavy : clMaroon; }

class TChat {
 public:
  // `playerName` is read at every line, so it follows the name typed on the
  // set-up screen. Both references must outlive the chat.
  TChat(const TGame& game, const std::string& playerName, const TChatServices& services);

  TChatServices services;

  // The entry's key handler; acts on Enter (key code 13) only. Returns true
  // when it acted on the key.
  bool echatKeyDown(int key);
  // A received "cht" payload: "name: text".
  void ShowOpponentChat(const std::string& text);
  // The record panel's change handler: the typing focus goes back to the
  // entry while it is enabled.
  void mchatChange();

  // Link up: both controls enabled. Match ended: the entry disabled, the
  // panel keeps its text and stays enabled.
  void EnableChat();
  void DisableChatEntry();

 private:
  // A "nah" line naming a board cell with two digits 1 ... 8.
  bool RunInspectionCommand(const std::string& line);

  const TGame& game;
  const std::string& playerName;
};

}  // namespace zervik
