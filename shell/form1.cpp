// Start-up, shut-down, the child controls and the record panel of the main
// window.
#include "shell/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <ctime>

#include "shell/form2.h"

namespace zervik {

namespace {

constexpr int kChatTop = 168;
constexpr int kChatWidth = 200;
constexpr int kChatGap = 7;  // between the record panel and the chat entry
constexpr int kEntryHeight = 18;
constexpr int kFieldWidth = 200;
constexpr int kComboHeight = 21;
constexpr int kPromotionWidth = 265;
constexpr int kPromotionHeight = 70;
constexpr int kComPorts = 6;

std::string ResolveIniPath(const TForm1Options& options) {
  if (!options.iniPath.empty()) return options.iniPath;
  return IniPathForExecutable(QCoreApplication::applicationFilePath().toStdString());
}

// The style sheet of the real controls: flat, in the window's colours, so
// that they sit on the self-drawn window like its own parts.
QString FlatFieldStyle() {
  return QStringLiteral(
      "QLineEdit { border: 1px solid rgb(172,168,153); background: white; padding: 0px; }"
      "QLineEdit:disabled { background: rgb(236,233,216); }");
}

}  // namespace

void TImageBox::mousePressEvent(QMouseEvent* event) {
  if (onMouseDown) {
    const QPoint p = event->position().toPoint();
    onMouseDown(event->button(), p.x(), p.y());
  }
  event->accept();
}

TForm1::TForm1(TForm1Options options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      skins(options.skinRoot),
      iniFile(ResolveIniPath(options)),
      options_(std::move(options)) {
  LoadWindowFonts();
  windowFont = WindowFont(false);
  setFont(windowFont);
  setWindowTitle(QStringLiteral("Zervik"));
  // Everything on the window is drawn from the back buffer; Qt needs not
  // clear it first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);

  game.services.sender = &unplugged;
  game.services.banners = &unplugged;
  game.services.view = this;
  game.services.record = this;
  game.services.timers = &timers;
  game.services.btnDraw = &screen.screenButtons[btnDraw];

  CreateControls();
  SetClientSize(kClientWidth, kClientHeight);
  FormCreate();

  // Placed at the centre of the screen.
  if (QScreen* primary = QGuiApplication::primaryScreen()) {
    const QRect area = primary->geometry();
    move(area.width() / 2 - width() / 2, area.height() / 2 - height() / 2);
  }
}

TForm1::~TForm1() {
  if (!destroyed_) FormDestroy();
}

void TForm1::CreateControls() {
  QPalette face = palette();
  face.setColor(QPalette::Window, ToQColor(clPanelFace));
  setPalette(face);

  mchat = new QTextEdit(this);
  mchat->setReadOnly(true);
  // Peer names and chat lines are shown as they are, never as markup.
  mchat->setAcceptRichText(false);
  mchat->setFrameStyle(QFrame::Box | QFrame::Plain);
  mchat->setStyleSheet(QStringLiteral("QTextEdit { border: 1px solid rgb(172,168,153); background: white; }"));
  mchat->setEnabled(false);
  connect(mchat, &QTextEdit::textChanged, this, [this] { mchatChange(); });

  echat = new QLineEdit(this);
  echat->setStyleSheet(FlatFieldStyle());
  echat->setEnabled(false);

  eip = new QLineEdit(this);
  eip->setStyleSheet(FlatFieldStyle());
  eip->setGeometry(0, 0, kFieldWidth, kEntryHeight);
  eip->hide();

  ccomport = new QComboBox(this);
  for (int n = 1; n <= kComPorts; ++n) ccomport->addItem(QStringLiteral("COM%1").arg(n));
  ccomport->setEditable(false);
  ccomport->setGeometry(0, 0, kFieldWidth, kComboHeight);
  ccomport->hide();

  pmes = new QFrame(this);
  pmes->setFrameStyle(QFrame::NoFrame);
  pmes->setAutoFillBackground(true);
  pmes->setPalette(face);
  pmes->hide();
  ican = new TImageBox(pmes);
  ican->onMouseDown = [this](Qt::MouseButton button, int X, int Y) { icanMouseDown(button, X, Y); };
  ican->hide();

  for (QWidget* control : std::initializer_list<QWidget*>{mchat, echat, eip, ccomport})
    control->setFont(windowFont);
}

void TForm1::SetClientSize(int width, int height) {
  setFixedSize(width, height);
  QImage buffer = MakeSurface(width, height, clPanelFace);
  if (!windowBuffer.isNull()) {
    QPainter painter(&buffer);
    painter.drawImage(0, 0, windowBuffer);
  }
  windowBuffer = buffer;
}

void TForm1::PlaceChatControls(int left, int mchatHeight) {
  mchat->setGeometry(left, kChatTop, kChatWidth, mchatHeight);
  echat->setGeometry(left, mchat->y() + mchat->height() + kChatGap, kChatWidth, kEntryHeight);
}

void TForm1::FormCreate() {
  // 1-2. The INI file beside the executable, its nine keys in table order.
  settings = ReadSettings(iniFile);

  // 3. The sockets take their port from settings.lanPort when the links
  //    create them.

  // 4-5. Board corner and the menu entries of the button table.
  game.boardLeft = kBoardLeftPlain;
  game.boardTop = 9;
  static const std::array<const char*, 5> captions = {
      "Новая игра", "Опции", "О программе", "Выход", "Предложить ничью"};
  for (int i = 0; i < 5; ++i) {
    TScreenButton& button = screen.screenButtons[i];
    button.left = game.boardLeft + kMenuOffset;
    button.top = kMenuTops[i];
    button.caption = captions[i];
    button.visible = true;
    button.enabled = i != btnNewGame && i != btnDraw;
    button.textColour = button.enabled ? clBlack : clSilver;
  }
  for (int i = btnPanelLow; i <= btnPanelTop; ++i) {
    screen.screenButtons[i].enabled = true;
    screen.screenButtons[i].visible = false;
    screen.screenButtons[i].textColour = clBlack;
  }
  PlaceChatControls(game.boardLeft + kMenuOffset, kChatHeightPlain);

  // 6. Texts drawn on the window have no background box; QPainter's
  //    drawText never paints one, so there is no brush to clear.

  // 7. The layout with coordinates, set directly: no piece exists yet.
  if (settings.drawCoordinates) {
    game.boardLeft = kBoardLeftWithCoordinates;
    SetClientSize(kClientWidth + kCoordinatesMargin, kClientHeight + kCoordinatesMargin);
    PlaceChatControls(game.boardLeft + kMenuOffset, kChatHeightPlain + kCoordinatesMargin);
    for (int i = 0; i < 5; ++i) screen.screenButtons[i].left = mchat->x();
  }

  // 8. The pictures start empty.
  bannerFrame = QImage();
  bannerImage = QImage();
  boardBitmap = QImage();
  panelImage = QImage();
  panelBackground = QImage();
  for (TPiecePicture& picture : pieceBitmaps) picture.Clear();

  // 9. The three bitmaps compiled into the executable. A failing one is
  //    reported and left empty; the start-up goes on, since the steps
  //    after it set values every drawing step needs.
  const auto loadResource = [this](const char* name, QImage& into) {
    TBitmapResult result = LoadBitmapResource(options_.bitmapPrefix + QLatin1String(name));
    if (auto* error = std::get_if<TBitmapError>(&result))
      ShowError(error->message);
    else
      into = std::get<QImage>(std::move(result));
  };
  loadResource("101.bmp", buttonBitmap);
  loadResource("102.bmp", checkBoxBitmap);
  loadResource("103.bmp", toggleGlyphBitmap);
  if (!buttonBitmap.isNull()) {
    buttonHeight = buttonBitmap.height();
    buttonWidth = buttonBitmap.width();
  }

  // 10. Names that no longer exist fall back to existing ones.
  skins.ApplyFallback(settings.pieceSetName, settings.boardName);

  // 11. The board picture.
  LoadPicture(TSkinFolders::BoardPath(QString::fromStdString(settings.boardName)), boardBitmap);

  // 12-13.
  game.fileLetters = "abcdefgh";
  game.boardWidth = kBoardArea;
  game.boardHeight = kBoardArea;
  game.squareWidth = 60;
  game.squareHeight = 60;

  // 14. Every piece picture drops the colour of its bottom-left pixel; the
  //     mask is made when a picture is loaded (TPiecePicture).

  // 15.
  activatedOnce = false;

  // 16. The clock seeds the generator of the colour toss.
  const unsigned seconds = options_.clockSeconds ? options_.clockSeconds()
                                                 : static_cast<unsigned>(std::time(nullptr));
  random.seed(seconds);
}

void TForm1::FormActivate() {
  CreateBoardCanvases();
  if (!activatedOnce) {
    screen.screenState = ssMainMenu;
    if (seams.dialogPanel) seams.dialogPanel->OpenDialogPanel();
  }
  activatedOnce = true;
}

void TForm1::ComposeWindow() {
  // Promotion pictures are kept by `ican` itself, which repaints them.
  CopyBoardToWindow(boardRect);
  DrawWindowFrame(0);
  if (seams.dialogPanel) seams.dialogPanel->PaintDialogPanel(true);
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The platform's activation comes once, when the window first gets the
  // focus, before its first paint; the same holds here on every platform,
  // the offscreen one included.
  if (!activatedOnce) {
    FormActivate();
    ComposeWindow();
  }
}

void TForm1::FormPaint() { update(); }

void TForm1::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  painter.drawImage(area.topLeft(), windowBuffer, area);
}

void TForm1::FormClose() {
  if (seams.closeLanSockets) seams.closeLanSockets();
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}

bool TForm1::FormDestroy() {
  destroyed_ = true;
  const TIniWriteResult written = WriteSettings(iniFile, settings);
  if (!written) {
    ShowError(QString::fromStdString(written.errorText));
    return false;
  }
  boardBitmap = QImage();
  for (TPiecePicture& picture : pieceBitmaps) picture.Clear();
  return true;
}

void TForm1::mchatChange() {
  if (echat->isEnabled()) echat->setFocus();
}

void TForm1::mousePressEvent(QMouseEvent* event) {
  if (seams.mouse) {
    const QPoint p = event->position().toPoint();
    seams.mouse->FormMouseDown(event->button(), p.x(), p.y());
  }
}

void TForm1::mouseMoveEvent(QMouseEvent* event) {
  if (seams.mouse) {
    const QPoint p = event->position().toPoint();
    seams.mouse->FormMouseMove(p.x(), p.y());
  }
}

void TForm1::mouseReleaseEvent(QMouseEvent* event) {
  if (seams.mouse) {
    const QPoint p = event->position().toPoint();
    seams.mouse->FormMouseUp(event->button(), p.x(), p.y());
  }
}

void TForm1::ShowError(const QString& message) {
  if (options_.showError) {
    options_.showError(message);
    return;
  }
  QMessageBox::critical(isVisible() ? this : nullptr, QStringLiteral("Zervik"), message);
}

bool TForm1::LoadPicture(const QString& programPath, QImage& into) {
  TBitmapResult result = LoadBitmapFile(skins.Locate(programPath), programPath);
  if (auto* error = std::get_if<TBitmapError>(&result)) {
    ShowError(error->message);
    return false;
  }
  into = std::get<QImage>(std::move(result));
  return true;
}

// ---- Promotion chooser ----

void TForm1::ShowPromotionChooser() {
  pmesCaption.clear();
  const int left = game.boardLeft + game.boardWidth / 2 - kPromotionWidth / 2;
  const int top = game.boardTop + game.boardHeight / 2 - kPromotionHeight / 2;
  pmes->setGeometry(left, top, kPromotionWidth, kPromotionHeight);
  pmes->show();
  pmes->raise();
  ican->setGeometry(0, 0, pmes->width(), pmes->height());
  icanPicture = MakeSurface(pmes->width(), pmes->height(), clPanelFace);
  {
    QPainter painter(&icanPicture);
    // Queen, rook, bishop and knight of the local player.
    static const std::array<std::pair<int, int>, 4> places = {
        {{3, 5}, {0, 70}, {2, 135}, {1, 200}}};
    for (const auto& [slot, x] : places) pieceBitmaps[slot].DrawAt(painter, x, 5);
  }
  ican->setPixmap(QPixmap::fromImage(icanPicture));
  ican->show();
}

void TForm1::HidePromotionChooser() {
  if (!icanPicture.isNull()) icanPicture.fill(ToQColor(clPanelFace));
  ican->setPixmap(QPixmap::fromImage(icanPicture));
  ican->hide();
  pmes->hide();
}

void TForm1::icanMouseDown(Qt::MouseButton, int X, int Y) {
  if (!pmesCaption.isEmpty()) return;
  game.icanMouseDown(X, Y);
}

void TForm1::PlayMoveSound() {
  sounds.Play(skins.Locate(QString::fromLatin1(kMoveSoundFile.data(), kMoveSoundFile.size())).toStdString());
}

// ---- The skin and About window ----

void TForm1::ShowSkinWindow(int mode) {
  if (!form2) return;
  form2->skinWindowMode = mode;
  form2->ShowModal();
}

// ---- Record and chat panel ----

void TForm1::FocusAtEnd() {
  mchat->setFocus();
  QTextCursor cursor = mchat->textCursor();
  cursor.movePosition(QTextCursor::End);
  mchat->setTextCursor(cursor);
}

void TForm1::SetSelectionColour(TColor colour) { selectionColour_ = colour; }

namespace {

// One line of the panel stays one line: a peer's text with line breaks in
// it would otherwise add lines that the record's line numbering never made.
QString AsOneLine(const std::string& text) {
  QString line = QString::fromStdString(text);
  for (QChar& c : line)
    if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
      c = u' ';
  return line;
}

}  // namespace

void TForm1::AddLine(const std::string& text) {
  QTextCursor cursor(mchat->document());
  cursor.movePosition(QTextCursor::End);
  QTextCharFormat format;
  format.setForeground(ToQColor(selectionColour_));
  format.setFont(windowFont);
  if (hasLines_) cursor.insertBlock(QTextBlockFormat(), format);
  // insertText takes the text as it is: no markup is ever interpreted.
  cursor.insertText(AsOneLine(text), format);
  hasLines_ = true;
  mchat->setTextCursor(cursor);
  mchat->ensureCursorVisible();
}

int TForm1::LineCount() const { return hasLines_ ? mchat->document()->blockCount() : 0; }

std::string TForm1::Line(int index) const {
  if (index < 0 || index >= LineCount()) return {};
  return mchat->document()->findBlockByNumber(index).text().toStdString();
}

TColor TForm1::LineColour(int index) const {
  if (index < 0 || index >= LineCount()) return clBlack;
  const QTextBlock block = mchat->document()->findBlockByNumber(index);
  QTextCursor cursor(block);
  if (block.length() > 1) cursor.movePosition(QTextCursor::NextCharacter);
  const QColor c = cursor.charFormat().foreground().color();
  return static_cast<TColor>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

void TForm1::ReplaceLine(int index, const std::string& text) {
  if (index < 0 || index >= LineCount()) return;
  const QTextBlock block = mchat->document()->findBlockByNumber(index);
  QTextCursor cursor(block);
  if (block.length() > 1) cursor.movePosition(QTextCursor::NextCharacter);
  QTextCharFormat format = cursor.charFormat();
  cursor.setPosition(block.position());
  cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
  cursor.insertText(AsOneLine(text), format);
}

}  // namespace zervik
