#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/SystemServiceClasses.h"
#include "platform/qt/Twips.h"

namespace platform {

std::vector<RectTwips> DesktopScreens::ScreenAreas() const {
  std::vector<RectTwips> areas;
  for (const QScreen* screen : QGuiApplication::screens()) {
    areas.push_back(ToTwips(screen->geometry()));
  }
  return areas;
}

RectTwips DesktopScreens::PrimaryWorkArea() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  return ToTwips(screen->availableGeometry());
}

}  // namespace platform
