#include "platform/program/Application.h"

#include <QAccessible>
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFont>
#include <optional>

#include "platform/qt/StripAccessible.h"

namespace platform {

namespace {

std::optional<std::string>& AppPathOverride() {
  static std::optional<std::string> folder;
  return folder;
}

}  // namespace

std::string AppPath() {
  if (AppPathOverride()) return *AppPathOverride();
  // absolutePath() has no trailing separator except for the root itself.
  return QFileInfo(QCoreApplication::applicationFilePath()).absolutePath().toStdString();
}

void SetAppPath(const std::string& folder) {
  if (folder.empty()) {
    AppPathOverride().reset();
    return;
  }
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  AppPathOverride() = path;
}

void InitializeFormEngine() {
  // Closing a window never ends the program by itself; the program decides.
  QApplication::setQuitOnLastWindowClosed(false);
  // No application display name: on X11 the toolkit would append it to every window title.
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPointSizeF(8.25);
  QApplication::setFont(font);
  // Installed once however often the engine is set up.
  QAccessible::removeFactory(StripAccessibleFactory);
  QAccessible::installFactory(StripAccessibleFactory);
}

}  // namespace platform
