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

// The picture's drawing at twice its size, where there is one: beside it, named with "@2x" as
// PNG (resources/images/render.sh).
QString TwiceOf(const std::string& resource) {
  const std::string::size_type dot = resource.rfind('.');
  return QString::fromStdString(resource.substr(0, dot) + "@2x.png");
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
    if (!picture.empty() && pixmap.load(TwiceOf(picture.resource))) pixmap.setDevicePixelRatio(2);
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
