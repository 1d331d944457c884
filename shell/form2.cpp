#include "shell/form2.h"

#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "shell/form1.h"

namespace zervik {

namespace {

constexpr int kButtonsSkinY0 = 250;
constexpr int kButtonsSkinY1 = 275;
constexpr int kButtonsAboutY0 = 260;
constexpr int kButtonsAboutY1 = 325;
constexpr int kGlyphSize = 9;
constexpr int kPreviewSize = 120;

// Piece previews on the board preview's four squares: black knight and pawn
// above, white knight and pawn below.
constexpr std::array<const char*, 4> kPreviewFiles = {"bknight.bmp", "bpawn.bmp", "wknight.bmp",
                                                      "wpawn.bmp"};
constexpr std::array<QPoint, 4> kPreviewPlaces = {QPoint(152, 24), QPoint(212, 24), QPoint(152, 84),
                                                  QPoint(212, 84)};

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, const QFont& font) {
  auto* label = new QLabel(text, parent);
  label->setFont(font);
  label->move(x, y);
  label->adjustSize();
  return label;
}

}  // namespace

TForm2::TForm2(TForm1& owner)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint), owner_(owner) {
  setWindowTitle(QStringLiteral("Zervik"));
  setFont(owner_.windowFont);
  setModal(true);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  CreateControls();
  SetClientSize(kDesignWidth, 312);
  FormCreate();
}

void TForm2::CreateControls() {
  QPalette face = palette();
  face.setColor(QPalette::Window, ToQColor(clPanelFace));
  setPalette(face);
  const QFont& font = owner_.windowFont;

  GroupBox1 = new QGroupBox(QStringLiteral("Скин"), this);
  GroupBox1->setFont(font);
  GroupBox1->setGeometry(16, 16, 425, 161);
  GroupBox1->hide();

  // The two lists: flat, without a border. A click reaches the handler
  // once the clicked entry is selected: the current row changes first.
  const auto makeList = [&](int left, const char* background, void (TForm2::*click)()) {
    auto* list = new QListWidget(GroupBox1);
    list->setGeometry(left, 24, kPreviewSize, kPreviewSize);
    list->setFrameShape(QFrame::NoFrame);
    list->setStyleSheet(QStringLiteral("QListWidget { border: none; background: %1; }")
                            .arg(QLatin1String(background)));
    list->setFont(font);
    connect(list, &QListWidget::itemSelectionChanged, this, [this, click] { (this->*click)(); });
    return list;
  };
  lb2 = makeList(16, "rgb(236,233,216)", &TForm2::lb2Click);

  impreview = new QLabel(GroupBox1);
  impreview->setGeometry(152, 24, kPreviewSize, kPreviewSize);
  for (std::size_t i = 0; i < imprev.size(); ++i) {
    imprev[i] = new QLabel(GroupBox1);
    imprev[i]->move(kPreviewPlaces[i]);
    imprev[i]->setAttribute(Qt::WA_TranslucentBackground);
  }

  lb = makeList(288, "white", &TForm2::lbClick);

  Panel1 = new QFrame(this);
  Panel1->setGeometry(8, 8, 281, 241);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setLineWidth(2);
  Panel1->hide();
  logo = new QLabel(Panel1);
  logo->setGeometry(8, 8, 265, 93);
  TBitmapResult logoPicture = LoadBitmapResource(owner_.BitmapPrefix() + QStringLiteral("logo.bmp"));
  if (auto* picture = std::get_if<QImage>(&logoPicture))
    logo->setPixmap(QPixmap::fromImage(*picture));
  ProductName = MakeLabel(Panel1, QStringLiteral("Zervik 1.1"), 8, 120, font);
  MakeLabel(Panel1, QStringLiteral("Программа:"), 8, 152, font);
  MakeLabel(Panel1, QStringLiteral("Команда Zervik"), 80, 152, font);
  MakeLabel(Panel1, QStringLiteral("Скины:"), 8, 192, font);
  MakeLabel(Panel1, QStringLiteral("Команда Zervik"), 80, 192, font);

  // Presses, moves and releases on these go to the window's own handlers,
  // in the coordinates of the control, so a drag may start anywhere.
  for (QWidget* widget : std::initializer_list<QWidget*>{GroupBox1, Panel1, logo}) {
    widget->installEventFilter(this);
    widget->setMouseTracking(true);
  }
}

void TForm2::SetClientSize(int width, int height) {
  setFixedSize(width, height);
  windowBuffer = MakeSurface(width, height, clPanelFace);
}

