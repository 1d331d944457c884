// The main window: a frameless window that draws the board, the pieces,
// its frame line, the coordinate labels and the menu bar itself, with a few
// real controls on it (the record and chat panel, the chat entry, the
// fields of the dialog screens and the promotion chooser).
//
// It composes the program's subsystems as objects: the game, the screen
// data shared with the dialog panel and the menu, the settings of the INI
// file, the timers and the skin folders. Everything it draws "on the
// window" goes to `windowBuffer`, a window-sized back buffer that the paint
// event copies to the screen in one block, so the drawing order below holds
// exactly and nothing flickers.
#pragma once

#include <QImage>
#include <QLabel>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "core/game.h"
#include "core/services.h"
#include "platform/ini_file.h"
#include "core/silent_services.h"
#include "platform/qt_canvas.h"
#include "platform/qt_sound.h"
#include "platform/qt_timers.h"
#include "platform/settings.h"
#include "protocol/screen_state.h"
#include "shell/skin_files.h"
#include "shell/window_seams.h"

class QComboBox;
class QFrame;
class QLineEdit;
class QTextEdit;

namespace zervik {

class TForm2;

// How a window is set up; the program uses the defaults, tests point the
// files elsewhere and catch the error boxes.
struct TForm1Options {
  // The INI file; empty means beside the executable ("zervik" -> "zervik.INI").
  std::string iniPath;
  // Folder holding Figures/, Boards/ and Sounds/; empty means the current
  // directory.
  QString skinRoot;
  // Where the three bitmap resources 101, 102 and 103 are found.
  QString bitmapPrefix = QStringLiteral(":/bitmaps/");
  // Shows an error box; empty means the standard one.
  std::function<void(const QString&)> showError;
  // Seconds for seeding the pseudo-random generator; empty means the clock.
  std::function<unsigned()> clockSeconds;
};

// An image control that reports presses in its own coordinates (`ican`).
class TImageBox : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
  std::function<void(Qt::MouseButton, int, int)> onMouseDown;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

class TForm1 : public QWidget, public IGameView, public IRecordPanel {
  Q_OBJECT

 public:
  explicit TForm1(TForm1Options options = {}, QWidget* parent = nullptr);
  // Runs FormDestroy.
  ~TForm1() override;
  TForm1(const TForm1&) = delete;  // a window is one object on the screen
  TForm1& operator=(const TForm1&) = delete;

  // Layout sizes.
  static constexpr int kClientWidth = 715;
  static constexpr int kClientHeight = 508;
  static constexpr int kCoordinatesMargin = 11;
  static constexpr int kBoardLeftPlain = 9;
  static constexpr int kBoardLeftWithCoordinates = 20;
  static constexpr int kMenuOffset = 497;  // menu x = boardLeft + 497
  static constexpr int kBoardArea = 490;
  static constexpr int kBoardMargin = 5;
  static constexpr std::array<int, 5> kMenuTops = {9, 34, 59, 84, 136};
  // Height of the record panel without coordinates (11 more with them).
  static constexpr int kChatHeightPlain = 306;
  // Where the rank and file labels of the layout with coordinates go.
  static constexpr TRect kRankStrip{4, 10, 18, 490};
  static constexpr TRect kFileStrip{4, 501, 490, 516};

  // ---- Subsystems ----
  TQtTimers timers;
  TGame game;
  TScreenData screen;
  TSettings settings;
  TSkinFolders skins;
  TWindowSeams seams;
  TForm2* form2 = nullptr;  // the skin and About window, set by the program entry
  TSoundPlayer sounds;
  // Until a link and the banners are plugged in, the game's messages and
  // notices go nowhere (game.services.sender and .banners point here).
  TSilentServices unplugged;
  TIniFile iniFile;

  // ---- Pictures ----
  QImage boardBitmap;
  std::array<TPiecePicture, kPieceSlots> pieceBitmaps;
  QImage buttonBitmap;       // resource 101, 200 x 25
  QImage checkBoxBitmap;     // resource 102, checked and unchecked glyphs
  QImage toggleGlyphBitmap;  // resource 103
  int buttonWidth = kButtonWidth;
  int buttonHeight = kButtonHeight;

