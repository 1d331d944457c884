// The program entry: the application titled "Zervik", the program with its
// main window first (the window's construction runs the start-up sequence),
// then the hidden skin and About window, then the event loop until the main
// window closes.
#include <QApplication>

#include "platform/qt_canvas.h"
#include "screens/program.h"
#include "shell/form2.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zervik"));
  zervik::LoadWindowFonts();
  QApplication::setFont(zervik::WindowFont());

  zervik::TProgram program;
  zervik::TForm2 form2(program.form1);
  program.form1.form2 = &form2;
  program.form1.show();
  return application.exec();
}
