#pragma once
// The two sounds, synthesized: a soft wooden click for a move and a two-note
// chime for a chat line.

#include <vector>

inline constexpr int kSoundRate = 22050;

std::vector<double> SynthMoveSound();
std::vector<double> SynthChatSound();
