#include "platform/Screens.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/Twips.h"

namespace platform {

std::vector<RectTwips> ScreenAreas() {
  std::vector<RectTwips> areas;
  for (const QScreen* screen : QGuiApplication::screens()) {
    areas.push_back(ToTwips(screen->geometry()));
  }
  return areas;
}

RectTwips PrimaryWorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  return ToTwips(screen->availableGeometry());
}

}  // namespace platform
