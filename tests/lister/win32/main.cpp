// The Win32 window tests: the window classes registered once, as the program does.
#include <gtest/gtest.h>

#include "main_window.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  lister::win32::RegisterWindowClasses(GetModuleHandleA(nullptr));
  return RUN_ALL_TESTS();
}
