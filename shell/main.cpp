// The program entry: the application titled "Zervik", the main window first
// (its construction runs the start-up sequence), then the hidden skin and
// About window, then the event loop until the main window closes.
#include <QApplication>

#include "platform/qt_canvas.h"
#include "shell/form1.h"
#include "shell/form2.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zervik"));
  zervik::LoadWindowFonts();
  QApplication::setFont(zervik::WindowFont());

  zervik::TForm1 form1;
  zervik::TForm2 form2(form1);
  form1.form2 = &form2;
  form1.show();
  return application.exec();
}