void TForm2::CentreOnScreen() {
  if (QScreen* primary = QGuiApplication::primaryScreen()) {
    const QRect area = primary->geometry();
    move(area.width() / 2 - width() / 2, area.height() / 2 - height() / 2);
  }
}

void TForm2::FormCreate() {
  for (TSkinButton& button : buttons) button = TSkinButton{};
  checkBoxCaption = QStringLiteral("Рисовать обозначения горизонталей и вертикалей");
  checkBoxWidth = TextWidth(owner_.windowFont, checkBoxCaption);
  checkBoxHeight = TextHeight(owner_.windowFont);
  checkBoxY = kCheckBoxTop;
  checkBoxX = kDesignWidth / 2 - checkBoxWidth / 2;
}

void TForm2::ShowModal() {
  // The modal loop runs Qt's event loop: timers and sockets keep working.
  exec();
}

void TForm2::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

QString TForm2::SelectedText(const QListWidget* list) const {
  const QListWidgetItem* item = list->currentItem();
  return item && item->isSelected() ? item->text() : QString();
}

void TForm2::LoadBoardPreview() {
  boardPreview = QImage();
  const QString board = SelectedText(lb2);
  if (!board.isEmpty()) {
    QImage picture;
    // The board's top-left 2 x 2 squares, without the margin.
    if (owner_.LoadPicture(TSkinFolders::BoardPath(board), picture))
      boardPreview = picture.copy(5, 5, kPreviewSize, kPreviewSize);
  }
  impreview->setPixmap(boardPreview.isNull() ? QPixmap() : QPixmap::fromImage(boardPreview));
}

void TForm2::LoadPiecePreviews() {
  const QString set = SelectedText(lb);
  for (std::size_t i = 0; i < imprev.size(); ++i) {
    piecePreviews[i].Clear();
    QImage picture;
    if (!set.isEmpty() &&
        owner_.LoadPicture(TSkinFolders::PiecePath(set, QString::fromLatin1(kPreviewFiles[i])),
                           picture))
      piecePreviews[i].Assign(picture);
    if (piecePreviews[i].IsEmpty()) {
      imprev[i]->clear();
      imprev[i]->resize(0, 0);
    } else {
      imprev[i]->setPixmap(QPixmap::fromImage(piecePreviews[i].Image()));
      imprev[i]->resize(piecePreviews[i].Width(), piecePreviews[i].Height());
    }
    imprev[i]->raise();
  }
}

void TForm2::FormShow() {
  windowDragging = false;
  if (skinWindowMode == 0) {
    drawCoordinatesChoice = owner_.settings.drawCoordinates;
    SetClientSize(kSkinFaceWidth, kSkinFaceHeight);
    CentreOnScreen();

    const auto fill = [](QListWidget* list, const QStringList& names, const QString& current) {
      const QSignalBlocker quiet(list);
      list->clear();
      list->addItems(names);
      // Exact comparison, letter case included; no entry, no selection.
      const int row = names.indexOf(current);
      list->setCurrentRow(row);
      if (row < 0) list->clearSelection();
    };
    fill(lb, owner_.skins.PieceSets(), QString::fromStdString(owner_.settings.pieceSetName));
    fill(lb2, owner_.skins.Boards(), QString::fromStdString(owner_.settings.boardName));
    LoadBoardPreview();
    LoadPiecePreviews();

    Panel1->hide();
    GroupBox1->show();
    const int x = width() / 2 - kButtonWidth / 2;
    buttons[0] = TSkinButton{x, kButtonsSkinY0, QStringLiteral("ОК"), true, clBlack};
    buttons[1] = TSkinButton{x, kButtonsSkinY1, QStringLiteral("Отмена"), true, clBlack};
  } else {
    SetClientSize(kAboutFaceWidth, kAboutFaceHeight);
    CentreOnScreen();
    Panel1->show();
    GroupBox1->hide();
    const int x = kAboutFaceWidth / 2 - kButtonWidth / 2;
    buttons[0] = TSkinButton{x, kButtonsAboutY0, QStringLiteral("ОК"), true, clBlack};
    buttons[1] = TSkinButton{x, kButtonsAboutY1, QStringLiteral("Отмена"), false, clBlack};
  }
  DrawSkinWindow(0);
}

