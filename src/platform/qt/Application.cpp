#include "platform/Application.h"

#include <QAccessible>
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFont>
#include <QSessionManager>
#include <optional>
#include <utility>

#include "platform/SessionEnd.h"
#include "platform/qt/StripAccessible.h"

namespace platform {

namespace {

std::optional<std::string>& AppPathOverride() {
  static std::optional<std::string> folder;
  return folder;
}

bool& EndingFlag() {
  static bool ending = false;
  return ending;
}

}  // namespace

std::string AppPath() {
  if (AppPathOverride()) return *AppPathOverride();
  // absolutePath() has no trailing separator except for the root itself.
  return QFileInfo(QCoreApplication::applicationFilePath()).absolutePath().toStdString();
}

void SetAppPath(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  AppPathOverride() = path;
}

void EndProgram() {
  EndingFlag() = true;
  // exit(), not quit(): quit() would first send every window a close request.
  QCoreApplication::exit(0);
}

bool Ending() { return EndingFlag(); }

void OnSessionEnd(std::function<void()> handler) { SetSessionEndHandler(std::move(handler)); }

void InitializeFormEngine() {
  // Closing a window never ends the program by itself; the program decides.
  QApplication::setQuitOnLastWindowClosed(false);
  // No application display name: on X11 the toolkit would append it to every window title.
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPointSizeF(8.25);
  QApplication::setFont(font);
  static bool connected = false;
  if (!connected) {
    connected = true;
    QAccessible::installFactory(StripAccessibleFactory);
    // The session manager is never asked to let us talk to the user: the forms close with
    // the session's reason and the program's handler runs, once.
    QObject::connect(
        qApp, &QGuiApplication::commitDataRequest, qApp,
        [](QSessionManager& manager) {
          manager.setRestartHint(QSessionManager::RestartNever);
          EndSession();
        },
        Qt::DirectConnection);
  }
}

}  // namespace platform