  // ---- Off-screen drawing ----
  QImage windowBuffer;      // what the window shows
  QImage backgroundCanvas;  // the bare board, window-sized
  QImage boardCanvas;       // board, pieces, banner and panel
  TRect boardRect;
  std::array<TRect, kBannerSlot + 1> spriteRects{};  // 1..32 pieces, 33 banner
  std::array<TRect, kBannerSlot + 1> previousSpriteRects{};

  // ---- Banner sprite (driven by the banners; drawn as slot 33) ----
  bool bannerActive = false;
  QImage bannerFrame;  // the banner as currently drawn
  QImage bannerImage;  // the banner at full size

  // ---- Dialog panel pictures and rectangle (driven by the panel) ----
  QImage panelImage;
  QImage panelBackground;
  TRect panelRect;
  float panelWidth = 0;
  float panelHeight = 0;

  bool activatedOnce = false;
  // Seeded from the clock at start-up; its one user is the colour toss.
  std::mt19937 random;

  // ---- Controls ----
  QTextEdit* mchat = nullptr;
  QLineEdit* echat = nullptr;
  QLineEdit* eip = nullptr;
  QComboBox* ccomport = nullptr;
  QFrame* pmes = nullptr;
  TImageBox* ican = nullptr;
  QString pmesCaption;   // the chooser shows pieces only while it is empty
  QImage icanPicture;    // what `ican` shows

  QFont windowFont;  // 8 points, normal: every text of the window

  // ---- Start-up and shut-down ----
  void FormCreate();
  void FormActivate();
  // The window's own paint steps, onto the back buffer: the board area, the
  // frame with labels and menu, the dialog panel. Run before the first
  // paint; afterwards the back buffer always holds what the window shows.
  void ComposeWindow();
  // Asks for the back buffer to be copied to the screen (the paint event
  // does the copy, in one block).
  void FormPaint();
  void FormClose();
  // Writes the settings; false (after the error box) when a write failed.
  bool FormDestroy();
  void mchatChange();

  // ---- Off-screen drawing ----
  void CreateBoardCanvases();
  void RedrawPieces(int mode) override;
  void DrawWindowFrame(int mode) override;
  // Copies a rectangle of the board canvas to the window.
  void CopyBoardToWindow(const TRect& area);
  // Draws the picture of `code` with its top-left corner at (x, y).
  void DrawPiece(QImage& surface, int code, int x, int y) const;
  const TPiecePicture* PictureOf(int code) const;

  // ---- Layout ----
  void ApplyLayout();

  // ---- Skins ----
  void LoadSkin() override;
  // LoadSkin that says whether it ran to its end; after a failure the error
  // box has been shown and the caller stops.
  bool LoadSkinChecked();
  bool ColoursChosen() const { return seams.coloursChosen && seams.coloursChosen(); }

  // ---- Promotion chooser and sound ----
  void ShowPromotionChooser() override;
  void HidePromotionChooser() override;
  void PlayMoveSound() override;
  void icanMouseDown(Qt::MouseButton button, int X, int Y);

  // ---- The skin and About window, modal ----
  void ShowSkinWindow(int mode);

  // ---- The record and chat panel `mchat` ----
  void FocusAtEnd() override;
  void SetSelectionColour(TColor colour) override;
  void AddLine(const std::string& text) override;
  int LineCount() const override;
  std::string Line(int index) const override;
  void ReplaceLine(int index, const std::string& text) override;
  TColor SelectionColour() const { return selectionColour_; }
  // The colour a line was added in (for tests and the chat).
  TColor LineColour(int index) const;

  void ShowError(const QString& message);
  // Where the bitmaps compiled into the executable are found.
  const QString& BitmapPrefix() const { return options_.bitmapPrefix; }
  // Loads a bitmap file by its program path; shows the error box and
  // returns false when it fails.
  bool LoadPicture(const QString& programPath, QImage& into);

  // Client size in the current layout.
  int ClientWidth() const { return width(); }
  int ClientHeight() const { return height(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void CreateControls();
  void SetClientSize(int width, int height);
  void PlaceChatControls(int left, int mchatHeight);
  void DrawFrameLine(QPainter& painter);
  void DrawCoordinateLabels(QPainter& painter);
  void DrawMenuBar(QPainter& painter);

  TForm1Options options_;
  TColor selectionColour_ = clBlack;
  bool hasLines_ = false;
  bool destroyed_ = false;
};

}  // namespace zervik
