// Window tests run on the offscreen platform with a real application object.
#include <gtest/gtest.h>

#include <cstdlib>

#include "CrashReporter.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  TCorvinaApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
