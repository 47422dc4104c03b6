// Main of the map's drawing tests: GoogleTest under a QGuiApplication, which
// fonts and images need (CTest runs them on the offscreen platform).
#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QGuiApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