void TForm2::DrawSkinWindow(int mode) {
  {
    QPainter painter(&windowBuffer);
    painter.setFont(owner_.windowFont);
    const bool skinFace = !GroupBox1->isHidden();
    if (mode == 0) {
      painter.fillRect(windowBuffer.rect(), ToQColor(clPanelFace));
      painter.setPen(QPen(ToQColor(clPanelBorder), 0));
      const int w = width();
      const int h = height();
      const QPoint corners[4] = {{1, 1}, {w - 2, 1}, {w - 2, h - 2}, {1, h - 2}};
      painter.drawPolygon(corners, 4);
      if (skinFace) {
        painter.setPen(ToQColor(clBlack));
        TextOutAt(painter, checkBoxX, checkBoxY, checkBoxCaption);
      }
    }
    if (skinFace && !owner_.checkBoxBitmap.isNull()) {
      const int source = drawCoordinatesChoice ? 0 : kGlyphSize;
      painter.drawImage(QRect(checkBoxX - 13, 202, kGlyphSize, kGlyphSize), owner_.checkBoxBitmap,
                        QRect(source, 0, kGlyphSize, kGlyphSize));
    }
    const int th = TextHeight(owner_.windowFont);
    for (const TSkinButton& button : buttons) {
      if (!button.enabled) continue;
      // The face goes under the caption in both modes, as on the menu bar.
      if (!owner_.buttonBitmap.isNull())
        painter.drawImage(button.x, button.y, owner_.buttonBitmap);
      painter.setPen(ToQColor(button.colour));
      TextOutAt(painter,
                button.x + kButtonWidth / 2 - TextWidth(owner_.windowFont, button.caption) / 2,
                button.y + kButtonHeight / 2 - th / 2, button.caption);
    }
  }
  update();
}

void TForm2::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect().topLeft(), windowBuffer, event->rect());
}

void TForm2::lbClick() { LoadPiecePreviews(); }

void TForm2::lb2Click() { LoadBoardPreview(); }

void TForm2::Close() { done(QDialog::Accepted); }

void TForm2::FormMouseDown(Qt::MouseButton, int X, int Y) {
  bool taken = false;
  for (int i = 0; i < 2; ++i) {
    const TSkinButton& button = buttons[i];
    if (!(button.x < X && X < button.x + kButtonWidth && button.y < Y && Y < button.y + kButtonHeight))
      continue;
    taken = true;
    if (!button.enabled) continue;
    if (skinWindowMode == 0) {
      if (i == 0) {
        // A list without a selection keeps the name it had.
        const QString set = SelectedText(lb);
        const QString board = SelectedText(lb2);
        if (!set.isEmpty()) owner_.settings.pieceSetName = set.toStdString();
        if (!board.isEmpty()) owner_.settings.boardName = board.toStdString();
        owner_.settings.drawCoordinates = drawCoordinatesChoice;
        owner_.ApplyLayout();
        // A skin that fails to load leaves the window open.
        if (!owner_.LoadSkinChecked()) return;
      }
      Close();
      if (owner_.seams.dialogPanel) owner_.seams.dialogPanel->PaintDialogPanel(true);
      return;
    }
    if (i == 0) {
      Close();
      return;
    }
  }
  if (!GroupBox1->isHidden() && checkBoxX - 13 < X && X < checkBoxX + checkBoxWidth &&
      checkBoxY < Y && Y < checkBoxY + checkBoxHeight) {
    taken = true;
    drawCoordinatesChoice = !drawCoordinatesChoice;
    DrawSkinWindow(1);
  }
  if (!taken) {
    windowDragging = true;
    dragStartX = X;
    dragStartY = Y;
  }
}

void TForm2::FormMouseMove(int X, int Y) {
  for (TSkinButton& button : buttons) {
    const bool inside =
        button.x < X && X < button.x + kButtonWidth && button.y < Y && Y < button.y + kButtonHeight;
    if (inside && button.enabled) {
      button.colour = clBlue;
      DrawSkinWindow(1);
    } else if (button.colour == clBlue) {
      button.colour = clBlack;
      DrawSkinWindow(1);
    }
  }
  if (windowDragging) move(x() + X - dragStartX, y() + Y - dragStartY);
}

void TForm2::FormMouseUp(Qt::MouseButton, int, int) { windowDragging = false; }

void TForm2::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  FormMouseDown(event->button(), p.x(), p.y());
}

void TForm2::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  FormMouseMove(p.x(), p.y());
}

void TForm2::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  FormMouseUp(event->button(), p.x(), p.y());
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  auto* mouse = dynamic_cast<QMouseEvent*>(event);
  if (!mouse) return QDialog::eventFilter(watched, event);
  const QPoint p = mouse->position().toPoint();
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      FormMouseDown(mouse->button(), p.x(), p.y());
      return true;
    case QEvent::MouseMove:
      FormMouseMove(p.x(), p.y());
      return true;
    case QEvent::MouseButtonRelease:
      FormMouseUp(mouse->button(), p.x(), p.y());
      return true;
    default:
      return QDialog::eventFilter(watched, event);
  }
}

}  // namespace zervik
