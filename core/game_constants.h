// Hold times of the game's banner notices and the length of the animation
// of a received move.
#pragma once

namespace zervik {

inline constexpr int kCheckBannerMs = 1500;
inline constexpr int kGameEndBannerMs = 3000;  // "Мат", "Пат", "Вы проиграли", ...
inline constexpr int kRepetitionBannerMs = 3000;
inline constexpr int kDrawBannerMs = 5000;
inline constexpr int kDrawOfferBannerMs = 3000;
// A received move glides over this many ticks of kAnimationTickMs.
inline constexpr int kAnimationTicks = 30;

// The promotion chooser's picture: four pieces side by side, each picked by
// a press inside its 59 x 59 area.
inline constexpr int kPickTop = 6;
inline constexpr int kPickBottom = 64;
inline constexpr int kPickLeft[4] = {6, 71, 136, 201};
inline constexpr int kPickWidth = 59;

}  // namespace zervik
