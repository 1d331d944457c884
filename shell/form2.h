// The skin chooser and About window: a second frameless window with two
// faces, drawn by itself with the main window's button and check-box
// pictures, dragged with the mouse and shown modally. Its modal loop is
// Qt's, so the link and the timers keep running while it is open.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>
#include <array>

#include "core/types.h"
#include "platform/qt_canvas.h"

class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;

namespace zervik {

class TForm1;

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kSkinFaceWidth = 466;
  static constexpr int kSkinFaceHeight = 320;
  static constexpr int kAboutFaceWidth = 297;
  static constexpr int kAboutFaceHeight = 300;
  static constexpr int kDesignWidth = 458;
  static constexpr int kCheckBoxTop = 200;

  struct TSkinButton {
    int x = 0;
    int y = 0;
    QString caption;
    bool enabled = false;
    TColor colour = clBlack;
  };

  explicit TForm2(TForm1& owner);
  TForm2(const TForm2&) = delete;  // one window on the screen
  TForm2& operator=(const TForm2&) = delete;

  int skinWindowMode = 0;  // 0 skin chooser, 1 About

  // Shows the window modally with the face `skinWindowMode` names and
  // returns when it has been closed.
  void ShowModal();

  // ---- Handlers ----
  void FormCreate();
  // Prepares the face that skinWindowMode names.
  void FormShow();
  void DrawSkinWindow(int mode);
  void lbClick();
  void lb2Click();
  // Coordinates relative to the control that got the event.
  void FormMouseDown(Qt::MouseButton button, int X, int Y);
  void FormMouseMove(int X, int Y);
  void FormMouseUp(Qt::MouseButton button, int X, int Y);

  // ---- State ----
  std::array<TSkinButton, 2> buttons;
  bool drawCoordinatesChoice = false;
  bool windowDragging = false;
  int dragStartX = 0;
  int dragStartY = 0;
  QString checkBoxCaption;
  int checkBoxWidth = 0;
  int checkBoxHeight = 0;
  int checkBoxX = 0;
  int checkBoxY = kCheckBoxTop;

  // ---- Controls ----
  QGroupBox* GroupBox1 = nullptr;
  QListWidget* lb2 = nullptr;  // boards
  QLabel* impreview = nullptr;
  std::array<QLabel*, 4> imprev{};  // imprev1 .. imprev4
  QListWidget* lb = nullptr;  // piece sets
  QFrame* Panel1 = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* logo = nullptr;

  QImage windowBuffer;  // what the window itself draws
  QImage boardPreview;  // what impreview shows
  std::array<TPiecePicture, 4> piecePreviews;

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void SetClientSize(int width, int height);
  void CentreOnScreen();
  void LoadBoardPreview();
  void LoadPiecePreviews();
  QString SelectedText(const QListWidget* list) const;
  void Close();

  TForm1& owner_;
};

}  // namespace zervik
