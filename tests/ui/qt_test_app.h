// The one QApplication of a widget test program, made on first use so that
// listing the tests needs no display; without a platform chosen by the
// environment the widgets run offscreen.
#pragma once

#include <QApplication>
#include <QByteArray>

namespace duplane {

inline QApplication& TestApp() {
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "duplane_ui_test";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *app;
}

}  // namespace duplane
