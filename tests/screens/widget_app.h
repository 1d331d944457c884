// One QApplication for a test process that shows windows: the offscreen
// platform and the window font, set before the first widget exists.
#pragma once

#include <QApplication>

#include "platform/qt_canvas.h"

namespace zervik::test {

inline QApplication& WidgetTestApp(const char* processName) {
  static int argc = 1;
  static char name[64] = {};
  static char* argv[] = {name, nullptr};
  static QApplication* app = [processName] {
    qstrncpy(name, processName, sizeof name);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto* application = new QApplication(argc, argv);
    LoadWindowFonts();
    QApplication::setFont(WindowFont());
    return application;
  }();
  return *app;
}

}  // namespace zervik::test
