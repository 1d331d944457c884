// Asynchronous playing of short wave files, as the move and chat sounds
// need: Play returns at once, a new sound cuts off the one still playing,
// and a missing file or a machine without sound plays nothing.
#pragma once

#include <memory>
#include <string>
#include <string_view>

class QSoundEffect;

namespace zervik {

// Relative to the current directory, like the skin folders.
inline constexpr std::string_view kMoveSoundFile = "Sounds/movesound.wav";
inline constexpr std::string_view kChatSoundFile = "Sounds/chatsound.wav";

class TSoundPlayer {
 public:
  TSoundPlayer();
  ~TSoundPlayer();
  // Owns a live sound effect; two owners would stop each other's sounds.
  TSoundPlayer(const TSoundPlayer&) = delete;
  TSoundPlayer& operator=(const TSoundPlayer&) = delete;

  // Starts playing `fileName` (a WAV file; a relative name is taken from the
  // current directory at the time of the call) and returns at once. Returns
  // false, and plays nothing, when the file does not exist or the machine
  // has no audio output; a file that turns out not to be a playable wave
  // plays nothing either.
  bool Play(std::string_view fileName);
  void Stop();

 private:
  std::unique_ptr<QSoundEffect> effect_;
  std::string effectFile_;  // absolute name of the file `effect_` holds
};

}  // namespace zervik
