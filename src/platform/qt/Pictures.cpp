#include "platform/qt/Pictures.h"

#include <QString>
#include <map>
#include <string>

namespace platform {

namespace {

// Hot spots of the pointer images that have one (the tip of the index finger of the hand).
QPoint HotSpotOf(const std::string& resource, const QPixmap& pixmap) {
  if (resource == ":/images/hand.png") return QPoint(15, 10);
  return QPoint(pixmap.width() / 2, pixmap.height() / 2);
}

// The pictures drawn at twice their size (resources/images/render.sh).
const char* TwiceOf(const std::string& resource) {
  static const std::map<std::string, const char*> twice{
      {":/images/normal.gif", ":/images/normal@2x.png"},
      {":/images/downloading.gif", ":/images/downloading@2x.png"},
      {":/images/icon16.png", ":/images/icon16@2x.png"},
      {":/images/icon32.png", ":/images/icon32@2x.png"},
  };
  const auto found = twice.find(resource);
  return found != twice.end() ? found->second : nullptr;
}

}  // namespace

const QPixmap& PixmapOf(const StdPicture& picture) {
  static std::map<std::string, QPixmap> cache;
  auto found = cache.find(picture.resource);
  if (found == cache.end()) {
    QPixmap pixmap;
    if (!picture.empty()) pixmap.load(QString::fromStdString(picture.resource));
    found = cache.emplace(picture.resource, pixmap).first;
  }
  return found->second;
}

const QPixmap& PixmapOf(const StdPicture& picture, qreal ratio) {
  if (ratio <= 1.5) return PixmapOf(picture);
  static std::map<std::string, QPixmap> cache;
  auto found = cache.find(picture.resource);
  if (found == cache.end()) {
    QPixmap pixmap;
    if (const char* twice = TwiceOf(picture.resource);
        twice != nullptr && pixmap.load(QString::fromLatin1(twice))) {
      pixmap.setDevicePixelRatio(2);
    }
    found = cache.emplace(picture.resource, pixmap).first;
  }
  return found->second.isNull() ? PixmapOf(picture) : found->second;
}

QCursor CursorOf(const StdPicture& picture) {
  const QPixmap& pixmap = PixmapOf(picture);
  if (pixmap.isNull()) return QCursor(Qt::PointingHandCursor);
  const QPoint hotSpot = HotSpotOf(picture.resource, pixmap);
  return QCursor(pixmap, hotSpot.x(), hotSpot.y());
}

}  // namespace platform
