#include "protocol/chat.h"

#include "core/game.h"
#include "platform/text_encoding.h"

namespace zervik {

namespace {

constexpr std::string_view kInspectionCommand = "nah";
constexpr std::size_t kInspectionLength = 5;  // "nah" + column + row

bool IsBoardDigit(char c) { return c >= '1' && c <= '8'; }

}  // namespace

TChat::TChat(const TGame& game, const std::string& playerName, const TChatServices& services)
    : services(services), game(game), playerName(playerName) {}

bool TChat::echatKeyDown(int key) {
  if (key != kEnterKey || !services.entry) return false;
  const std::vector<std::string> lines = services.entry->Lines();
  if (lines.empty() || lines.back().empty()) return true;
  if (RunInspectionCommand(lines.back())) return true;
  // Several lines only come from pasting; the first one is the chat line.
  const std::string line = playerName + ": " + lines.front();
  services.entry->Clear();
  if (services.record) {
    services.record->FocusAtEnd();
    services.record->SetSelectionColour(ChatColourOf(game.localColour));
    services.record->AddLine(line);
    services.record->SetSelectionColour(clBlack);
  }
  if (services.sender) services.sender->SendToOpponent("cht" + line);
  return true;
}

// "nah" + column + row shows the code of that board cell as one character.
// Only two digits 1 ... 8 name a cell; any other "nah" line is chat.
bool TChat::RunInspectionCommand(const std::string& line) {
  if (line.size() < kInspectionLength || line.compare(0, kInspectionCommand.size(), kInspectionCommand) != 0)
    return false;
  const char column = line[3];
  const char row = line[4];
  if (!IsBoardDigit(column) || !IsBoardDigit(row)) return false;
  const std::int8_t code = game.board[column - '0'][row - '0'];
  // The cell's signed byte is read as a Windows-1251 character; an empty
  // square (code 0) gives an empty line.
  const std::string shown =
      code == 0 ? std::string() : Cp1251ToUtf8(std::string(1, static_cast<char>(code)));
  if (services.record) services.record->AddLine(shown);
  return true;
}

void TChat::ShowOpponentChat(const std::string& text) {
  if (services.record) {
    services.record->FocusAtEnd();
    services.record->SetSelectionColour(ChatColourOf(1 - game.localColour));
    services.record->AddLine(text);
    services.record->SetSelectionColour(clBlack);
  }
  if (services.sound) services.sound->PlayChatSound();
}

void TChat::mchatChange() {
  if (services.entry && services.entry->Enabled()) services.entry->Focus();
}

void TChat::EnableChat() {
  if (services.recordSwitch) services.recordSwitch->SetRecordPanelEnabled(true);
  if (services.entry) services.entry->SetEnabled(true);
}

void TChat::DisableChatEntry() {
  if (services.entry) services.entry->SetEnabled(false);
}

}  // namespace zervik
