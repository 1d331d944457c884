#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "noise.h"

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// The modes of a small hardwood block struck by another: a few inharmonic
// partials that die away within tens of milliseconds.
struct TMode {
  double hz;
  double amplitude;
  double decayMs;  // time to fall to 1/e
};
constexpr TMode kClickModes[] = {
    {420, 0.55, 14}, {1180, 1.0, 11}, {2010, 0.45, 7}, {3350, 0.22, 4.5}, {5200, 0.10, 2.5}};
constexpr double kClickMs = 110;
constexpr double kClickAttackMs = 0.6;
constexpr double kClickNoiseMs = 3;
constexpr double kClickPeak = 0.55;

// Two bell-like notes a major third apart, the second a little later.
constexpr double kChimeFirstHz = 1046.5;   // C6
constexpr double kChimeSecondHz = 1318.5;  // E6
constexpr double kChimeSecondAtMs = 140;
constexpr double kChimeMs = 900;
constexpr double kChimeDecayMs = 260;
constexpr double kChimeAttackMs = 4;
constexpr double kChimeFadeMs = 60;
constexpr double kChimePeak = 0.45;

void Normalise(std::vector<double>& s, double peak) {
  double top = 0;
  for (double v : s) top = std::max(top, std::abs(v));
  if (top > 0)
    for (double& v : s) v *= peak / top;
}

// A struck note: the fundamental with a soft octave and a faint bell partial.
double BellNote(double t, double hz) {
  if (t < 0) return 0;
  const double ms = t * 1000;
  const double attack = std::min(1.0, ms / kChimeAttackMs);
  return attack * (std::exp(-ms / kChimeDecayMs) * std::sin(kTwoPi * hz * t) +
                   0.28 * std::exp(-ms / (kChimeDecayMs * 0.5)) * std::sin(kTwoPi * 2.0 * hz * t) +
                   0.08 * std::exp(-ms / (kChimeDecayMs * 0.3)) * std::sin(kTwoPi * 2.76 * hz * t));
}

}  // namespace

std::vector<double> SynthMoveSound() {
  const int n = static_cast<int>(kSoundRate * kClickMs / 1000);
  std::vector<double> s(n, 0.0);
  TNoiseSource noise(2804);
  double low = 0;
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSoundRate, ms = t * 1000;
    double v = 0;
    for (const TMode& m : kClickModes)
      v += m.amplitude * std::exp(-ms / m.decayMs) * std::sin(kTwoPi * m.hz * t);
    // The contact itself: a burst of softened noise.
    low += 0.35 * (noise.Next() - low);
    v += 0.8 * low * std::exp(-ms / (kClickNoiseMs / 3)) * (ms < kClickNoiseMs ? 1.0 : 0.0);
    s[i] = v * std::min(1.0, ms / kClickAttackMs);
  }
  Normalise(s, kClickPeak);
  return s;
}

std::vector<double> SynthChatSound() {
  const int n = static_cast<int>(kSoundRate * kChimeMs / 1000);
  std::vector<double> s(n, 0.0);
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSoundRate, ms = t * 1000;
    double v =
        0.8 * BellNote(t, kChimeFirstHz) + BellNote(t - kChimeSecondAtMs / 1000, kChimeSecondHz);
    const double fade = std::clamp((kChimeMs - ms) / kChimeFadeMs, 0.0, 1.0);
    s[i] = v * fade;
  }
  Normalise(s, kChimePeak);
  return s;
}
