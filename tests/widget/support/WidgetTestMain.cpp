// main() of the widget tests: real Qt widgets on the offscreen platform unless a test run
// chose another one.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/program/Application.h"
#include "platform/qt/QtSurface.h"
#include "support/TestEngine.h"

platform::engine::Engine& TestEngine() {
  static const std::unique_ptr<platform::engine::Surface> surface = platform::MakeQtSurface();
  static platform::engine::Engine engine{*surface};
  return engine;
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir runtimeDir;
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr && runtimeDir.isValid()) {
    QFile::setPermissions(runtimeDir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit().constData(), 1);
  }
  QApplication app(argc, argv);
  platform::InitializeFormEngine();
  return RUN_ALL_TESTS();
}
