#include "platform/qt/Pictures.h"

#include <QString>
#include <map>
#include <string>

#include "platform/engine/Pictures.h"

namespace platform {

namespace {

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
  if (!engine::DrawnFromTwice(ratio)) return PixmapOf(picture);
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
  const engine::HotSpot hotSpot = engine::PointerHotSpot(picture, pixmap.width(), pixmap.height());
  return QCursor(pixmap, hotSpot.x, hotSpot.y);
}

}  // namespace platform
