// Plain value types shared by every part of Zervik: piece codes, colours,
// the button record of the menu bar and the dialog panel.
#pragma once

#include <cstdint>
#include <string>

namespace zervik {

// Piece codes: positive for the local player's pieces, negated for the
// opponent's, 0 for an empty square.
enum : std::int8_t {
  pcEmpty = 0,
  pcRook = 1,
  pcKnight = 2,
  pcBishop = 3,
  pcQueen = 4,
  pcKing = 5,
  pcPawn = 6,
};

// Colours as 0x00BBGGRR values, the way the stored files and the drawing
// code name them.
using TColor = std::uint32_t;
inline constexpr TColor clPanelFace = 0xD8E9EC;    // 236, 233, 216
inline constexpr TColor clPanelBorder = 0x99A8AC;  // 172, 168, 153
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clBlue = 0xFF0000;  // 0, 0, 255
inline constexpr TColor clRed = 0x0000FF;   // 255, 0, 0
inline constexpr TColor clNavy = 0x800000;  // 0, 0, 128
inline constexpr TColor clMaroon = 0x000080;  // 128, 0, 0

constexpr int RedOf(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

// One entry of the button table shared by the menu bar (0-4) and the
// dialog panel (5-7). Every button is 200 x 25 pixels.
struct TScreenButton {
  std::string caption;  // UTF-8
  int left = 0;
  int top = 0;
  TColor textColour = clBlack;
  bool enabled = true;
  bool visible = true;
};

enum TButtonIndex : int {
  btnNewGame = 0,
  btnOptions = 1,
  btnAbout = 2,
  btnExit = 3,
  btnDraw = 4,
  btnPanelLow = 5,
  btnPanelMid = 6,
  btnPanelTop = 7,
};
inline constexpr int kButtonCount = 8;
inline constexpr int kButtonWidth = 200;
inline constexpr int kButtonHeight = 25;

}  // namespace zervik
