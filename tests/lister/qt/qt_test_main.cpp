// Runs the window tests inside one QApplication on the offscreen platform, so that they need
// no display and never show a window on the developer's desktop.
#include <gtest/gtest.h>

#include <QApplication>

#include "start_up.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  // Dialogs save their settings as they close; the tests' settings stay in the build folder.
  qputenv("XDG_CONFIG_HOME", WINDOW_TEST_CONFIG_HOME);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  lister::window::NameApplication();
  // Tests close main windows; the run goes on.
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
